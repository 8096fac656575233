// Programme line: entry and exit rounding with tolerance and offset, truncation of negative dividends, and
// the clamp into 0 to 2879.
#include "punch/CalculerProgramme.h"

#include "PunchTestHelpers.h"

#include <gtest/gtest.h>

using namespace kip;
using namespace kip::test;

TEST(CalculerProgramme, WorkedValues)
{
    EXPECT_EQ(roundEntry(hm(8, 4), 15, 5, 0), hm(8, 0));
    EXPECT_EQ(roundEntry(hm(8, 6), 15, 5, 0), hm(8, 15));
    EXPECT_EQ(roundEntry(hm(8, 0), 15, 0, 0), hm(8, 0));
    EXPECT_EQ(roundEntry(hm(8, 6), 15, 0, 5), hm(8, 20));
    EXPECT_EQ(roundExit(hm(16, 57), 15, 3, 0), hm(17, 0));
    EXPECT_EQ(roundExit(hm(16, 56), 15, 3, 0), hm(16, 45));
    // Step 0 keeps the punch whatever the tolerance and offset.
    EXPECT_EQ(roundEntry(hm(8, 6), 0, 5, 30), hm(8, 6));
    EXPECT_EQ(roundExit(hm(8, 6), 0, 5, 30), hm(8, 6));
}

TEST(CalculerProgramme, OddSlotsAreEntriesEvenSlotsExits)
{
    Personnel per = employee("15", "15");
    per.TOLERANCE_ENTREE = 5;
    per.TOLERANCE_SORTIE = 3;
    PointVal pov = rawLine({hm(8, 4), hm(12, 2), hm(13, 6), hm(16, 57)});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({hm(8, 0), hm(12, 0), hm(13, 15), hm(17, 0)}));

    // With an offset the grid moves: entries to :05, :20, ..., exits likewise.
    per = employee("15", "30");
    per.DECALAGE_ENTREE = 5;
    per.DECALAGE_SORTIE = 10;
    pov = rawLine({hm(8, 6), hm(16, 57), hm(18, 0)});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({hm(8, 20), hm(16, 40), hm(18, 5)}));
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 6), hm(16, 57), hm(18, 0)})); // raw line untouched
}

TEST(CalculerProgramme, AgreesWithCeilingAndFloorWhileTheDividendIsNotNegative)
{
    for (int step : {5, 10, 15, 30, 60}) {
        for (int tolerance : {0, 3, 15}) {
            for (int offset : {0, 7, 59}) {
                for (int o = 0; o <= 2879; ++o) {
                    const int in = o - tolerance - offset; // entry: up to the grid after the tolerance
                    if (5 * step + in - 1 >= 0) {
                        const int ceil = in >= 0 ? (in + step - 1) / step : -(-in / step);
                        ASSERT_EQ(roundEntry(o, step, tolerance, offset), ceil * step + offset)
                            << o << " " << step << " " << tolerance << " " << offset;
                    }
                    const int out = o + tolerance - offset; // exit: down to the grid after the tolerance
                    if (5 * step + out >= 0) {
                        const int floor = out >= 0 ? out / step : -((-out + step - 1) / step);
                        ASSERT_EQ(roundExit(o, step, tolerance, offset), floor * step + offset)
                            << o << " " << step << " " << tolerance << " " << offset;
                    }
                }
            }
        }
    }
}

TEST(CalculerProgramme, NegativeDividendsTruncateTowardZero)
{
    // Entry: 25 + 3 - 1 - 15 - 59 = -47, truncated to -9 steps (flooring would give -10).
    EXPECT_EQ(roundEntry(3, 5, 15, 59), -6);
    // Exit: 25 + 3 - 59 = -31, truncated to -6 steps (flooring would give -7 and -1).
    EXPECT_EQ(roundExit(3, 5, 0, 59), 4);
    EXPECT_EQ(roundExit(0, 60, 0, 59), -1);

    Personnel per = employee("00", "05");
    per.DECALAGE_SORTIE = 59;
    PointVal pov = rawLine({0, 3});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({0, 4}));

    // A negative result is lifted to the first free minute.
    per = employee("05", "60");
    per.TOLERANCE_ENTREE = 15;
    per.DECALAGE_ENTREE = 59;
    per.DECALAGE_SORTIE = 59;
    pov = rawLine({3, 6});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({0, 1}));
}

TEST(CalculerProgramme, ClampAbove2879)
{
    // Entries rounded up past 47:59 take the last minutes of the range, slot i of n getting 2879 - n + i.
    Personnel per = employee("60", "00");
    PointVal pov = rawLine({2850, 2860, 2870});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({2877, 2878, 2879}));

    // Both of the last two above 2879: the last slot 2879, the one before it 2878.
    per = employee("60", "60");
    per.TOLERANCE_SORTIE = 255;
    pov = rawLine({hm(8, 0), 2850, 2870, 2875});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({hm(8, 0), 2877, 2878, 2879}));
}

TEST(CalculerProgramme, NeverPushedPast2879)
{
    // The entry rounds onto 47:59 exactly and the unrounded exit follows it: the exit cannot go to 48:00.
    Personnel per = employee("60", "00");
    per.DECALAGE_ENTREE = 59;
    PointVal pov = rawLine({2830, 2835});
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({2878, 2879}));

    // A long tail pushed up by an early punch near the end.
    pov = rawLine({100, 2870, 2873, 2876, 2879});
    CalculerProgramme(pov, per);
    // 100 -> 119, 2870 exit kept, 2873 entry -> 2879, then 2876 and 2879 cannot follow above it.
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({119, 2870, 2877, 2878, 2879}));
}

TEST(CalculerProgramme, StopsAtTheFirstEmptySlotAndEmptiesTheRest)
{
    Personnel per = employee();
    PointVal pov = rawLine({hm(8, 0), hm(12, 0)});
    pov.POINTAGE_ORIGINE[3] = hm(14, 0); // after a hole: not a punch of the line
    pov.POINTAGE_PROGRAMME.fill(55);
    pov.POINTAGE_UTILISATEUR = punchLine({1, 2, 3});
    pov.MODIF = 1;
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({hm(8, 0), hm(12, 0)}));
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, punchLine({1, 2, 3}));
    EXPECT_EQ(pov.MODIF, 1);

    pov = rawLine({});
    pov.POINTAGE_PROGRAMME.fill(55);
    CalculerProgramme(pov, per);
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({}));
}
