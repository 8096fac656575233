// A temporary installation with the files of the punch list and the correction grid open, scripted message
// answers and a fixed today, for the tests of the grid's rules, its reads and writes, and the list's reads.
#pragma once

#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "punch/CalculerTotal.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <sqlite3.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << s.toStdString();
}
QT_END_NAMESPACE

class CorrectionFixture : public ::testing::Test
{
public:
    static kip::Personnel employe(qint16 carte, const QString& nom, const QString& prenom = QStringLiteral("Paul"))
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = prenom;
        p.MATRICULE = QStringLiteral("M%1").arg(carte);
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = QStringLiteral("000");
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        return p;
    }

protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Kip/Data"));
        kip::setPaths(kip::Paths::forInstallation(m_tmp.path() + QStringLiteral("/Kip")));
        kip::setMessagePresenter(&presenter);
        today = kip::dayNumber(2026, 12, 9); // a Wednesday
        kip::Clock::setToday(today);
        for (kip::FileId id : {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal})
            kip::commonOpen(id);
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
    }
    void TearDown() override
    {
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
    }

    kip::Personnel ajouter(kip::Personnel p)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        EXPECT_TRUE(file.open().ok());
        EXPECT_EQ(file.add(p), kip::NoError);
        return p;
    }

    // A day line whose raw, programme and user lines hold the punches (minutes), with its total.
    kip::PointVal journee(const kip::Personnel& p, qint32 date, std::initializer_list<int> punches = {},
                          bool inactif = false)
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
        return v;
    }

    kip::PointVal ajouterJournee(const kip::PointVal& ligne)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        kip::PointVal v = ligne;
        EXPECT_EQ(file.add(v), kip::NoError);
        return v;
    }

    // The stored line of a card and date; CARTE 0 when there is none.
    kip::PointVal lire(qint16 carte, qint32 date)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        kip::PointVal v;
        v.CARTE = carte;
        v.DATE = date;
        if (!file.get(v, kip::POV_K_CARTE_DATE).ok())
            return kip::PointVal{};
        return v;
    }

    qint64 lignes()
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        return file.records().valueOr(-1);
    }

    void sql(kip::FileId fichier, const char* texte)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(kip::paths().file(fichier).toUtf8().constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, texte, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
        sqlite3_close(raw);
    }

    static constexpr int h(int heures, int minutes = 0) { return heures * 60 + minutes; }

    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    qint32 today = 0;
};
