// Week numbering and date helpers against Qt's own ISO week numbers and the calendar.
#include "calendar/Dates.h"

#include <gtest/gtest.h>

using namespace kip;

namespace {
qint32 d(int jour, int mois, int annee)
{
    return dayNumber(annee, mois, jour);
}
} // namespace

TEST(Dates, WeekNumbersMatchIsoForEveryDayFrom1980To2099)
{
    for (QDate q(1980, 1, 1); q.year() < 2100; q = q.addDays(1)) {
        const qint32 jour = dayNumber(q);
        int anneeIso = 0;
        const int numeroIso = q.weekNumber(&anneeIso);
        const Semaine s = NumeroSemaine(jour);
        ASSERT_EQ(s.numero, numeroIso) << q.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(s.annee, anneeIso) << q.toString(Qt::ISODate).toStdString();

        // The week's dates hold the day, run Monday to Sunday, and agree with LundiDimanche.
        const LundiEtDimanche w = DatesDeSemaine(s.numero, s.annee);
        const LundiEtDimanche l = LundiDimanche(jour);
        ASSERT_EQ(w.lundi, l.lundi);
        ASSERT_EQ(w.dimanche, l.dimanche);
        ASSERT_EQ(calendarDate(w.lundi).dayOfWeek(), Qt::Monday);
        ASSERT_TRUE(w.lundi <= jour && jour <= w.dimanche);

        const SemainesAnnee a = SemainesDeLAnnee(jour);
        ASSERT_EQ(a.annee, anneeIso);
        ASSERT_EQ(a.premiere, 1);
        // The last week is the week of 28 December, which always belongs to its own year.
        ASSERT_EQ(a.derniere, QDate(anneeIso, 12, 28).weekNumber());
    }
}

TEST(Dates, WeekEdgesAroundNewYear)
{
    // The week of each day is checked against Qt's ISO numbers above; here the edges of the week-years.
    EXPECT_EQ(DebutPremiereSemaine(2004), d(29, 12, 2003));
    EXPECT_EQ(FinDerniereSemaine(2004), d(2, 1, 2005));

    EXPECT_EQ(SemainesDeLAnneeParAn(2004).derniere, 53);
    EXPECT_EQ(SemainesDeLAnneeParAn(2005).derniere, 52);
    // The by-year form answers for that very week-year even though 1 January 2005 belongs to 2004.
    EXPECT_EQ(SemainesDeLAnneeParAn(2005).annee, 2005);
    EXPECT_EQ(SemainesDeLAnnee(d(1, 1, 2005)).annee, 2004);
    EXPECT_EQ(SemainesDeLAnnee(d(1, 1, 2005)).derniere, 53);
}

TEST(Dates, LundiDimancheOfEachWeekday)
{
    // 1980 to 2099 are checked above against Qt's weeks; before day 0 the weekday still comes out right.
    EXPECT_EQ(jourSemaine(d(1, 1, 1800)), QDate(1800, 1, 1).dayOfWeek() % 7);
    EXPECT_EQ(LundiDimanche(d(5, 1, 1800)).lundi, d(30, 12, 1799));
}

TEST(Dates, NamesAndTexts)
{
    // Sunday is day 0 of the names (the days of the week run from it).
    EXPECT_EQ(NomJour(d(27, 3, 2005)), QStringLiteral("Dimanche"));
    EXPECT_TRUE(NomMois(13).isEmpty());
    EXPECT_EQ(DateTexte(d(25, 12, 2004)), QStringLiteral("25/12/2004"));
    EXPECT_EQ(DateTexte(d(3, 1, 2005)), QStringLiteral("03/01/2005"));
    EXPECT_TRUE(DateTexte(0).isEmpty());

    EXPECT_EQ(JoursDuMois(2, 2000), 29);
    EXPECT_EQ(JoursDuMois(2, 2004), 29);
    EXPECT_EQ(JoursDuMois(2, 2005), 28);
    EXPECT_EQ(JoursDuMois(2, 2100), 28);
    EXPECT_EQ(JoursDuMois(4, 2005), 30);
    EXPECT_EQ(JoursDuMois(13, 2005), 0);
}
