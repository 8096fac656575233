// The daily punch reports and the period totals report on day lines written by the test: what they print,
// their totals past 16 bits, their pages, and the counting pass read in the printing pass's snapshot.
#include "reports/EditionJours.h"

#include "EditionsEssai.h"
#include "reports/BandesCommunes.h"
#include "reports/EditionTotalPeriode.h"

using namespace kip;

namespace {

class EditionJoursTest : public EditionsTest
{
protected:
    ResultatEdition jours(RapportJours::Genre genre, const ParametresEdition& p)
    {
        RapportJours r(genre);
        lignesJours.clear();
        r.observateur = [this](const LigneJours& l) { lignesJours.push_back(l); };
        return executer(r, p);
    }
    std::vector<LigneJours> lignesJours;
};

// The period totals report without its counting pass: it closes on the grand total all the same.
class TotalPeriodeSansComptage : public RapportTotalPeriode
{
public:
    bool avecComptage() const override { return false; }
};

using EditionJoursSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<EditionJoursTest>;

} // namespace

TEST_P(EditionJoursSurLesDeuxMoteurs, TheRawAndTheUserPunchesPrintOneAboveTheOtherWithTheUserTotal)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    troisLignes(p, today, {478, 1023}, {480, 1020}, {480, 1020});
    // A raw punch after midnight loses a day: 1445 is five past midnight.
    troisLignes(p, today + 1, {1320, 1445}, {1320, 1440}, {1320, 1440});
    const ResultatEdition r = jours(RapportJours::Genre::Continu, parametres(today, today + 1));
    ASSERT_TRUE(r.complete());
    ASSERT_EQ(lignesJours.size(), 2u);
    EXPECT_EQ(lignesJours[1].totalEmploye, 540 + 120);
    const QStringList page = texte(r.pages);
    const qsizetype mercredi = page.indexOf(QStringLiteral("Mercredi 09/12/2026 7.58 17.03"));
    ASSERT_GE(mercredi, 0) << page.join(u'\n').toStdString();
    EXPECT_EQ(page[mercredi + 1], QStringLiteral("8.00 17.00 9.00"));
    EXPECT_TRUE(page.contains(QStringLiteral("Jeudi 10/12/2026 22.00 0.05")));
    EXPECT_TRUE(page.contains(QStringLiteral("22.00 0.00 2.00")));
    EXPECT_TRUE(page.contains(QStringLiteral("0012 MARTIN Paul M0012")));
    EXPECT_TRUE(page.contains(QStringLiteral("Total général de: 0012 MARTIN Paul 11.00")));
}

// (A page per employee is checked for every such report in EditionSemaineTest.)
TEST_P(EditionJoursSurLesDeuxMoteurs, ThirtyOneDaysOfThreeEmployeesRunOverPagesThatNameTheirEmployee)
{
    const qint32 debut = today - 40;
    for (qint16 carte : {3, 7, 9}) {
        const Personnel p = salarie(carte, QStringLiteral("NOM%1").arg(carte), QStringLiteral("Léa"));
        for (int j = 0; j < 31; ++j)
            journee(p, debut + j, {480, 720, 780, 1020});
        minutes(p, debut + 31, 480); // the day after: out of the period
    }
    // The continuous report puts them one after the other (after a short first one here, so that they run
    // over the pages); a page that goes on with an employee names it again at its top.
    const Personnel court = salarie(1, QStringLiteral("COURT"), QStringLiteral("Léo"));
    for (int j = 0; j < 5; ++j)
        minutes(court, debut + j, 300);
    const ResultatEdition c = jours(RapportJours::Genre::Continu, parametres(debut, debut + 30));
    ASSERT_TRUE(c.complete());
    ASSERT_GE(c.pages.nombre(), 4);
    for (int n = 1; n <= c.pages.nombre(); ++n) {
        const QStringList lignes = c.pages.page(n)->lignesDeTexte();
        ASSERT_GE(lignes.size(), 4);
        // Below the page header's three lines (title, date, time), the employee.
        EXPECT_TRUE(lignes[3].startsWith(QStringLiteral("000"))) << n << lignes[3].toStdString();
    }
    const QStringList totaux = lignesCommencantPar(texte(c.pages), QStringLiteral("Total général de:"));
    ASSERT_EQ(totaux.size(), 4);
    EXPECT_EQ(totaux[1], QStringLiteral("Total général de: 0003 NOM3 Léa 248.00")); // the day after left out
}

TEST_P(EditionJoursSurLesDeuxMoteurs, AYearOfOneEmployeePassesSixteenBitsWithoutWrapping)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    const qint32 debut = dayNumber(2025, 1, 1);
    for (int j = 0; j < 365; ++j)
        minutes(p, debut + j, 481);
    const qint32 attendu = 365 * 481; // 175,565 minutes: 2926 h 05
    ParametresEdition par = parametres(debut, debut + 364);
    ResultatEdition r = jours(RapportJours::Genre::Continu, par);
    ASSERT_TRUE(r.complete());
    EXPECT_EQ(lignesJours.back().totalEmploye, attendu);
    EXPECT_EQ(lignesCommencantPar(textePdf(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 2926.05")});
    par.centiemes = true;
    r = jours(RapportJours::Genre::Continu, par);
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 2926.08")});

    // The period totals of the same year, printed and as data.
    par.centiemes = false;
    RapportTotalPeriode periode;
    r = executer(periode, par);
    ASSERT_TRUE(r.complete());
    const QStringList lignes = texte(r.pages);
    EXPECT_TRUE(lignes.contains(QStringLiteral("0012 MARTIN Paul M0012 Du Mercredi 01/01/2025 au Mercredi "
                                               "31/12/2025 2926.05")))
        << lignes.join(u'\n').toStdString();
    EXPECT_TRUE(lignes.contains(QStringLiteral("Total général de l'édition: 2926.05")));
    TotauxPeriode totaux;
    Database lien = connexion();
    ASSERT_TRUE(CalculerTotauxPeriode(lien, par, totaux).complete());
    ASSERT_EQ(totaux.employes.size(), 1u);
    EXPECT_EQ(totaux.employes[0].total, attendu);
    EXPECT_EQ(totaux.totalGeneral, attendu);
    EXPECT_EQ(totaux.lignes, 365);
}

TEST_P(EditionJoursSurLesDeuxMoteurs, TheGrandTotalComesOnceAfterTheLastEmployeeAndEqualsTheData)
{
    qint32 somme = 0;
    for (qint16 carte = 1; carte <= 70; ++carte) {
        const Personnel p = salarie(carte, QStringLiteral("NOM%1").arg(carte), QStringLiteral("Léa"));
        for (int j = 0; j < 3; ++j) {
            minutes(p, today - j, 400 + carte);
            somme += 400 + carte;
        }
        minutes(p, today - 4, 300, 1); // inactive: left out
        minutes(p, today - 9, 300);    // out of the period
    }
    ParametresEdition par = parametres(today - 6, today);
    RapportTotalPeriode r;
    const ResultatEdition avecComptage = executer(r, par);
    ASSERT_TRUE(avecComptage.complete());
    ASSERT_EQ(avecComptage.pages.nombre(), 2);
    const QStringList lignes = texte(avecComptage.pages);
    const QStringList totaux = lignesCommencantPar(lignes, QStringLiteral("Total général de l'édition:"));
    ASSERT_EQ(totaux.size(), 1);
    EXPECT_EQ(totaux[0], QStringLiteral("Total général de l'édition: ") + texteTotal(somme, false).trimmed());
    // Right after the last employee's line, on the last page.
    const qsizetype at = lignes.indexOf(totaux[0]);
    EXPECT_TRUE(lignes[at - 1].startsWith(QStringLiteral("0070 NOM70")));
    EXPECT_TRUE(avecComptage.pages.page(2)->lignesDeTexte().contains(totaux[0]));

    // The data of an export: the same numbers, counted and added in one snapshot.
    TotauxPeriode data;
    Database lien = connexion();
    ASSERT_TRUE(CalculerTotauxPeriode(lien, par, data).complete());
    ASSERT_EQ(data.employes.size(), 70u);
    EXPECT_EQ(data.totalGeneral, somme);
    EXPECT_EQ(data.lignesComptees, 210);
    EXPECT_EQ(data.lignes, 210);
    for (const TotalPeriodeEmploye& e : data.employes) {
        EXPECT_EQ(e.total, 3 * (400 + e.CARTE));
        EXPECT_TRUE(lignes.contains(QStringLiteral("%1 NOM%2 Léa M%1 Du Jeudi 03/12/2026 au Mercredi 09/12/2026 %3")
                                        .arg(texteCarte(e.CARTE))
                                        .arg(e.CARTE)
                                        .arg(texteTotal(e.total, false).trimmed())));
    }

    // Without its count the report closes on the same pages.
    TotalPeriodeSansComptage sans;
    const ResultatEdition sansComptage = executer(sans, par);
    EXPECT_EQ(octets(sansComptage.pages), octets(avecComptage.pages));
}

TEST_P(EditionJoursSurLesDeuxMoteurs, TheCountingAndThePrintingPassReadOneSnapshot)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    const Personnel q = salarie(13, QStringLiteral("NOEL"), QStringLiteral("Anne"));
    minutes(p, today, 400);
    minutes(q, today, 300);
    // Another station, which would not wait, adds a line of a later employee once the count is taken.
    std::optional<QString> ecriture;
    RapportTotalPeriode r;
    std::vector<LigneTotalPeriode> vues;
    r.observateur = [&](const LigneTotalPeriode& l) {
        vues.push_back(l);
        if (!ecriture)
            ecriture =
                ecrireAilleurs(QStringLiteral("INSERT INTO %1 (CARTE, NOM, PRENOM, MATRICULE, DATE, TOTAL, INACTIF) "
                                              "SELECT 14, 'OLIVE', 'Eve', 'M0014', DATE, 500, 0 FROM %1 LIMIT 1"));
    };
    Database lien = connexion();
    const ResultatEdition res = ExecuterEdition(lien, r, parametres(today, today));
    ASSERT_TRUE(res.complete());
    // Refused by the SQLite file while the report reads; made on the server, after the report's snapshot.
    ASSERT_TRUE(ecriture.has_value());
    EXPECT_EQ(*ecriture, surServeur() ? QString() : QStringLiteral("database is locked"));
    ASSERT_EQ(vues.size(), 2u);
    const QStringList lignes = texte(res.pages);
    EXPECT_EQ(lignesCommencantPar(lignes, QStringLiteral("Total général de l'édition:")),
              QStringList{QStringLiteral("Total général de l'édition: 11.40")});
    EXPECT_TRUE(lignes[lignes.size() - 3].startsWith(QStringLiteral("0013 NOEL")));
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EditionJoursSurLesDeuxMoteurs, LesDeuxMoteurs);
