// Day total and the user line: pairs, open entries, lines changed by a user, the 16-bit field.
#include "punch/CalculerTotal.h"

#include "PunchTestHelpers.h"

#include <gtest/gtest.h>

using namespace kip;
using namespace kip::test;

TEST(CalculerTotal, SumsCompletePairs)
{
    EXPECT_EQ(totalPaires(punchLine({hm(8, 0), hm(12, 0), hm(13, 0), hm(17, 0)})), 480);
    EXPECT_EQ(totalPaires(punchLine({hm(8, 0), hm(12, 0), hm(13, 0)})), 240); // entry without exit
    EXPECT_EQ(totalPaires(punchLine({hm(8, 0)})), 0);
    EXPECT_EQ(totalPaires(punchLine({})), 0);
    EXPECT_EQ(totalPaires(punchLine({1320, 1770})), 450); // across midnight
    // A pair counts only when both of its slots are filled, wherever the hole is.
    EXPECT_EQ(totalPaires(punchLine({hm(8, 0), PunchEmpty, hm(13, 0), hm(17, 0)})), 240);
    EXPECT_EQ(totalPaires(punchLine({PunchEmpty, hm(12, 0), hm(13, 0), hm(17, 0)})), 240);
    // Slots 15 and 16 form no pair.
    PunchLine line = punchLine({});
    line[14] = 100;
    line[15] = 200;
    EXPECT_EQ(totalPaires(line), 0);
}

TEST(CalculerTotal, UserLineFollowsTheProgrammeUntilChanged)
{
    PointVal pov = rawLine({hm(8, 4), hm(12, 0), hm(13, 0)});
    pov.POINTAGE_PROGRAMME = punchLine({hm(8, 15), hm(12, 0), hm(13, 0)});
    pov.MODIF = 0;
    CalculerTotal(pov);
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, pov.POINTAGE_PROGRAMME);
    EXPECT_EQ(pov.TOTAL, 225); // 08:15 to 12:00, 13:00 still open

    // A user's line is kept when POV:MODIF is 1, and the total comes from it.
    pov.POINTAGE_PROGRAMME = punchLine({hm(8, 15), hm(12, 0), hm(13, 0), hm(17, 0)});
    pov.POINTAGE_UTILISATEUR = punchLine({hm(8, 0), hm(12, 0), hm(13, 0)});
    pov.MODIF = 1;
    CalculerTotal(pov);
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, punchLine({hm(8, 0), hm(12, 0), hm(13, 0)}));
    EXPECT_EQ(pov.TOTAL, 240);

    // Slots 15 to 20 of the user line are not the programme's to overwrite.
    pov.MODIF = 0;
    pov.POINTAGE_UTILISATEUR[18] = 42;
    CalculerTotal(pov);
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR[3], hm(17, 0));
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR[18], 42);
    EXPECT_EQ(pov.TOTAL, 465);
}

TEST(CalculerTotal, TotalHeldInItsField)
{
    PunchLine huge = punchLine({0, 32767, 0, 32767, 0, 32767, 0, 32767, 0, 32767, 0, 32767, 0, 32767});
    EXPECT_EQ(totalPaires(huge), 7 * 32767);
    PointVal pov = rawLine({});
    pov.POINTAGE_UTILISATEUR = huge;
    pov.MODIF = 1;
    CalculerTotal(pov);
    EXPECT_EQ(pov.TOTAL, 32767); // not wrapped round to a negative day

    pov.POINTAGE_UTILISATEUR = punchLine({32767, 0, 32767, 0});
    CalculerTotal(pov);
    EXPECT_EQ(pov.TOTAL, -32768);
}
