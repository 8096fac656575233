// Week rounding: up, down and none, on multiples, remainders, negative totals and totals beyond 16 bits.
#include "punch/ArrondirSemaine.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(ArrondirSemaine, RoundsUpDownOrKeeps)
{
    EXPECT_EQ(ArrondirSemaine(2401, "+15"), 2415);
    EXPECT_EQ(ArrondirSemaine(2414, "-15"), 2400);
    EXPECT_EQ(ArrondirSemaine(7 * 1380 + 1, "+60"), 7 * 1380 + 60); // seven days of 23 hours
    // A negative total rounds on the number line: up toward zero, down away from it.
    EXPECT_EQ(ArrondirSemaine(-10, "+15"), 0);
    EXPECT_EQ(ArrondirSemaine(-16, "-15"), -30);
    // No rounding, and codes that are none: the total as it is.
    for (const char* code : {"000", "", "abc"})
        EXPECT_EQ(ArrondirSemaine(2401, code), 2401) << code;
    // Up is the first multiple of the step at or above the total, down the last at or below it: around zero, on
    // a working week, and past what a 16-bit field holds.
    for (int debut : {-200, 2300, 40000}) {
        for (int total = debut; total <= debut + 400; ++total) {
            for (int step : {5, 10, 15, 30, 60}) {
                const QString digits = QStringLiteral("%1").arg(step, 2, 10, QChar(u'0'));
                const int up = ArrondirSemaine(total, "+" + digits);
                const int down = ArrondirSemaine(total, "-" + digits);
                ASSERT_TRUE(up % step == 0 && up >= total && up - total < step) << total << " +" << step;
                ASSERT_TRUE(down % step == 0 && down <= total && total - down < step) << total << " -" << step;
            }
        }
    }
}
