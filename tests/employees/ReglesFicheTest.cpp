// The rules of the employee form: bounds that follow the rounding, the worked example, time texts, periods,
// dates and the checks that keep bad input out of the file.
#include "employees/ReglesFiche.h"

#include "QStringPrinter.h"
#include "calendar/Clock.h"
#include "employees/ExempleArrondi.h"
#include "punch/CalculerProgramme.h"
#include "punch/CodesArrondi.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(ReglesFiche, RoundingCodeBoundsToleranceAndOffset)
{
    Personnel p;
    p.TOLERANCE_ENTREE = 10;
    p.DECALAGE_ENTREE = 7;
    choisirArrondi(p, Cote::Entree, QStringLiteral("05"));
    EXPECT_EQ(p.ARRONDI_ENTREE, QStringLiteral("05"));
    EXPECT_EQ(p.TOLERANCE_ENTREE, 4); // a stored 10 drops to 4
    EXPECT_EQ(p.DECALAGE_ENTREE, 7);
    EXPECT_EQ(bornesArrondi(QStringLiteral("05")).tolerance, 4);
    EXPECT_EQ(bornesArrondi(QStringLiteral("10")).tolerance, 9);
    EXPECT_EQ(bornesArrondi(QStringLiteral("15")).tolerance, 14);
    // 30 and 60 keep the bound 15.
    EXPECT_EQ(bornesArrondi(QStringLiteral("30")).tolerance, 15);
    EXPECT_EQ(bornesArrondi(QStringLiteral("60")).decalage, 59);

    p.TOLERANCE_SORTIE = 9;
    p.DECALAGE_SORTIE = 30;
    choisirArrondi(p, Cote::Sortie, QStringLiteral("00"));
    EXPECT_EQ(p.TOLERANCE_SORTIE, 0);
    EXPECT_EQ(p.DECALAGE_SORTIE, 0);
    EXPECT_EQ(bornesArrondi(QStringLiteral("00")).tolerance, 0);
    EXPECT_EQ(bornesArrondi(QStringLiteral("00")).decalage, 0);
    // The entry side was left alone.
    EXPECT_EQ(p.TOLERANCE_ENTREE, 4);
}

TEST(ReglesFiche, WorkedExamplesOfTheForm)
{
    const ExempleArrondi sortie = exempleArrondi(Cote::Sortie, QStringLiteral("10"), 3, 0);
    QStringList plages, retenues;
    for (int i = 0; i < ValeursExemple; ++i) {
        plages << sortie.textePlage(i);
        retenues << sortie.texteRetenue(i);
    }
    EXPECT_EQ(plages, QStringList({"16.37-16.46", "16.47-16.56", "16.57-17.06", "17.07-17.16", "17.17-17.26"}));
    EXPECT_EQ(retenues, QStringList({"16.40", "16.50", "17.00", "17.10", "17.20"}));
    EXPECT_TRUE(sortie.titre.startsWith(QStringLiteral("Exemple de SORTIE autour de 17h")));
    // The entry side centres on 8h (every value of every code is checked against the rule below).
    const ExempleArrondi entree = exempleArrondi(Cote::Entree, QStringLiteral("15"), 5, 0);
    EXPECT_EQ(entree.textePlage(2), QStringLiteral("7.51-8.05"));
    EXPECT_EQ(entree.texteRetenue(2), QStringLiteral("8.00"));
}

// The example shows what the rule does: every punch of a green range is retained by the punch rules as the
// red value above it, for every code, tolerance and offset the form allows, and the ranges touch.
TEST(ReglesFiche, ExampleAgreesWithTheRoundingRule)
{
    for (const QString& code : roundingCodes()) {
        const BornesArrondi b = bornesArrondi(code);
        for (int t = 0; t <= b.tolerance; ++t) {
            for (int d = 0; d <= b.decalage; d += 7) {
                for (const Cote cote : {Cote::Entree, Cote::Sortie}) {
                    const ExempleArrondi e = exempleArrondi(cote, code, t, d);
                    for (int i = 0; i < ValeursExemple; ++i) {
                        if (i > 0) {
                            ASSERT_EQ(e.debutPlages[size_t(i)], e.finPlages[size_t(i - 1)] + 1);
                        }
                        for (int m = e.debutPlages[size_t(i)]; m <= e.finPlages[size_t(i)]; ++m) {
                            const int step = roundingValue(code);
                            const int r = cote == Cote::Entree ? roundEntry(m, step, t, d) : roundExit(m, step, t, d);
                            ASSERT_EQ(r, e.retenues[size_t(i)]) << code.toStdString() << " t" << t << " d" << d;
                        }
                    }
                }
            }
        }
    }
}

TEST(ReglesFiche, MidnightShiftAndExtensionTexts)
{
    for (const char* refuse : {"12.30", "3.75", "3.60", "12.01", "-1", "1.2.3", "abc", "99"})
        EXPECT_FALSE(lireDuree(QString::fromLatin1(refuse), DecalageMinuitMax).valide) << refuse;
    const DureeLue douze = lireDuree(QStringLiteral("12.00"), DecalageMinuitMax);
    ASSERT_TRUE(douze.valide);
    EXPECT_EQ(douze.minutes, 720);
    EXPECT_EQ(lireDuree(QStringLiteral("2.30"), DecalageMinuitMax).minutes, 150);
    EXPECT_EQ(lireDuree(QStringLiteral(""), DecalageMinuitMax).minutes, 0);
    EXPECT_EQ(lireDuree(QStringLiteral("14.00"), ExtensionMax).minutes, 840);
    EXPECT_FALSE(lireDuree(QStringLiteral("14.01"), ExtensionMax).valide);
    // A refusal says why, in French.
    EXPECT_EQ(lireDuree(QStringLiteral("3.75"), DecalageMinuitMax).raison,
              QStringLiteral("Les minutes vont de 00 à 59 : 3.75 n'est pas une heure."));
    EXPECT_EQ(lireDuree(QStringLiteral("12.30"), DecalageMinuitMax).raison,
              QStringLiteral("La durée va de 0.00 à 12.00."));
}

TEST(ReglesFiche, PeriodsKeepTheTenLatest)
{
    Personnel p;
    // Stored pairs with a zero are not periods.
    p.PERIODE_INACTIVITE_DEBUT[0] = 100;
    p.PERIODE_INACTIVITE_FIN[0] = 0;
    p.PERIODE_INACTIVITE_DEBUT[3] = 50;
    p.PERIODE_INACTIVITE_FIN[3] = 60;
    p.PERIODE_INACTIVITE_DEBUT[5] = 55;
    p.PERIODE_INACTIVITE_FIN[5] = 60;
    QList<Periode> l = periodesDe(p);
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0], (Periode{55, 60})); // same end: the later start first
    EXPECT_EQ(l[1], (Periode{50, 60}));

    l.clear();
    for (int i = 1; i <= 10; ++i)
        ajouterPeriode(l, {1000 + 20 * i, 1005 + 20 * i});
    ajouterPeriode(l, {2000, 2001});
    ASSERT_EQ(l.size(), 10);
    EXPECT_EQ(l.first(), (Periode{2000, 2001}));
    EXPECT_EQ(l.last(), (Periode{1040, 1045})); // the oldest, {1020, 1025}, is gone
    // An eleventh period older than the ten is the one dropped.
    ajouterPeriode(l, {10, 11});
    EXPECT_FALSE(l.contains(Periode{10, 11}));

    rangerPeriodes(p, l);
    EXPECT_EQ(p.PERIODE_INACTIVITE_DEBUT[0], 2000);
    EXPECT_EQ(p.PERIODE_INACTIVITE_FIN[9], 1045);
    rangerPeriodes(p, {{5, 6}});
    EXPECT_EQ(p.PERIODE_INACTIVITE_DEBUT[0], 5);
    EXPECT_EQ(p.PERIODE_INACTIVITE_DEBUT[1], 0);
    EXPECT_EQ(p.PERIODE_INACTIVITE_FIN[9], 0);
}

TEST(ReglesFiche, DefaultsDatesAndMatricule)
{
    const qint32 aujourdhui = dayNumber(2026, 3, 4);
    Personnel p = nouvelEmploye(aujourdhui);
    EXPECT_EQ(p.CARTE, 1);
    EXPECT_EQ(p.NOMBRE, 4);
    EXPECT_EQ(p.ARRONDI_ENTREE, QStringLiteral("00"));
    EXPECT_EQ(p.ARRONDI_SEMAINE, QStringLiteral("000"));
    EXPECT_EQ(p.PREMIER_JOUR, aujourdhui);
    EXPECT_EQ(p.DERNIER_JOUR, aujourdhui + 1);
    EXPECT_EQ(p.DATE_EMBAUCHE, aujourdhui);
    EXPECT_EQ(p.DATE_DEBAUCHE, dayNumber(2099, 12, 31));
    EXPECT_EQ(p.AUTORISATION[15], 1);
    // A new employee needs a name, which the lists sort by.
    EXPECT_EQ(verifierFiche(p, {bornesArrondi("00"), bornesArrondi("00")}).champ, Champ::Nom);
    p.NOM = QStringLiteral("  ");
    EXPECT_EQ(verifierFiche(p, {bornesArrondi("00"), bornesArrondi("00")}).champ, Champ::Nom);
    p.NOM = QStringLiteral("MARTIN");
    EXPECT_TRUE(verifierFiche(p, {bornesArrondi("00"), bornesArrondi("00")}).accepte());

    EXPECT_EQ(matriculeParDefaut(42), QStringLiteral("0000000042"));
    qint32 a = 20, b = 10;
    EXPECT_TRUE(ordonnerDates(a, b));
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 20);
    EXPECT_FALSE(ordonnerDates(a, b));
}

TEST(ReglesFiche, BadInputIsRefusedWithItsReason)
{
    Personnel p = nouvelEmploye(dayNumber(2026, 3, 4));
    p.NOM = QStringLiteral("MARTIN");
    const BornesFiche bornes{bornesArrondi("05"), bornesArrondi("00")};
    p.ARRONDI_ENTREE = QStringLiteral("05");
    p.TOLERANCE_ENTREE = 5;
    Refus r = verifierFiche(p, bornes);
    EXPECT_EQ(r.champ, Champ::ToleranceEntree);
    EXPECT_EQ(r.raison, QStringLiteral("La tolérance d'entrée va de 0 à 4 minutes."));
    p.TOLERANCE_ENTREE = 4;
    EXPECT_TRUE(verifierFiche(p, bornes).accepte());

    p.NOM = QStringLiteral("Łukasz");
    r = verifierFiche(p, bornes);
    EXPECT_EQ(r.champ, Champ::Nom);
    EXPECT_EQ(r.raison, QStringLiteral("Le nom contient un caractère que le fichier ne peut pas garder : « Ł »."));
    p.NOM = QStringLiteral("LEFÈVRE Œ€");
    EXPECT_TRUE(verifierFiche(p, bornes).accepte());
    p.PRENOM = QStringLiteral("Jean\tPaul");
    EXPECT_EQ(verifierFiche(p, bornes).champ, Champ::Prenom);
    p.PRENOM.clear();
    p.MATRICULE = QStringLiteral("12345678901");
    EXPECT_EQ(verifierFiche(p, bornes).raison, QStringLiteral("Le matricule tient sur 10 caractères au plus."));
    p.MATRICULE.clear();

    for (auto [change, champ] : std::initializer_list<std::pair<void (*)(Personnel&), Champ>>{
             {[](Personnel& q) { q.CARTE = 0; }, Champ::Carte},
             {[](Personnel& q) { q.ARRONDI_SORTIE = QStringLiteral("07"); }, Champ::ArrondiSortie},
             {[](Personnel& q) { q.DECALAGE_SORTIE = 1; }, Champ::DecalageSortie},
             {[](Personnel& q) { q.ARRONDI_SEMAINE = QStringLiteral("+07"); }, Champ::ArrondiSemaine},
             {[](Personnel& q) { q.DECALAGE_MINUIT = 721; }, Champ::DecalageMinuit},
             {[](Personnel& q) { q.EXTENSION = 841; }, Champ::Extension},
             {[](Personnel& q) { q.NOMBRE = 5; }, Champ::Nombre},
             {[](Personnel& q) { q.DATE_DEBAUCHE = q.DATE_EMBAUCHE - 1; }, Champ::DateDebauche},
             {[](Personnel& q) {
                  q.PERIODE_INACTIVITE_DEBUT[2] = 30;
                  q.PERIODE_INACTIVITE_FIN[2] = 20;
              },
              Champ::Periodes}}) {
        Personnel q = p;
        change(q);
        const Refus refus = verifierFiche(q, bornes);
        EXPECT_EQ(refus.champ, champ);
        EXPECT_FALSE(refus.raison.isEmpty());
    }
}
