// Week rounding: up, down and none, on multiples, remainders and negative totals.
#include "punch/ArrondirSemaine.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(ArrondirSemaine, RoundsUpDownOrKeeps)
{
    EXPECT_EQ(ArrondirSemaine(2401, "+15"), 2415);
    EXPECT_EQ(ArrondirSemaine(2401, "-15"), 2400);
    EXPECT_EQ(ArrondirSemaine(2400, "+15"), 2400);
    EXPECT_EQ(ArrondirSemaine(2400, "-15"), 2400);
    EXPECT_EQ(ArrondirSemaine(2401, "000"), 2401);
    EXPECT_EQ(ArrondirSemaine(2414, "+15"), 2415);
    EXPECT_EQ(ArrondirSemaine(2414, "-15"), 2400);
    EXPECT_EQ(ArrondirSemaine(2401, "+05"), 2405);
    EXPECT_EQ(ArrondirSemaine(2401, "+60"), 2460);
    EXPECT_EQ(ArrondirSemaine(2459, "-60"), 2400);
    EXPECT_EQ(ArrondirSemaine(29, "-30"), 0);
    EXPECT_EQ(ArrondirSemaine(0, "+30"), 0);
    EXPECT_EQ(ArrondirSemaine(1, "+10"), 10);
}

TEST(ArrondirSemaine, WeekTotalsBeyondSixteenBits)
{
    // Seven days of 23 hours: more minutes than a 16-bit field holds.
    EXPECT_EQ(ArrondirSemaine(7 * 1380 + 1, "+60"), 7 * 1380 + 60);
    EXPECT_EQ(ArrondirSemaine(40000, "-15"), 39990);
    EXPECT_EQ(ArrondirSemaine(40001, "000"), 40001);
}

TEST(ArrondirSemaine, NegativeRemainders)
{
    // A negative total rounds on the number line: up toward zero, down away from it, never across by a step.
    EXPECT_EQ(ArrondirSemaine(-10, "+15"), 0);
    EXPECT_EQ(ArrondirSemaine(-10, "-15"), -15);
    EXPECT_EQ(ArrondirSemaine(-16, "+15"), -15);
    EXPECT_EQ(ArrondirSemaine(-16, "-15"), -30);
    EXPECT_EQ(ArrondirSemaine(-30, "+15"), -30);
    EXPECT_EQ(ArrondirSemaine(-30, "-15"), -30);
    for (int total = -200; total <= 200; ++total) {
        for (int step : {5, 10, 15, 30, 60}) {
            const QString digits = QStringLiteral("%1").arg(step, 2, 10, QChar(u'0'));
            const int up = ArrondirSemaine(total, "+" + digits);
            const int down = ArrondirSemaine(total, "-" + digits);
            ASSERT_EQ(up % step, 0) << total << " " << step;
            ASSERT_EQ(down % step, 0) << total << " " << step;
            ASSERT_TRUE(up >= total && up - total < step) << total << " " << step;
            ASSERT_TRUE(down <= total && total - down < step) << total << " " << step;
        }
    }
}

TEST(ArrondirSemaine, UnknownCodeKeepsTheTotal)
{
    EXPECT_EQ(ArrondirSemaine(2401, ""), 2401);
    EXPECT_EQ(ArrondirSemaine(2401, "abc"), 2401);
}
