// Day assignment: midnight shift, day extension and a previous day that already reaches past midnight.
#include "punch/ChoisirJournee.h"

#include "PunchTestHelpers.h"

#include <gtest/gtest.h>
#include <map>

using namespace kip;
using namespace kip::test;

namespace {
constexpr qint32 Day = 74000;

// Day lines held in memory, keyed by card and date as POV:K_CARTE_DATE keys them.
class Lines : public JourneePrecedente
{
public:
    void put(qint32 date, std::initializer_list<int> minutes)
    {
        PointVal pov = rawLine(minutes);
        pov.CARTE = 12;
        pov.DATE = date;
        m_lines[{12, date}] = pov;
    }
    bool lire(qint16 carte, qint32 date, PointVal& out) override
    {
        ++reads;
        const auto it = m_lines.find({carte, date});
        if (it == m_lines.end())
            return false;
        out = it->second;
        return true;
    }
    int reads = 0;

private:
    std::map<std::pair<qint16, qint32>, PointVal> m_lines;
};

void expectCurrent(const ChoixJournee& c, int minute)
{
    EXPECT_FALSE(c.veille);
    EXPECT_EQ(c.date, Day);
    EXPECT_EQ(c.valeur, minute);
}

void expectPrevious(const ChoixJournee& c, int value)
{
    EXPECT_TRUE(c.veille);
    EXPECT_EQ(c.date, Day - 1);
    EXPECT_EQ(c.valeur, value);
}
} // namespace

TEST(ChoisirJournee, MidnightShift)
{
    Personnel per = employee();
    per.DECALAGE_MINUIT = 120;
    Lines lines;
    expectPrevious(ChoisirJournee(per, Day, hm(2, 0), lines), 1560);
    expectPrevious(ChoisirJournee(per, Day, 0, lines), 1440);
    EXPECT_EQ(lines.reads, 0); // the shift decides without the previous line
    // 02:01 follows the other rules: no line the day before, so the current day.
    expectCurrent(ChoisirJournee(per, Day, hm(2, 1), lines), hm(2, 1));
    EXPECT_EQ(lines.reads, 1);
    // An open entry the day before still takes 02:01 through the extension, not through the shift.
    per.EXTENSION = 480;
    lines.put(Day - 1, {hm(22, 0)});
    expectPrevious(ChoisirJournee(per, Day, hm(2, 1), lines), 1440 + hm(2, 1));

    // Shift 0: midnight itself belongs to the current day.
    Personnel noShift = employee();
    Lines none;
    expectCurrent(ChoisirJournee(noShift, Day, 0, none), 0);
}

TEST(ChoisirJournee, ExtensionClosesAnOpenEntry)
{
    Personnel per = employee();
    per.EXTENSION = 480;
    Lines lines;
    lines.put(Day - 1, {hm(22, 0)});
    expectPrevious(ChoisirJournee(per, Day, hm(5, 30), lines), 1770);           // gap 450
    expectCurrent(ChoisirJournee(per, Day, hm(6, 30), lines), hm(6, 30));       // gap 510
    expectPrevious(ChoisirJournee(per, Day, hm(6, 0), lines), 1440 + hm(6, 0)); // gap 480: bound included
    expectCurrent(ChoisirJournee(per, Day, hm(6, 1), lines), hm(6, 1));

    // Three punches, the last an entry: the same extension rule.
    lines.put(Day - 1, {hm(8, 0), hm(12, 0), hm(22, 0)});
    expectPrevious(ChoisirJournee(per, Day, hm(5, 30), lines), 1770);
}

TEST(ChoisirJournee, ExtensionZeroNeverCrossesMidnight)
{
    Personnel per = employee();
    Lines lines;
    lines.put(Day - 1, {hm(23, 59)});
    for (int m : {0, 1, hm(0, 30), hm(6, 0), hm(23, 59)})
        expectCurrent(ChoisirJournee(per, Day, m, lines), m);
}

TEST(ChoisirJournee, ClosedPreviousDayBeforeMidnight)
{
    Personnel per = employee();
    per.EXTENSION = 840;
    Lines lines;
    lines.put(Day - 1, {hm(8, 0), hm(23, 0)});
    for (int m : {0, hm(0, 10), hm(7, 0), hm(23, 59)})
        expectCurrent(ChoisirJournee(per, Day, m, lines), m);
    // Unless the midnight shift applies.
    per.DECALAGE_MINUIT = 60;
    expectPrevious(ChoisirJournee(per, Day, hm(0, 30), lines), 1470);
    expectCurrent(ChoisirJournee(per, Day, hm(1, 1), lines), hm(1, 1));
}

TEST(ChoisirJournee, PreviousDayAlreadyPastMidnight)
{
    Personnel per = employee();
    Lines lines;
    // Closed after midnight at 02:00 of the next date (1560): punches up to that minute belong to it.
    lines.put(Day - 1, {hm(22, 0), 1560});
    expectPrevious(ChoisirJournee(per, Day, hm(1, 0), lines), 1500);
    expectPrevious(ChoisirJournee(per, Day, hm(2, 0), lines), 1560); // equal: the merge finds a duplicate
    expectCurrent(ChoisirJournee(per, Day, hm(2, 1), lines), hm(2, 1));

    // An entry after midnight (odd count, last 1500): the same bound, the extension plays no part.
    per.EXTENSION = 840;
    lines.put(Day - 1, {hm(20, 0), hm(23, 30), 1500});
    expectPrevious(ChoisirJournee(per, Day, hm(0, 45), lines), 1485);
    expectCurrent(ChoisirJournee(per, Day, hm(1, 1), lines), hm(1, 1));
}

TEST(ChoisirJournee, EmptyOrMissingPreviousDay)
{
    Personnel per = employee();
    per.EXTENSION = 840;
    Lines lines;
    expectCurrent(ChoisirJournee(per, Day, hm(0, 5), lines), hm(0, 5));
    lines.put(Day - 1, {});
    expectCurrent(ChoisirJournee(per, Day, hm(0, 5), lines), hm(0, 5));

    // The look-up is by the employee's own card and the day before.
    JourneePrecedenteFonction probe([](qint16 carte, qint32 date, PointVal& out) {
        EXPECT_EQ(carte, 12);
        EXPECT_EQ(date, Day - 1);
        out = rawLine({hm(23, 0)});
        return true;
    });
    expectPrevious(ChoisirJournee(per, Day, hm(0, 5), probe), 1445);
}
