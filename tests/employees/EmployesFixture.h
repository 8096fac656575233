// A temporary installation with the employee files open and scripted message answers, for the tests of the
// employee writes, the day-line preparation and the list's reads.
#pragma once

#include "QStringPrinter.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

class EmployesFixture : public ::testing::Test
{
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

    static kip::Personnel employe(qint16 carte, const QString& nom, const QString& prenom = QStringLiteral("Paul"),
                                  const QString& matricule = QString())
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = prenom;
        p.MATRICULE = matricule.isNull() ? QStringLiteral("M%1").arg(carte) : matricule;
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = QStringLiteral("000");
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        return p;
    }

    kip::Personnel ajouter(kip::Personnel p)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        EXPECT_TRUE(file.open().ok());
        EXPECT_EQ(file.add(p), kip::NoError);
        return p;
    }

    // Every employee's card, in file order.
    QList<int> cartes()
    {
        kip::RecordFile<kip::Personnel> file(*db);
        EXPECT_TRUE(file.open().ok());
        QList<int> out;
        kip::Cursor<kip::Personnel> c = file.readAll();
        kip::Personnel p;
        while (c.next(p) == kip::NoError)
            out << p.CARTE;
        return out;
    }

    // The dates of a card's day lines, with their inactivity flag.
    QMap<qint32, int> journees(qint16 carte)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        QMap<qint32, int> out;
        kip::Cursor<kip::PointVal> c = file.readAll();
        kip::PointVal v;
        while (c.next(v) == kip::NoError)
            if (v.CARTE == carte)
                out.insert(v.DATE, v.INACTIF);
        return out;
    }

    void ajouterJournee(const kip::Personnel& p, qint32 date)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        kip::PointVal v;
        v.clearPunches();
        v.CARTE = p.CARTE;
        v.NOM = p.NOM;
        v.PRENOM = p.PRENOM;
        v.MATRICULE = p.MATRICULE;
        v.DATE = date;
        EXPECT_EQ(file.add(v), kip::NoError);
    }

    void sql(kip::FileId fichier, const char* texte)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(kip::paths().file(fichier).toUtf8().constData(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, texte, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
        sqlite3_close(raw);
    }

    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    qint32 today = 0;
};
