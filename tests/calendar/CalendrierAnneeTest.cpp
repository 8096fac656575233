// The week picker's year table and rows, and the day picker's cells, without a window.
#include "calendar/CalendrierAnnee.h"

#include <gtest/gtest.h>

using namespace kip;

namespace {
qint32 date(int jour, int mois, int annee)
{
    return dayNumber(annee, mois, jour);
}
} // namespace

TEST(CalendrierAnnee, December2004ShowsWeeks49To53)
{
    const CalendrierAnnee t(2004);
    EXPECT_EQ(t.derniere(), 53);
    const LignesMois l = t.lignes(12);
    ASSERT_EQ(l.nombre, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(l.semaine[i], 49 + i);
    EXPECT_EQ(l.CODE_AFFICHE[4], QStringLiteral("53"));
    EXPECT_EQ(l.LUNDI_DEBUT[4], QStringLiteral("27/12/2004"));
    EXPECT_EQ(l.DIMANCHE_FIN[4], QStringLiteral("02/01/2005"));
    EXPECT_EQ(t.CAL_LUNDI[53], date(27, 12, 2004));
    EXPECT_EQ(t.titre(53), QStringLiteral("53-2004 du 27/12/2004 au 02/01/2005"));
}

TEST(CalendrierAnnee, January2003StartsWithWeek1FromDecember)
{
    const CalendrierAnnee t(2003);
    EXPECT_EQ(t.CAL_MOIS[1], 1);
    const LignesMois l = t.lignes(1);
    ASSERT_EQ(l.nombre, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(l.semaine[i], 1 + i);
    EXPECT_EQ(l.LUNDI_DEBUT[0], QStringLiteral("30/12/2002"));
    EXPECT_EQ(l.DIMANCHE_FIN[0], QStringLiteral("05/01/2003"));
    // December 2002's last Monday belongs to week 1 of 2003, so 2002's December stops at week 52.
    const LignesMois decembre = CalendrierAnnee(2002).lignes(12);
    EXPECT_EQ(decembre.semaine[decembre.nombre - 1], 52);
    EXPECT_EQ(CalendrierAnnee(2005).titre(12), QStringLiteral("12-2005 du 21/03/2005 au 27/03/2005"));
}

TEST(CalendrierAnnee, EveryWeekShowsOnceAndNoMonthHasMoreThanFive)
{
    for (int annee = 1980; annee <= 2099; ++annee) {
        const CalendrierAnnee t(annee);
        int suivante = 1;
        for (int mois = 1; mois <= 12; ++mois) {
            const LignesMois l = t.lignes(mois);
            ASSERT_GE(l.nombre, 4) << annee << "/" << mois;
            ASSERT_LE(l.nombre, 5) << annee << "/" << mois;
            // Weeks come in order, each once, and each in the month of its Thursday (week 1 in January).
            for (int i = 0; i < l.nombre; ++i) {
                ASSERT_EQ(l.semaine[i], suivante++) << annee << "/" << mois;
                const QDate lundi = calendarDate(t.CAL_LUNDI[l.semaine[i]]);
                ASSERT_EQ(lundi.dayOfWeek(), Qt::Monday);
                ASSERT_EQ(t.CAL_DIMANCHE[l.semaine[i]], t.CAL_LUNDI[l.semaine[i]] + 6);
                ASSERT_EQ(lundi.addDays(3).month(), mois);
            }
            for (int i = l.nombre; i < LignesSemaines; ++i)
                ASSERT_TRUE(l.CODE_AFFICHE[i].isEmpty() && l.semaine[i] == 0);
        }
        ASSERT_EQ(suivante - 1, t.derniere()) << annee;
    }
}

TEST(CalendrierAnnee, OpeningWeek)
{
    Clock::setToday(date(23, 3, 2005));
    const Semaine courante{12, 2005};
    EXPECT_EQ(SemaineDOuverture({20, 2010}), (Semaine{20, 2010}));
    EXPECT_EQ(SemaineDOuverture({53, 2004}), (Semaine{53, 2004}));
    EXPECT_EQ(SemaineDOuverture({1, 1980}), (Semaine{1, 1980}));
    EXPECT_EQ(SemaineDOuverture({52, 2099}), (Semaine{52, 2099}));
    EXPECT_EQ(SemaineDOuverture({0, 2010}), courante);
    EXPECT_EQ(SemaineDOuverture({10, 1975}), courante);
    EXPECT_EQ(SemaineDOuverture({10, 2100}), courante);
    EXPECT_EQ(SemaineDOuverture({54, 2004}), courante);
    // 2005 has no week 53: opening on it would show a week that does not exist.
    EXPECT_EQ(SemaineDOuverture({53, 2005}), courante);
    Clock::setToday(0);
}

TEST(CalendrierAnnee, DayCells)
{
    // March 2005 begins on a Tuesday: one blank cell, then 31 days.
    auto c = CellulesDuMois(3, 2005);
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[1], 1);
    EXPECT_EQ(c[31], 31);
    EXPECT_EQ(c[32], 0);
    // A 31-day month that begins on a Sunday fills the 37th cell.
    c = CellulesDuMois(8, 2004);
    EXPECT_EQ(c[6], 1);
    EXPECT_EQ(c[36], 31);
    // February 2000 has 29 days, 2100 only 28.
    c = CellulesDuMois(2, 2000);
    EXPECT_EQ(*std::max_element(c.begin(), c.end()), 29);
    c = CellulesDuMois(2, 2100);
    EXPECT_EQ(*std::max_element(c.begin(), c.end()), 28);
    // Each filled cell sits in the column of its weekday, Monday first.
    for (int annee : {1980, 2004, 2099})
        for (int mois = 1; mois <= 12; ++mois) {
            c = CellulesDuMois(mois, annee);
            for (int i = 0; i < CellulesJours; ++i)
                if (c[i]) {
                    ASSERT_EQ(QDate(annee, mois, c[i]).dayOfWeek(), i % 7 + 1);
                }
        }
    EXPECT_EQ(TitreMois(3, 2005), QStringLiteral("Mars 2005"));
}
