// The report selection's rules: the period proposed, its bounds by the report's code, the exchanges.
#include "reports/SelectionImpression.h"

#include "reports/Editions.h"

#include <gtest/gtest.h>

using namespace kip;

namespace {

Personnel personne(qint16 carte, const QString& nom, const QString& prenom, const QString& matricule)
{
    Personnel p;
    p.CARTE = carte;
    p.NOM = nom;
    p.PRENOM = prenom;
    p.MATRICULE = matricule;
    return p;
}

Semaine semaine(int numero, int annee)
{
    return {quint8(numero), qint16(annee)};
}

} // namespace

TEST(SelectionImpressionTest, TheWeekBeforeTodayIsProposed)
{
    const SelectionImpression lundi(dayNumber(2026, 12, 7));
    EXPECT_EQ(lundi.dateDebut(), dayNumber(2026, 11, 30));
    EXPECT_EQ(lundi.dateFin(), dayNumber(2026, 12, 6));
    const SelectionImpression dimanche(dayNumber(2026, 12, 13));
    EXPECT_EQ(dimanche.dateDebut(), dayNumber(2026, 12, 13) - 13);
    EXPECT_EQ(dimanche.dateFin(), dayNumber(2026, 12, 13) - 7);
    EXPECT_EQ(dimanche.texteSemaineDebut(), QStringLiteral("Sem.: 49/2026"));
    EXPECT_EQ(dimanche.modePeriode(), QLatin1Char(' '));
}

TEST(SelectionImpressionTest, EachCodeBoundsThePeriod)
{
    SelectionImpression s(dayNumber(2005, 3, 23));
    s.choisirEdition(code::Libre);
    EXPECT_EQ(s.modePeriode(), QLatin1Char('S'));
    s.choisirSemaineDebut(semaine(2, 2005));
    s.choisirSemaineFin(semaine(8, 2005)); // seven weeks, allowed without bound
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 2, 27));
    s.choisirEdition(code::CinqSemaines); // five whole weeks: the end comes back
    EXPECT_EQ(s.dateDebut(), dayNumber(2005, 1, 10));
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 1, 10) + 34);
    EXPECT_EQ(s.semaineFin(), semaine(6, 2005));
    EXPECT_EQ(s.texteSemaineFin(), QStringLiteral("Sem.: 6/2005"));

    s.choisirEdition(code::UneSemaine); // one week, whatever was chosen before
    EXPECT_EQ(s.semaineFin(), s.semaineDebut());
    EXPECT_EQ(s.dateFin(), s.dateDebut() + 6);
    s.choisirSemaineFin(semaine(1, 2005)); // the start follows the end
    EXPECT_EQ(s.semaineDebut(), semaine(1, 2005));
    EXPECT_EQ(s.dateDebut(), dayNumber(2005, 1, 3));
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 1, 9));

    s.choisirEdition(code::TrenteEtUnJours);
    EXPECT_EQ(s.modePeriode(), QLatin1Char('D'));
    s.choisirDateFin(s.dateDebut() + 40); // the start moves up to end - 30
    EXPECT_EQ(s.dateDebut(), dayNumber(2005, 1, 3) + 10);
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 1, 3) + 40);
    EXPECT_EQ(s.semaineDebut(), NumeroSemaine(dayNumber(2005, 1, 13)));
    s.choisirDateDebut(s.dateFin() + 5); // after the end: the two are exchanged, weeks with them
    EXPECT_EQ(s.dateDebut(), dayNumber(2005, 2, 12));
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 2, 17));
    EXPECT_EQ(s.semaineFin(), NumeroSemaine(dayNumber(2005, 2, 17)));

    s.choisirEdition(code::AucunePeriode);
    EXPECT_EQ(s.modePeriode(), QLatin1Char(' '));
}

TEST(SelectionImpressionTest, AnEndWeekBeforeTheStartIsExchangedWithIt)
{
    SelectionImpression s(dayNumber(2005, 3, 23));
    s.choisirEdition(code::CinqSemaines);
    s.choisirSemaineDebut(semaine(10, 2005));
    s.choisirSemaineFin(semaine(53, 2004)); // exchanged: from 53/2004 to 10/2005, ...
    EXPECT_EQ(s.semaineFin(), semaine(10, 2005));
    // ... then five weeks at most: the start moves to the end's Sunday - 34.
    EXPECT_EQ(s.dateFin(), dayNumber(2005, 3, 13));
    EXPECT_EQ(s.dateDebut(), dayNumber(2005, 3, 13) - 34);
    EXPECT_EQ(s.semaineDebut(), semaine(6, 2005));
}

TEST(SelectionImpressionTest, RangesAndTheirTextsAreExchangedWhenTheStartPassesTheEnd)
{
    SelectionImpression s(dayNumber(2005, 3, 23));
    const Personnel a = personne(12, QStringLiteral("ANDRÉ"), QStringLiteral("Alain"), QStringLiteral("M1"));
    const Personnel z = personne(900, QStringLiteral("ZOLA"), QStringLiteral("Émile"), QString());
    s.initialiserEmployes({a, z}, {a, z}, {z, a});
    EXPECT_EQ(s.texteCarteDebut(), QStringLiteral("0012 ANDRÉ Alain M1"));
    EXPECT_EQ(s.texteNomFin(), QStringLiteral("ZOLA Émile 0900"));
    EXPECT_EQ(s.texteMatriculeDebut(), QStringLiteral("ZOLA Émile 0900"));
    const Personnel m = personne(1500, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("M7"));
    s.choisirCarteDebut(m);
    EXPECT_EQ(s.carteDebut(), 900);
    EXPECT_EQ(s.carteFin(), 1500);
    EXPECT_EQ(s.texteCarteDebut(), QStringLiteral("0900 ZOLA Émile"));
    EXPECT_EQ(s.texteCarteFin(), QStringLiteral("1500 MARTIN Paul M7"));
    s.choisirNomFin(personne(3, QStringLiteral("abel"), QStringLiteral("Jo"), QString()));
    EXPECT_EQ(s.nomDebut(), QStringLiteral("abel"));
    EXPECT_EQ(s.nomFin(), QStringLiteral("ANDRÉ"));
    const Personnel longue = personne(9999, QString(20, u'X'), QString(15, u'Y'), QString(10, u'Z'));
    EXPECT_EQ(SelectionImpression::texteParCarte(longue).size(), 52);

    ParametresEdition p = s.parametres(*definitionEdition(3), true);
    EXPECT_EQ(p.NOMEDITION, definitionEdition(3)->NOMEDITION);
    EXPECT_EQ(p.carteDebut, 900);
    EXPECT_TRUE(p.centiemes);
}

TEST(SelectionImpressionTest, BothEndsAtOnceAreBoundedAsTheCodeSays)
{
    SelectionImpression s(dayNumber(2026, 12, 9));
    s.choisirEdition(code::CinqSemaines);
    s.definirPeriode(dayNumber(2026, 11, 29), dayNumber(2026, 11, 18)); // reversed, mid-week
    EXPECT_EQ(s.dateDebut(), dayNumber(2026, 11, 16));
    EXPECT_EQ(s.dateFin(), dayNumber(2026, 11, 29));
    s.choisirEdition(code::Libre);
    s.definirPeriode(dayNumber(2026, 1, 1), dayNumber(2026, 12, 31));
    EXPECT_EQ(s.dateDebut(), dayNumber(2026, 1, 1));
    EXPECT_EQ(s.dateFin(), dayNumber(2026, 12, 31));
}

TEST(SelectionImpressionTest, TheReportsEachWithItsCodeAndProcedure)
{
    ASSERT_EQ(definitionsEditions().size(), 10u);
    for (int ligne = 1; ligne <= 10; ++ligne) {
        const DefinitionEdition* d = definitionEdition(ligne);
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(d->disponible()) << ligne;
        // The employee list reads the employees, the control report inactive day lines too.
        const std::unique_ptr<Edition> e = d->fabrique();
        EXPECT_EQ(e->source() == SourceEdition::Personnel, ligne == 1 || ligne >= 9) << ligne;
        EXPECT_EQ(e->avecLignesInactives(), ligne == 8) << ligne;
    }
    EXPECT_EQ(definitionEdition(11), nullptr);

    // The employee list is handed neither a title nor dates.
    SelectionImpression s(dayNumber(2026, 12, 9));
    s.choisirEdition(code::AucunePeriode);
    const ParametresEdition p = s.parametres(*definitionEdition(1), false);
    EXPECT_TRUE(p.NOMEDITION.isEmpty());
    EXPECT_EQ(p.dateDebut, 0);
    EXPECT_EQ(p.dateFin, 0);
}
