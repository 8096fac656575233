// The installation of the balance tests: an employee planned at 35 h (7.00 from Monday to Friday, the default
// pattern), and helpers that store its days of work and its absences and read its balances back.
#pragma once

#include "InstallationTest.h"
#include "absences/FichierAbsences.h"
#include "calendar/JoursFeries.h"
#include "data/Journal.h"
#include "data/Transaction.h"
#include "soldes/FichierSoldes.h"

class SoldesEssai : public InstallationTest
{
protected:
    SoldesEssai() { fichiers = {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal}; }

    void SetUp() override
    {
        InstallationTest::SetUp();
        employe = ajouter(7, QStringLiteral("MARTIN"), [](kip::Personnel& p) {
            p.DATE_EMBAUCHE = kip::dayNumber(2025, 6, 1);
            p.ARRONDI_SEMAINE = QStringLiteral("-30");
        });
    }

    // A day of work of 8.00 to 12.00 and 13.00 to `soir` on every weekday from debut to fin that is neither a
    // public holiday nor in `sauf`.
    void travailler(qint32 debut, qint32 fin, const std::vector<std::pair<qint32, int>>& soirs = {},
                    const std::vector<qint32>& sauf = {})
    {
        kip::FileUse use(kip::FileId::PointVal);
        kip::Transaction t(*base, {kip::FileId::PointVal});
        for (qint32 d = debut; d <= fin; ++d) {
            if (kip::IndexJour(d) >= 5 || kip::EstFerie(d, false) ||
                std::find(sauf.begin(), sauf.end(), d) != sauf.end())
                continue;
            int soir = essai::h(16);
            for (auto [jour, s] : soirs)
                if (jour == d)
                    soir = s;
            ajouterJournee(employe, d, {essai::h(8), essai::h(12), essai::h(13), soir});
        }
        if (!t.commit().ok())
            panne(QStringLiteral("day lines not committed"));
    }

    // The absence on each date (a whole day unless said).
    void absent(const char* code, std::vector<qint32> dates, kip::PartieJour partie = kip::PartieJour::Journee)
    {
        std::vector<kip::JourAbsences> jours;
        for (qint32 d : dates) {
            kip::Absence a;
            a.CARTE = employe.CARTE;
            a.DATE = d;
            a.CODE = QLatin1String(code);
            a.PARTIE = quint8(partie);
            jours.push_back({employe.CARTE, d, {a}});
        }
        if (!kip::EnregistrerJours(*base, jours, {}, QStringLiteral("essai")).ok())
            panne(QStringLiteral("absences %1 not stored").arg(QLatin1String(code)));
    }

    static std::vector<qint32> jours(qint32 debut, qint32 fin)
    {
        std::vector<qint32> v;
        for (qint32 d = debut; d <= fin; ++d)
            v.push_back(d);
        return v;
    }

    kip::SoldesConges conges(qint32 date)
    {
        const kip::SoldesLus lus = lire(date);
        return lus.employes.empty() ? kip::SoldesConges{} : kip::CalculerConges(lus.employes[0], lus.contexte, date);
    }

    void decompter(kip::DecompteConges decompte)
    {
        kip::ReglagesAbsences r = kip::ReglagesParDefaut();
        r.DECOMPTE_CONGES = quint8(decompte);
        if (!kip::EnregistrerReglages(*base, r).ok())
            panne(QStringLiteral("settings not stored"));
    }

    kip::SoldesLus lire(qint32 fin)
    {
        kip::Result<kip::SoldesLus> lus = kip::LireDonneesSoldes(*base, 1, 9999, fin);
        if (!lus || lus->employes.size() != 1) {
            panne(QStringLiteral("balances not read"));
            return {};
        }
        return *lus;
    }

    kip::Personnel employe;
};
