// The weekly reports on day lines written by the test: what they print, their totals and their pages.
#include "EditionsEssai.h"
#include "reports/EditionControle.h"
#include "reports/EditionJours.h"

#include <functional>

using namespace kip;

namespace {

class EditionSemaineTest : public EditionsTest
{
protected:
    // Runs the report and keeps each line as prepared.
    ResultatEdition rapport(RapportSemaines::Genre genre, const ParametresEdition& p, ControleExecution c = {})
    {
        RapportSemaines r(genre);
        preparees.clear();
        r.observateur = [this](const LigneSemaine& l) { preparees.push_back(l); };
        return executer(r, p, std::move(c));
    }
    std::vector<LigneSemaine> preparees;
};

using EditionSemaineSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<EditionSemaineTest>;

} // namespace

TEST_P(EditionSemaineSurLesDeuxMoteurs, NothingInThePeriodMeansNoPageAndNoMessage)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    minutes(p, lundi(3), 480);
    minutes(p, lundi(1), 480, 1); // inactive: not printed either
    std::vector<int> progression;
    ControleExecution c;
    c.progression = [&](int v) { progression.push_back(v); };
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(1), lundi(1) + 6), c);
    EXPECT_EQ(r.issue, ResultatEdition::Issue::Vide);
    EXPECT_TRUE(r.pages.vide());
    EXPECT_TRUE(r.pages.repertoire().isEmpty());
    EXPECT_TRUE(presenter.shown().isEmpty());
    EXPECT_EQ(progression.front(), 0);
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, WeekTotalsRoundedByTheEmployeesCodeInMinutesOrHundredths)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("+15"));
    // Week 1: 2250 minutes (37 h 30); week 2: 2255 (37 h 35) over five days.
    for (int j = 0; j < 5; ++j) {
        minutes(p, lundi(2) + j, 450);
        minutes(p, lundi(1) + j, j == 4 ? 455 : 450);
    }
    ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(2), lundi(1) + 6));
    ASSERT_TRUE(r.complete());
    QStringList semaines = lignesCommencantPar(texte(r.pages), QStringLiteral("Semaine:"));
    ASSERT_EQ(semaines.size(), 2);
    const QString s1 = QStringLiteral("%1 / 2026").arg(NumeroSemaine(lundi(2)).numero);
    EXPECT_EQ(semaines[0], QStringLiteral("Semaine: ") + s1 +
                               QStringLiteral(" Total normal de la semaine: 37.30 Arrondi aux 15 minutes supérieures "
                                              "Total arrondi de la semaine: 37.30"));
    EXPECT_TRUE(semaines[1].contains(QStringLiteral("Total normal de la semaine: 37.35 ")));
    EXPECT_TRUE(semaines[1].endsWith(QStringLiteral("Total arrondi de la semaine: 37.45")));
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 75.15")});

    ParametresEdition centiemes = parametres(lundi(2), lundi(1) + 6);
    centiemes.centiemes = true;
    r = rapport(RapportSemaines::Genre::Continu, centiemes);
    semaines = lignesCommencantPar(texte(r.pages), QStringLiteral("Semaine:"));
    ASSERT_EQ(semaines.size(), 2);
    EXPECT_TRUE(semaines[0].contains(QStringLiteral("semaine: 37.50 ")));
    EXPECT_TRUE(semaines[1].contains(QStringLiteral("semaine: 37.58 ")));
    EXPECT_TRUE(semaines[1].endsWith(QStringLiteral("semaine: 37.75")));
    // The page footer's box is ticked in hundredths only.
    const ImagePage page = *r.pages.page(1);
    bool coche = false;
    for (const ElementPage& e : page.elements())
        coche = coche || (e.genre == ElementPage::Genre::Case && e.coche);
    EXPECT_TRUE(coche);
    EXPECT_EQ(
        lignesCommencantPar(texte(r.pages), QStringLiteral("Cette édition est en heure et centièmes si la case est "
                                                           "cochée Page:"))
            .size(),
        1);
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, TheEmployeeTotalIsTheSumOfTheRoundedWeeks)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("+15"));
    minutes(p, lundi(2), 2251);
    minutes(p, lundi(1), 2251);
    const ResultatEdition r = rapport(RapportSemaines::Genre::Totaux, parametres(lundi(2), lundi(1) + 6));
    ASSERT_TRUE(r.complete());
    ASSERT_EQ(preparees.size(), 2u);
    EXPECT_EQ(preparees[0].totalArrondi, 2265);
    EXPECT_EQ(preparees[1].totalEmploye, 2265 + 2265); // not 4502 rounded, which is 4515
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 75.30")});
    // The totals report prints no day line.
    EXPECT_TRUE(lignesCommencantPar(texte(r.pages), QStringLiteral("Lundi")).isEmpty());
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, AWeekWhoseLinesAreAllInactivePrintsNothingAndAddsNothing)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    minutes(p, lundi(2), 480);
    minutes(p, lundi(2) + 1, 300, 1);
    minutes(p, lundi(1), 480, 1);
    minutes(p, lundi(1) + 1, 480, 1);
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(2), lundi(1) + 6));
    ASSERT_TRUE(r.complete());
    const QStringList lignes = texte(r.pages);
    const QStringList semaines = lignesCommencantPar(lignes, QStringLiteral("Semaine:"));
    ASSERT_EQ(semaines.size(), 1);
    EXPECT_TRUE(semaines[0].contains(QStringLiteral(" 8.00 ")));
    EXPECT_EQ(lignesCommencantPar(lignes, QStringLiteral("Lundi")).size(), 1);
    EXPECT_TRUE(lignesCommencantPar(lignes, QStringLiteral("Mardi")).isEmpty());
    EXPECT_EQ(r.lus, 4);
    EXPECT_EQ(r.imprimees, 1);
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, PunchesAfterMidnightLoseADayAndEmptySlotsPrintBlank)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    journee(p, today, {480, 720, 1320, 1500});
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(today, today));
    ASSERT_TRUE(r.complete());
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Mercredi")),
              QStringList{QStringLiteral("Mercredi 09/12/2026 8.00 12.00 22.00 1.00 7.00")});
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, EmployeesOfTheSameNameSortedByNameAreTwoGroups)
{
    // Same surname, their days interleaved by date: each keeps its own week.
    const Personnel paul = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    const Personnel pierre = salarie(15, QStringLiteral("MARTIN"), QStringLiteral("Pierre"));
    // Same name and first name under two cards (the second has no record of its own): kept apart too.
    Personnel double_ = paul;
    double_.CARTE = 40;
    for (int j = 0; j < 3; ++j) {
        minutes(paul, lundi(1) + 2 * j, 400);
        minutes(pierre, lundi(1) + j, 300);
        minutes(double_, lundi(1) + 2 * j + 1, 100);
    }
    ParametresEdition p = parametres(lundi(1), lundi(1) + 6, Tri::Nom);
    p.nomDebut = p.nomFin = QStringLiteral("MARTIN");
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, p);
    ASSERT_TRUE(r.complete());
    std::vector<int> cartes;
    for (const LigneSemaine& l : preparees)
        cartes.push_back(l.CARTE);
    EXPECT_EQ(cartes, (std::vector<int>{12, 12, 12, 40, 40, 40, 15, 15, 15}));
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              (QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 20.00"),
                           QStringLiteral("Total général de: 0040 MARTIN Paul 5.00"),
                           QStringLiteral("Total général de: 0015 MARTIN Pierre 15.00")}));
}

// The reports of a page per employee, in one table: each page names one employee, in card order; the weekly
// report's page header and footer; the continuous weekly report puts them one after the other.
TEST_P(EditionSemaineSurLesDeuxMoteurs, APagePerEmployeeReportGivesEachEmployeeItsOwnPages)
{
    const QStringList noms = {QStringLiteral("NOM3"), QStringLiteral("NOM7"), QStringLiteral("NOM9")};
    for (qint16 carte : {3, 7, 9}) {
        const Personnel p = salarie(carte, QStringLiteral("NOM%1").arg(carte), QStringLiteral("Léa"));
        for (int j = 0; j < (carte == 7 ? 1 : 5); ++j)
            minutes(p, lundi(1) + j, 420);
    }
    const std::function<std::unique_ptr<Edition>()> rapports[] = {
        [] { return std::make_unique<RapportSemaines>(RapportSemaines::Genre::PageParEmploye); },
        [] { return std::make_unique<RapportControle>(); },
        [] { return std::make_unique<RapportJours>(RapportJours::Genre::PageParEmploye); }};
    for (const auto& fabrique : rapports) {
        const std::unique_ptr<Edition> e = fabrique();
        const ResultatEdition r = executer(*e, parametres(lundi(1), lundi(1) + 6));
        ASSERT_EQ(r.pages.nombre(), 3);
        for (int n = 1; n <= 3; ++n) {
            const QString page = r.pages.page(n)->lignesDeTexte().join(u'\n');
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(page.contains(noms[k]), k == n - 1) << n << page.toStdString();
        }
        if (dynamic_cast<RapportSemaines*>(e.get())) {
            const QStringList lignes = r.pages.page(2)->lignesDeTexte();
            EXPECT_EQ(lignes.first(), QStringLiteral("Edition d'essai Edition du: Mercredi"));
            EXPECT_EQ(lignes.last(), QStringLiteral("Cette édition est en heure et centièmes si la case est cochée "
                                                    "Page: 0002"));
        }
    }
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(1), lundi(1) + 6));
    ASSERT_EQ(r.pages.nombre(), 1);
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")).size(), 3);
    EXPECT_TRUE(texte(r.pages).contains(QStringLiteral("09/12/2026")));
    EXPECT_TRUE(texte(r.pages).contains(QStringLiteral("10:20:30")));
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, FiveWeeksOfLongDaysDoNotWrapRound)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    for (int j = 0; j < 35; ++j)
        minutes(p, lundi(5) + j, 1000);
    const ResultatEdition r = rapport(RapportSemaines::Genre::Totaux, parametres(lundi(5), lundi(5) + 34));
    ASSERT_TRUE(r.complete());
    EXPECT_EQ(preparees.back().totalEmploye, 35000);
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0012 MARTIN Paul 583.20")});
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Semaine:")).size(), 5);
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, ACardWithoutEmployeeRecordIsNotRoundedAndKeepsItsWeekInEveryReport)
{
    Personnel inconnu;
    inconnu.CARTE = 77;
    inconnu.NOM = QStringLiteral("PARTI");
    inconnu.PRENOM = QStringLiteral("Jean");
    for (int j = 0; j < 3; ++j)
        minutes(inconnu, lundi(1) + j, 487);
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(1), lundi(1) + 6));
    ASSERT_TRUE(r.complete());
    const QStringList semaines = lignesCommencantPar(texte(r.pages), QStringLiteral("Semaine:"));
    ASSERT_EQ(semaines.size(), 1);
    EXPECT_TRUE(semaines[0].contains(QStringLiteral("semaine: 24.21 Pas d'arrondi ")));
    EXPECT_TRUE(semaines[0].endsWith(QStringLiteral("semaine: 24.21")));
    EXPECT_EQ(lignesCommencantPar(texte(r.pages), QStringLiteral("Total général de:")),
              QStringList{QStringLiteral("Total général de: 0077 PARTI Jean 24.21")});

    // The control report names no rounding at all there.
    RapportControle controle;
    std::vector<LigneControle> lignes;
    controle.observateur = [&](const LigneControle& l) { lignes.push_back(l); };
    const ResultatEdition c = executer(controle, parametres(lundi(1), lundi(1) + 6));
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_TRUE(lignes[2].codeArrondi.isEmpty() && lignes[2].texteArrondi.isEmpty());
    EXPECT_EQ(lignes[2].totalArrondi, 3 * 487);
    const QStringList pdf = textePdf(c.pages);
    EXPECT_EQ(pdf.filter(QStringLiteral("2026 Type d'arrondi de semaine: Total arrondi de la semaine: 24.21")).size(),
              1)
        << pdf.join(u'\n').toStdString();
    EXPECT_FALSE(pdf.join(u' ').contains(QStringLiteral("Pas d'arrondi")));
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, CancellingHalfwayLeavesNothing)
{
    for (qint16 carte = 1; carte <= 4; ++carte) {
        const Personnel p = salarie(carte, QStringLiteral("NOM%1").arg(carte), QStringLiteral("Léa"));
        for (int j = 0; j < 5; ++j)
            minutes(p, lundi(1) + j, 420);
    }
    std::atomic<bool> annuler{false};
    ControleExecution c;
    c.annuler = &annuler;
    c.progression = [&](int p) {
        if (p >= 50)
            annuler = true;
    };
    const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, parametres(lundi(1), lundi(1) + 6), c);
    EXPECT_EQ(r.issue, ResultatEdition::Issue::Annulee);
    EXPECT_TRUE(r.pages.vide());
    EXPECT_TRUE(r.pages.repertoire().isEmpty());
    EXPECT_EQ(r.lus, 10);
}

TEST_P(EditionSemaineSurLesDeuxMoteurs, ProgressIsMeasuredOnTheRecordsToReadAndEndsAtTheLastOne)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    const Personnel autre = salarie(13, QStringLiteral("AUTRE"), QStringLiteral("Zoé"));
    for (int j = 0; j < 200; ++j)
        minutes(p, lundi(40) + j, 420); // years of history around the period
    for (int j = 0; j < 7; ++j)
        minutes(autre, lundi(1) + j, 420, j >= 5);
    for (LectureJournees::Mode mode : {LectureJournees::Mode::ParEmploye, LectureJournees::Mode::FichierComplet}) {
        std::vector<int> vues;
        ControleExecution c;
        c.lecture = mode;
        c.progression = [&](int v) { vues.push_back(v); };
        ParametresEdition par = parametres(lundi(1), lundi(1) + 6);
        par.carteDebut = 13;
        const ResultatEdition r = rapport(RapportSemaines::Genre::Continu, par, c);
        ASSERT_TRUE(r.complete());
        EXPECT_EQ(r.lus, r.aLire);
        EXPECT_EQ(r.imprimees, 5);
        ASSERT_FALSE(vues.empty());
        EXPECT_EQ(vues.front(), 0);
        EXPECT_EQ(vues.back(), 100);
        EXPECT_TRUE(std::is_sorted(vues.begin(), vues.end()));
        if (mode == LectureJournees::Mode::ParEmploye) {
            EXPECT_EQ(r.aLire, 7); // the lines of the period, not the file
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EditionSemaineSurLesDeuxMoteurs, LesDeuxMoteurs);
