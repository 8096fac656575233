// The working-time account over a year, against the weeks worked out by hand.
#include "SoldesEssai.h"

using namespace kip;
using essai::h;

TEST_F(SoldesEssai, AYearOfTheWorkingTimeAccount)
{
    const qint32 debut = dayNumber(2025, 12, 29), fin = dayNumber(2026, 12, 27);
    const qint32 maladie = dayNumber(2026, 3, 10);
    const std::vector<qint32> conges = jours(dayNumber(2026, 8, 3), dayNumber(2026, 8, 14));
    std::vector<qint32> absents = conges;
    absents.push_back(maladie);
    // Monday to Thursday of the week of 19 October until 17.00: 39 h. Monday 2 November until 16.20: 35.20,
    // which the week code "-30" rounds down to 35.00.
    travailler(debut, fin,
               {{dayNumber(2026, 10, 19), h(17)},
                {dayNumber(2026, 10, 20), h(17)},
                {dayNumber(2026, 10, 21), h(17)},
                {dayNumber(2026, 10, 22), h(17)},
                {dayNumber(2026, 11, 2), h(16, 20)}},
               absents);
    absent("CP", conges);
    absent("MAL", {maladie});
    Solde depart;
    depart.COMPTE = QLatin1String(CompteSolde::Heures);
    depart.DATE = debut;
    depart.VALEUR = h(2);
    ASSERT_TRUE(EnregistrerSolde(*base, employe, depart).ok());

    const SoldesLus lus = lire(fin);
    const std::vector<SemaineCompte> semaines = CompteTemps(lus.employes[0], lus.contexte, fin);
    ASSERT_EQ(semaines.size(), 52u);
    struct Attendu
    {
        int mois, jour; // the week's Monday
        int travaille, credite, solde;
    };
    // The weeks that are not a plain 35 h; every other week leaves the balance as it is.
    const Attendu attendus[] = {
        {12, 29, h(28), h(7), h(2)},  // 1 January, credited
        {3, 9, h(28), 0, h(-5)},      // a sick day: not credited
        {4, 6, h(28), h(7), h(-5)},   // Easter Monday
        {5, 4, h(28), h(7), h(-5)},   // 8 May
        {5, 11, h(28), h(7), h(-5)},  // Ascension
        {8, 3, 0, h(35), h(-5)},      // two weeks of CP, credited
        {8, 10, 0, h(35), h(-5)},     // 15 August is a Saturday: nothing planned
        {10, 19, h(39), 0, h(-1)},    // 39 h
        {11, 2, h(35), 0, h(-1)},     // 35.20 rounded by the week code
        {11, 9, h(28), h(7), h(-1)},  // 11 November
        {12, 21, h(28), h(7), h(-1)}, // Christmas
    };
    qint32 solde = h(2);
    for (const SemaineCompte& s : semaines) {
        EXPECT_EQ(s.prevu, h(35));
        const auto a = std::find_if(std::begin(attendus), std::end(attendus), [&](const Attendu& x) {
            return dayNumber(x.mois == 12 && s.lundi < dayNumber(2026, 1, 1) ? 2025 : 2026, x.mois, x.jour) == s.lundi;
        });
        if (a == std::end(attendus)) {
            EXPECT_EQ(s.travaille + s.credite, h(35)) << DateTexte(s.lundi).toStdString();
            EXPECT_EQ(s.solde, solde) << DateTexte(s.lundi).toStdString();
            continue;
        }
        EXPECT_EQ(s.travaille, a->travaille) << DateTexte(s.lundi).toStdString();
        EXPECT_EQ(s.credite, a->credite) << DateTexte(s.lundi).toStdString();
        EXPECT_EQ(s.solde, a->solde) << DateTexte(s.lundi).toStdString();
        solde = a->solde;
    }
    EXPECT_EQ(semaines.back().solde, h(-1));

    // The starting balance was journalled; a later one restarts the account from its date.
    std::vector<Journal> entrees;
    ASSERT_TRUE(lireJournal(*base, {}, entrees).ok());
    ASSERT_FALSE(entrees.empty());
    EXPECT_EQ(entrees.back().APRES, QStringLiteral("HEUR départ 29/12/2025: +2.00"));
    depart.DATE = dayNumber(2026, 11, 30);
    depart.VALEUR = 0;
    ASSERT_TRUE(EnregistrerSolde(*base, employe, depart).ok());
    const SoldesLus relus = lire(fin);
    EXPECT_EQ(CompteTemps(relus.employes[0], relus.contexte, fin).back().solde, 0);
}
