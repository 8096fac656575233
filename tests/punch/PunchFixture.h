// A temporary installation with employees and a raw punch file, for the transfer and day-preparation tests; on
// the SQLite files, or on both engines in a fixture parameterised by the engine (PunchSurLesDeuxMoteurs).
#pragma once

#include "ServeurEssai.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class PunchFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Kip/Data"));
        kip::setPaths(kip::Paths::forInstallation(m_tmp.path() + QStringLiteral("/Kip")));
        kip::setMessagePresenter(&presenter);
        KIP_CHOISIR_MOTEUR(m_moteur, moteur());
        today = kip::dayNumber(2026, 12, 9); // a Wednesday
        kip::Clock::setToday(today);
        kip::commonOpen(kip::FileId::Personnel);
        kip::commonOpen(kip::FileId::PointVal);
        db = std::make_unique<kip::Database>(dataDir());
    }
    void TearDown() override
    {
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
    }

    virtual serveuressai::Moteur moteur() const { return serveuressai::Moteur::Sqlite; }
    QString dataDir() const { return kip::paths().dataDir; }
    QString origin(int g = 0) const { return kip::paths().origin(g); }

    kip::Personnel addEmployee(qint16 carte, const QString& nom, void (*setup)(kip::Personnel&) = nullptr)
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = QStringLiteral("Prénom%1").arg(carte);
        p.MATRICULE = QStringLiteral("M%1").arg(carte);
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = QStringLiteral("00");
        p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = QStringLiteral("000");
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        if (setup)
            setup(p);
        kip::RecordFile<kip::Personnel> file(*db);
        EXPECT_TRUE(file.open().ok());
        EXPECT_EQ(file.add(p), kip::NoError);
        return p;
    }

    kip::Personnel employee(qint16 carte)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        EXPECT_TRUE(file.open().ok());
        kip::Personnel p;
        p.CARTE = carte;
        EXPECT_EQ(file.get(p, kip::PER_K_CARTE), kip::NoError);
        return p;
    }

    // The line of a card and date, or nullopt.
    std::optional<kip::PointVal> line(qint16 carte, qint32 date)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        EXPECT_TRUE(file.open().ok());
        kip::PointVal v;
        v.CARTE = carte;
        v.DATE = date;
        if (file.get(v, kip::POV_K_CARTE_DATE) != kip::NoError)
            return std::nullopt;
        return v;
    }

    // Every day line, packed, with its row version: what "no line changed" compares.
    QMap<QPair<int, int>, QByteArray> allLines();

    static QByteArray punch(int carte, qint32 date, int heure, int minute, int terminal = 1)
    {
        const QDate d = kip::calendarDate(date);
        return kip::formatOriginLine(carte, d.day(), d.month(), d.year(), heure, minute, terminal) + "\r\n";
    }

    void writeOrigin(const QByteArray& contents, int g = 0)
    {
        QFile f(origin(g));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    QByteArray readFile(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    static std::vector<int> punches(const kip::PunchLine& l)
    {
        std::vector<int> v;
        for (qint16 x : l)
            if (x >= 0)
                v.push_back(x);
        return v;
    }

    serveuressai::ChoixMoteur m_moteur;
    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    qint32 today = 0;
};

#include "data/Pack.h"

inline QMap<QPair<int, int>, QByteArray> PunchFixture::allLines()
{
    kip::RecordFile<kip::PointVal> file(*db);
    EXPECT_TRUE(file.open().ok());
    QMap<QPair<int, int>, QByteArray> all;
    kip::Cursor<kip::PointVal> c = file.readAll();
    kip::PointVal v;
    while (c.next(v) == kip::NoError)
        all.insert({v.CARTE, v.DATE}, kip::pack(v) + QByteArray::number(v.version));
    return all;
}
