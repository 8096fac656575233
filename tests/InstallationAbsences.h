// The installation of the tests (InstallationTest.h) for the absences: three employees (MARTIN 12, BERNARD 7,
// PETIT 30), today on Monday 11 May 2026, and helpers that read what the store holds.
#pragma once

#include "InstallationTest.h"
#include "absences/FichierAbsences.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

class InstallationAbsences : public InstallationTest
{
protected:
    void SetUp() override
    {
        today = kip::dayNumber(2026, 5, 11);
        InstallationTest::SetUp();
        if (arrete())
            return;
        kip::Personnel martin = employeEssai(12, QStringLiteral("MARTIN"));
        martin.MATRICULE = QStringLiteral("M012");
        ajouter(martin);
        ajouter(employeEssai(7, QStringLiteral("BERNARD")));
        ajouter(employeEssai(30, QStringLiteral("PETIT")));
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
        kip::Result<kip::JourAbsences> j = kip::LireJourAbsences(*base, carte, date);
        return j ? kip::TexteJourAbsences(*j) : j.error().description();
    }

    std::vector<kip::Journal> journal()
    {
        std::vector<kip::Journal> entrees;
        EXPECT_TRUE(kip::lireJournal(*base, {}, entrees).ok());
        return entrees;
    }

    void addDayLine(qint16 carte, qint32 date, std::initializer_list<qint16> punches)
    {
        kip::PointVal l = journee(employeEssai(carte, QStringLiteral("X%1").arg(carte)), date);
        size_t i = 0;
        for (qint16 p : punches) {
            l.POINTAGE_UTILISATEUR[i] = l.POINTAGE_ORIGINE[i] = p;
            ++i;
        }
        ajouter(l);
    }

    std::unique_ptr<kip::Database>& db = base; // the name the absence tests know it by
};
