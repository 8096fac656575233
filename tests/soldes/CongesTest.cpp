// Paid leave acquired and taken over the reference periods, in jours ouvrables and jours ouvrés, the RTT and
// REC balances credited by hand, and a purge that leaves every balance as it was.
#include "SoldesEssai.h"
#include "utilities/Purge.h"

using namespace kip;
using essai::h;

TEST_F(SoldesEssai, LeaveAcquiredOverAPeriodWithAMonthOfUnpaidAbsence)
{
    // Hired on 1 June 2025, away without pay for the whole of November, a week of CP from 3 August 2026.
    absent("ABS", jours(dayNumber(2025, 11, 1), dayNumber(2025, 11, 30)));
    absent("CP", jours(dayNumber(2026, 8, 3), dayNumber(2026, 8, 7)));
    absent("CP", {dayNumber(2026, 9, 4)}); // a Friday
    struct Cas
    {
        DecompteConges decompte;
        int annee, mois, jour;
        qint32 precedent, enCours, acquis;
    };
    const Cas cas[] = {
        {DecompteConges::Ouvrables, 2025, 10, 31, 0, 1250, 1250},   // five months
        {DecompteConges::Ouvrables, 2025, 11, 30, 0, 1250, 1250},   // November not worked
        {DecompteConges::Ouvrables, 2026, 5, 31, 0, 2750, 2750},    // eleven months of twelve
        {DecompteConges::Ouvrables, 2026, 6, 1, 2750, 0, 0},        // a new period: the last one is kept
        {DecompteConges::Ouvrables, 2026, 8, 8, 2150, 500, 500},    // Monday to Saturday taken from it
        {DecompteConges::Ouvrables, 2026, 9, 30, 1950, 1000, 1000}, // a Friday off costs its Saturday too
        {DecompteConges::Ouvres, 2026, 5, 31, 0, 2292, 2292},       // 11 x 25 / 12
        {DecompteConges::Ouvres, 2026, 9, 30, 1692, 833, 833},      // five days, then one
    };
    for (const Cas& c : cas) {
        decompter(c.decompte);
        const SoldesConges s = conges(dayNumber(c.annee, c.mois, c.jour));
        const std::string quand = DateTexte(dayNumber(c.annee, c.mois, c.jour)).toStdString();
        EXPECT_EQ(s.cpPrecedent, c.precedent) << quand;
        EXPECT_EQ(s.cpEnCours, c.enCours) << quand;
        EXPECT_EQ(s.cpAcquisPeriode, c.acquis) << quand;
    }
    // More than the previous periods hold: the rest comes out of the period in progress.
    absent("CP", jours(dayNumber(2026, 10, 5), dayNumber(2026, 10, 31)));
    decompter(DecompteConges::Ouvrables);
    const SoldesConges s = conges(dayNumber(2026, 10, 31));
    EXPECT_EQ(s.cpPrecedent, 0);
    EXPECT_EQ(s.cpEnCours, 1250 - (2400 - 1950)); // 24 days from 5 to 31 October

    // A starting balance set on 10 December 2025 counts from 1 December: 10 days before, 5 acquired in the
    // period, then the six months of December to May.
    Solde depart;
    depart.COMPTE = QLatin1String(CompteSolde::Conges);
    depart.DATE = dayNumber(2025, 12, 10);
    depart.VALEUR = 1000;
    depart.VALEUR2 = 500;
    ASSERT_TRUE(EnregistrerSolde(*base, employe, depart).ok());
    const SoldesConges mai = conges(dayNumber(2026, 5, 31));
    EXPECT_EQ(mai.cpPrecedent, 1000);
    EXPECT_EQ(mai.cpAcquisPeriode, 500 + 6 * 250);
}

TEST_F(SoldesEssai, AWeekOfLeaveHoldingAPublicHolidayInOuvrablesAndOuvres)
{
    // 11 to 15 May 2026 with Ascension on the Thursday.
    const qint32 lundi = dayNumber(2026, 5, 11);
    absent("CP", jours(lundi, lundi + 4));
    for (auto [decompte, attendu] : {std::pair{DecompteConges::Ouvrables, 500}, {DecompteConges::Ouvres, 400}}) {
        decompter(decompte);
        const SoldesLus lus = lire(lundi + 6);
        qint32 pris = 0;
        for (qint32 d = lundi; d <= lundi + 6; ++d)
            pris += JoursCongesDuJour(lus.employes[0], lus.contexte, d);
        EXPECT_EQ(pris, attendu);
        EXPECT_EQ(conges(lundi + 6).cpPrisPeriode, attendu);
    }
}

TEST_F(SoldesEssai, APurgeKeepsEveryBalance)
{
    const qint32 debut = dayNumber(2026, 1, 5), fin = dayNumber(2026, 11, 29);
    travailler(debut, fin, {{dayNumber(2026, 3, 3), h(18)}, {dayNumber(2026, 9, 8), h(14)}},
               {dayNumber(2026, 2, 2), dayNumber(2026, 7, 20)});
    absent("MAL", {dayNumber(2026, 2, 2)});
    absent("CP", {dayNumber(2026, 7, 20)});
    absent("RTT", {dayNumber(2026, 4, 3), dayNumber(2026, 9, 11)}, PartieJour::Matin);
    absent("REC", {dayNumber(2026, 5, 4)}, PartieJour::Journee);
    for (auto [compte, nature, valeur] : {std::tuple{CompteSolde::Heures, NatureSolde::Depart, h(3)},
                                          {CompteSolde::Rtt, NatureSolde::Credit, 500},
                                          {CompteSolde::Recuperation, NatureSolde::Depart, h(10)}}) {
        Solde s;
        s.COMPTE = QLatin1String(compte);
        s.NATURE = quint8(nature);
        s.DATE = debut;
        s.VALEUR = valeur;
        ASSERT_TRUE(EnregistrerSolde(*base, employe, s).ok());
    }
    const SoldesLus avant = lire(fin);
    const std::vector<SemaineCompte> semainesAvant = CompteTemps(avant.employes[0], avant.contexte, fin);
    const SoldesConges congesAvant = CalculerConges(avant.employes[0], avant.contexte, fin);
    // The days of RTT, REC were worked too: their credit comes on top.
    EXPECT_EQ(semainesAvant.back().solde, h(3) - h(7) + h(2) + h(3, 30) + h(7) - h(2) + h(3, 30));
    EXPECT_EQ(congesAvant.rtt, 400);
    EXPECT_EQ(congesAvant.rec, h(3));

    const qint32 finPurge = dayNumber(2026, 7, 5);
    fermer();
    ASSERT_EQ(Purger(dataDir(), finPurge).etat, ResultatPurge::Etat::Faite);
    rouvrir();
    const SoldesLus apres = lire(fin);
    EXPECT_TRUE(std::none_of(apres.employes[0].totaux.begin(), apres.employes[0].totaux.end(),
                             [&](const TotalJour& t) { return t.date <= finPurge; }));
    const std::vector<SemaineCompte> semainesApres = CompteTemps(apres.employes[0], apres.contexte, fin);
    ASSERT_FALSE(semainesApres.empty());
    EXPECT_EQ(semainesApres.front().lundi, finPurge + 1);
    for (const SemaineCompte& s : semainesApres) {
        const auto a = std::find_if(semainesAvant.begin(), semainesAvant.end(),
                                    [&](const SemaineCompte& x) { return x.lundi == s.lundi; });
        ASSERT_NE(a, semainesAvant.end());
        EXPECT_EQ(s.solde, a->solde) << DateTexte(s.lundi).toStdString();
    }
    EXPECT_EQ(CalculerConges(apres.employes[0], apres.contexte, fin), congesAvant);

    // Purged again to the same Sunday, or to an earlier one: the balance carried stays.
    for (const qint32 encore : {finPurge, finPurge - 14}) {
        fermer();
        ASSERT_EQ(Purger(dataDir(), encore).etat, ResultatPurge::Etat::Faite);
        rouvrir();
        const SoldesLus relus = lire(fin);
        EXPECT_EQ(CompteTemps(relus.employes[0], relus.contexte, fin).back().solde, semainesAvant.back().solde);
    }
}
