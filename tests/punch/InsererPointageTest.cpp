// Merging a punch into the raw line: new lines, duplicates, the 3-minute rule, full lines and POV:MODIF.
#include "punch/InsererPointage.h"

#include "PunchTestHelpers.h"
#include "data/Pack.h"

#include <gtest/gtest.h>

using namespace kip;
using namespace kip::test;

namespace {
std::array<quint8, PunchSlots> terminals(std::initializer_list<int> used)
{
    std::array<quint8, PunchSlots> t;
    t.fill(1);
    int i = 0;
    for (int v : used)
        t[i++] = quint8(v);
    return t;
}
} // namespace

TEST(InsererPointage, NewLine)
{
    PointVal pov;
    pov.POINTAGE_UTILISATEUR.fill(77); // whatever the buffer held before
    pov.POINTAGE_PROGRAMME.fill(77);
    pov.POINTAGE_ORIGINE.fill(77);
    pov.TERMINAL.fill(9);
    pov.MODIF = 1;
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Nouvelle, 1560, 4), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({1560}));
    EXPECT_EQ(pov.TERMINAL, terminals({4}));
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({}));
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, punchLine({}));
    EXPECT_EQ(pov.MODIF, 0);
}

TEST(InsererPointage, DuplicateLeavesTheLineAsItWas)
{
    PointVal pov = rawLine({hm(8, 0), hm(12, 0)});
    pov.TERMINAL = terminals({2, 3});
    pov.POINTAGE_PROGRAMME = punchLine({hm(8, 0), hm(12, 0)});
    pov.POINTAGE_UTILISATEUR = punchLine({hm(8, 0), hm(11, 0)}); // changed by a user, MODIF not yet set
    const QByteArray before = pack(pov);
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(12, 0), 5), ResultatInsertion::Doublon);
    EXPECT_EQ(pack(pov), before);

    // Only the minute counts: another terminal is still the same punch.
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(8, 0), 2), ResultatInsertion::Doublon);
    // Values that are no punch time are refused, -9999 included (it would match an empty slot).
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, PunchEmpty, 1), ResultatInsertion::HorsLimites);
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, 2880, 1), ResultatInsertion::HorsLimites);
    EXPECT_EQ(pack(pov), before);
}

TEST(InsererPointage, SortsAndKeepsTerminals)
{
    PointVal pov = rawLine({hm(8, 0), hm(17, 0)});
    pov.TERMINAL = terminals({2, 3});
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(12, 0), 7), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(12, 0), hm(17, 0)}));
    EXPECT_EQ(pov.TERMINAL, terminals({2, 7, 3}));
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(7, 0), 9), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(7, 0), hm(8, 0), hm(12, 0), hm(17, 0)}));
    EXPECT_EQ(pov.TERMINAL, terminals({9, 2, 7, 3}));
}

TEST(InsererPointage, PunchesTwoAndThreeMinutesApart)
{
    PointVal pov = rawLine({hm(8, 0)});
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(8, 2), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0)}));
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(8, 3), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(8, 3)}));

    // An earlier punch 2 minutes before a kept one takes its place; the gap is measured from the kept punch.
    pov = rawLine({hm(8, 0), hm(12, 0)});
    pov.TERMINAL = terminals({2, 3});
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(11, 58), 5), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(11, 58)}));
    EXPECT_EQ(pov.TERMINAL, terminals({2, 5}));

    // Between two punches 5 minutes apart: 2 after the first is dropped, 3 after drops the second.
    pov = rawLine({hm(8, 0), hm(8, 5)});
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(8, 2), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(8, 5)}));
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(8, 3), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(8, 3)}));
}

TEST(InsererPointage, FullLine)
{
    std::initializer_list<int> fourteen = {400, 460, 520, 580, 640, 700, 760, 820, 880, 940, 1000, 1060, 1120, 1180};
    PointVal pov = rawLine(fourteen);
    for (int i = 0; i < PunchSlotsUsed; ++i)
        pov.TERMINAL[i] = quint8(i + 1);
    pov.POINTAGE_PROGRAMME = pov.POINTAGE_ORIGINE;
    pov.POINTAGE_UTILISATEUR = pov.POINTAGE_ORIGINE;
    const PointVal full = pov;

    // A later punch is lost.
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, 1300, 16), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, full.POINTAGE_ORIGINE);
    EXPECT_EQ(pov.TERMINAL, full.TERMINAL);

    // An earlier punch enters and pushes out the latest.
    pov = full;
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, 300, 16), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE,
              punchLine({300, 400, 460, 520, 580, 640, 700, 760, 820, 880, 940, 1000, 1060, 1120}));
    EXPECT_EQ(pov.TERMINAL, terminals({16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    for (int i = PunchSlotsUsed; i < PunchSlots; ++i)
        EXPECT_EQ(pov.POINTAGE_ORIGINE[i], PunchEmpty);
}

TEST(InsererPointage, ModifComparesProgrammeAndUserBeforeTheMerge)
{
    PointVal pov = rawLine({hm(8, 0), hm(12, 0)});
    pov.POINTAGE_PROGRAMME = punchLine({hm(8, 0), hm(12, 0)});
    pov.POINTAGE_UTILISATEUR = punchLine({hm(8, 0), hm(12, 0)});
    pov.MODIF = 1; // stale: the lines agree
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(13, 0), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.MODIF, 0);
    // The programme line is emptied for recomputation, the user line is left alone.
    EXPECT_EQ(pov.POINTAGE_PROGRAMME, punchLine({}));
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, punchLine({hm(8, 0), hm(12, 0)}));

    pov.POINTAGE_PROGRAMME = punchLine({hm(8, 0), hm(12, 0), hm(13, 0)});
    pov.POINTAGE_UTILISATEUR = punchLine({hm(8, 0), hm(12, 0), hm(13, 30)});
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(17, 0), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.MODIF, 1);
    EXPECT_EQ(pov.POINTAGE_UTILISATEUR, punchLine({hm(8, 0), hm(12, 0), hm(13, 30)}));

    // Slots 15 to 20 play no part in the comparison.
    pov = rawLine({hm(8, 0)});
    pov.POINTAGE_UTILISATEUR[17] = 5;
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(9, 0), 1), ResultatInsertion::Insere);
    EXPECT_EQ(pov.MODIF, 0);
}

TEST(InsererPointage, RepairsAnIllFormedLine)
{
    // Holes, disorder and stray values beyond slot 14 as a line edited outside the system might hold.
    PointVal pov = rawLine({});
    pov.POINTAGE_ORIGINE[1] = hm(12, 0);
    pov.POINTAGE_ORIGINE[4] = hm(8, 0);
    pov.POINTAGE_ORIGINE[5] = hm(8, 1);
    pov.POINTAGE_ORIGINE[16] = 100;
    pov.TERMINAL[16] = 8;
    EXPECT_EQ(InsererPointage(pov, LigneJournee::Existante, hm(17, 0), 3), ResultatInsertion::Insere);
    EXPECT_EQ(pov.POINTAGE_ORIGINE, punchLine({hm(8, 0), hm(12, 0), hm(17, 0)}));
    EXPECT_EQ(pov.TERMINAL, terminals({1, 1, 3}));
}
