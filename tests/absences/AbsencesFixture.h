// A small installation for the absence tests: three employees in PERSONNEL, "today" set, and helpers that
// read what the store holds.
#pragma once

#include "QStringPrinter.h"
#include "absences/FichierAbsences.h"
#include "data/DataFixture.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "shell/InstallationEssai.h"

#include <memory>

class AbsencesFixture : public DataFixture
{
protected:
    void SetUp() override
    {
        DataFixture::SetUp();
        kip::Personnel martin = employeEssai(12, QStringLiteral("MARTIN"));
        martin.MATRICULE = QStringLiteral("M012");
        ASSERT_TRUE(installationEssai(
            kip::paths().installDir,
            {martin, employeEssai(7, QStringLiteral("BERNARD")), employeEssai(30, QStringLiteral("PETIT"))}, {}));
        kip::Clock::setToday(kip::dayNumber(2026, 5, 11));
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
    }
    void TearDown() override
    {
        db.reset();
        kip::Clock::setToday(0);
        DataFixture::TearDown();
    }

    static kip::Absence absence(const char* code, kip::PartieJour partie, qint16 minutes = 0)
    {
        kip::Absence a;
        a.CODE = QLatin1String(code);
        a.PARTIE = quint8(partie);
        a.MINUTES = minutes;
        return a;
    }

    // The absences of the card on the date as the journal writes them ("CP matin; RTT après-midi").
    QString stored(qint16 carte, qint32 date)
    {
        kip::Result<kip::JourAbsences> j = kip::LireJourAbsences(*db, carte, date);
        return j ? kip::TexteJourAbsences(*j) : j.error().description();
    }

    std::vector<kip::Journal> journal()
    {
        std::vector<kip::Journal> entrees;
        EXPECT_TRUE(kip::lireJournal(*db, {}, entrees).ok());
        return entrees;
    }

    void addDayLine(qint16 carte, qint32 date, std::initializer_list<qint16> punches)
    {
        kip::FileUse use(kip::FileId::PointVal);
        kip::PointVal l;
        l.clearPunches();
        l.CARTE = carte;
        l.NOM = QStringLiteral("X%1").arg(carte);
        l.DATE = date;
        size_t i = 0;
        for (qint16 p : punches) {
            l.POINTAGE_UTILISATEUR[i] = l.POINTAGE_ORIGINE[i] = p;
            ++i;
        }
        kip::RecordFile<kip::PointVal> f(*db);
        ASSERT_TRUE(f.open().ok());
        ASSERT_TRUE(f.add(l).ok());
    }

    std::unique_ptr<kip::Database> db;
};
