// A temporary installation for the utilities: the four directories, employees and day lines written through
// the store, and the whole content of a record file for comparisons.
#pragma once

#include "QStringPrinter.h"
#include "ServeurEssai.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/RecordsAbsences.h"
#include "data/ScriptedPresenter.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class UtilitairesFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        const QString dir = m_tmp.path() + QStringLiteral("/Kip");
        for (const char* sous : {"Data", "SaveAuto", "SaveManu", "Son"})
            QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(sous));
        kip::setPaths(kip::Paths::forInstallation(dir));
        kip::setMessagePresenter(&presenter);
        KIP_CHOISIR_MOTEUR(m_moteur, moteur());
        for (kip::FileId id : {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal,
                               kip::FileId::DateSave, kip::FileId::OnOff})
            kip::commonOpen(id);
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
    }
    void TearDown() override
    {
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
    }

    const kip::Paths& p() const { return kip::paths(); }
    virtual serveuressai::Moteur moteur() const { return serveuressai::Moteur::Sqlite; }
    bool surServeur() const { return moteur() == serveuressai::Moteur::Serveur; }

    kip::Personnel employe(qint16 carte, qint32 dernierPointage = 0)
    {
        kip::Personnel e;
        e.CARTE = carte;
        e.NOM = QStringLiteral("NOM%1").arg(carte);
        e.PRENOM = QStringLiteral("Prénom");
        e.MATRICULE = QStringLiteral("M%1").arg(carte);
        e.NOMBRE = 4;
        e.ARRONDI_ENTREE = e.ARRONDI_SORTIE = QStringLiteral("00");
        e.ARRONDI_SEMAINE = QStringLiteral("000");
        e.DATE_EMBAUCHE = kip::dayNumber(2000, 1, 1);
        e.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        e.PREMIER_POINTAGE = dernierPointage ? kip::dayNumber(2000, 1, 3) : 0;
        e.DERNIER_POINTAGE = dernierPointage;
        kip::RecordFile<kip::Personnel> f(*db);
        EXPECT_TRUE(f.open().ok());
        EXPECT_TRUE(f.add(e).ok());
        return e;
    }

    // Day lines of a card for every date from premier to dernier, in one batch.
    void journees(qint16 carte, qint32 premier, qint32 dernier)
    {
        kip::Transaction t(*db, {kip::FileId::PointVal});
        ASSERT_TRUE(t.ok());
        kip::RecordFile<kip::PointVal> f(*db);
        for (qint32 d = premier; d <= dernier; ++d) {
            kip::PointVal v;
            v.CARTE = carte;
            v.NOM = QStringLiteral("NOM%1").arg(carte);
            v.PRENOM = QStringLiteral("Prénom");
            v.MATRICULE = QStringLiteral("M%1").arg(carte);
            v.DATE = d;
            const kip::Semaine s = kip::NumeroSemaine(d);
            v.NUM_SEMAINE = s.numero;
            v.NUM_ANNEE = s.annee;
            v.clearPunches();
            v.POINTAGE_ORIGINE[0] = v.POINTAGE_PROGRAMME[0] = v.POINTAGE_UTILISATEUR[0] = qint16(480 + d % 7);
            v.POINTAGE_ORIGINE[1] = v.POINTAGE_PROGRAMME[1] = v.POINTAGE_UTILISATEUR[1] = 1020;
            v.TOTAL = qint16(540 - d % 7);
            ASSERT_TRUE(f.add(v).ok());
        }
        ASSERT_TRUE(t.commit().ok());
    }

    // Every record of a file with its position and row version, by position.
    template <class R> static QMap<qint64, QByteArray> contenu(const QString& dataDir)
    {
        kip::Database base(dataDir);
        kip::RecordFile<R> f(base);
        EXPECT_TRUE(f.open().ok());
        QMap<qint64, QByteArray> tout;
        kip::Cursor<R> c = f.readAll();
        R r;
        while (c.next(r).ok())
            tout.insert(r.rowid, kip::pack(r) + '/' + QByteArray::number(r.version));
        return tout;
    }

    QMap<qint64, QByteArray> lignes() { return contenu<kip::PointVal>(p().dataDir); }

    static void ecrire(const QString& chemin, const QByteArray& contenu)
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenu);
    }
    static QByteArray lire(const QString& chemin)
    {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }

    serveuressai::ChoixMoteur m_moteur;
    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
};
