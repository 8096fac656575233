// A temporary installation for the tests of the punch list and the correction grid: the files, scripted
// message answers, a fixed today (Wednesday 9 December 2026), and both windows registered as Kip and
// kipother register them.
#pragma once

#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "correction/windows/CorrectionPointage.h"
#include "correction/windows/FenetresCorrection.h"
#include "correction/windows/TablePointage.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "employees/Echanges.h"
#include "punch/CalculerTotal.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <memory>
#include <sqlite3.h>

struct InstallationCorrection
{
    QTemporaryDir tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    qint32 today = kip::dayNumber(2026, 12, 9); // a Wednesday
    qint32 lundi = kip::dayNumber(2026, 12, 7);

    void preparer()
    {
        QVERIFY(tmp.isValid());
        kip::setMessagePresenter(&presenter);
        kip::Clock::setToday(today);
        kip::enregistrerFenetresCorrection();
        vider();
    }

    void vider()
    {
        db.reset();
        const QString dir = tmp.path() + QStringLiteral("/Kip");
        QDir(dir).removeRecursively();
        QDir().mkpath(dir + QStringLiteral("/Data"));
        kip::setPaths(kip::Paths::forInstallation(dir));
        for (kip::FileId id : {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal})
            kip::commonOpen(id);
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
        presenter.clear();
        kip::oublierOrdrePointage();
    }

    void terminer()
    {
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
    }

    static kip::Personnel employe(qint16 carte, const QString& nom, int nombre = 4,
                                  const QString& arrondi = QStringLiteral("000"))
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = QStringLiteral("Léa");
        p.MATRICULE = QStringLiteral("M%1").arg(carte, 4, 10, QLatin1Char('0'));
        p.NOMBRE = quint8(nombre);
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = arrondi;
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        return p;
    }

    kip::Personnel ajouter(kip::Personnel p)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        if (!file.open().ok() || !file.add(p).ok())
            qWarning("employee not added");
        return p;
    }

    // A day line whose three punch lines hold the punches (minutes), with its total.
    void journee(const kip::Personnel& p, qint32 date, std::initializer_list<int> punches, bool inactif = false)
    {
        kip::PointVal v;
        v.clearPunches();
        v.CARTE = p.CARTE;
        v.NOM = p.NOM;
        v.PRENOM = p.PRENOM;
        v.MATRICULE = p.MATRICULE;
        v.DATE = date;
        const kip::Semaine s = kip::NumeroSemaine(date);
        v.NUM_SEMAINE = s.numero;
        v.NUM_ANNEE = s.annee;
        v.INACTIF = inactif ? 1 : 0;
        int i = 0;
        for (int m : punches) {
            v.POINTAGE_ORIGINE[size_t(i)] = v.POINTAGE_PROGRAMME[size_t(i)] = v.POINTAGE_UTILISATEUR[size_t(i)] =
                qint16(m);
            ++i;
        }
        kip::CalculerTotal(v);
        kip::RecordFile<kip::PointVal> file(*db);
        if (!file.open().ok() || !file.add(v).ok())
            qWarning("day line not added");
    }

    // The stored line of a card and date; CARTE 0 when there is none.
    kip::PointVal lire(qint16 carte, qint32 date)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        kip::PointVal v;
        v.CARTE = carte;
        v.DATE = date;
        if (!file.open().ok() || !file.get(v, kip::POV_K_CARTE_DATE).ok())
            return kip::PointVal{};
        return v;
    }

    void sql(kip::FileId fichier, const QByteArray& texte)
    {
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(kip::paths().file(fichier).toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, texte.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }

    // The grid on a card and date, as the punch list opens it.
    kip::CorrectionPointage* ouvrirGrille(kip::Cadre& cadre, qint16 carte, qint32 date)
    {
        kip::setRequete(kip::Requete::Modification);
        kip::setJourneeEnCours(carte, date);
        auto* g = qobject_cast<kip::CorrectionPointage*>(kip::ouvrirFenetre(kip::nom::CorrectionPointage, cadre));
        if (g)
            QTest::qWait(0); // the posted show and hide events
        return g;
    }

    static kip::CorrectionPointage* grille(kip::Cadre& cadre)
    {
        for (kip::CorrectionPointage* g : cadre.zone()->findChildren<kip::CorrectionPointage*>())
            if (g->numeroFenetre() != 0)
                return g;
        return nullptr;
    }

    static constexpr int h(int heures, int minutes = 0) { return heures * 60 + minutes; }
};
