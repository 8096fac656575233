// Properties of the punch rules over many random punch sequences and employee rules (fixed seeds): the raw
// and programme lines keep their invariants after every merge, a punch merged twice changes nothing, and a
// raw file transferred twice leaves every day line as it was.
#include "PunchTestHelpers.h"
#include "punch/ReglesPointage.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

using namespace kip;
using namespace kip::test;

namespace {
using Rng = std::mt19937;

int uniform(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}
bool chance(Rng& rng, int percent)
{
    return uniform(rng, 1, 100) <= percent;
}

QString pick(Rng& rng, const QStringList& list)
{
    return list[uniform(rng, 0, int(list.size()) - 1)];
}

// Mostly the values the employee form allows; now and then what a record edited elsewhere might hold.
Personnel randomEmployee(Rng& rng)
{
    static const QStringList oddCodes{"07", "99", "-5", "1", "ab", ""};
    Personnel per = employee();
    per.ARRONDI_ENTREE = chance(rng, 90) ? pick(rng, roundingCodes()) : pick(rng, oddCodes);
    per.ARRONDI_SORTIE = chance(rng, 90) ? pick(rng, roundingCodes()) : pick(rng, oddCodes);
    per.TOLERANCE_ENTREE = quint8(chance(rng, 90) ? uniform(rng, 0, 15) : uniform(rng, 0, 255));
    per.TOLERANCE_SORTIE = quint8(chance(rng, 90) ? uniform(rng, 0, 15) : uniform(rng, 0, 255));
    per.DECALAGE_ENTREE = quint8(chance(rng, 90) ? uniform(rng, 0, 59) : uniform(rng, 0, 255));
    per.DECALAGE_SORTIE = quint8(chance(rng, 90) ? uniform(rng, 0, 59) : uniform(rng, 0, 255));
    per.DECALAGE_MINUIT = qint16(chance(rng, 50) ? 0 : uniform(rng, 0, 720));
    per.EXTENSION = qint16(chance(rng, 30) ? 0 : uniform(rng, 0, 840));
    return per;
}

// Punch times that cluster now and then, so that the 3-minute rule and duplicates come up often.
int randomValue(Rng& rng, const PunchLine& raw)
{
    const int filled = int(std::count_if(raw.begin(), raw.end(), [](qint16 v) { return v >= 0; }));
    if (filled > 0 && chance(rng, 40))
        return std::clamp(raw[uniform(rng, 0, filled - 1)] + uniform(rng, -4, 4), 0, 2879);
    if (chance(rng, 15)) // near the end of the range, where rounding up meets the 2879 clamp
        return uniform(rng, 2790, 2879);
    return chance(rng, 70) ? uniform(rng, 300, 1439) : uniform(rng, 0, 2879);
}

std::vector<int> punchesOf(const PunchLine& line)
{
    std::vector<int> out;
    for (int i = 0; i < PunchSlotsUsed && line[i] >= 0; ++i)
        out.push_back(line[i]);
    return out;
}

void expectRawInvariants(const PointVal& pov)
{
    int n = 0;
    while (n < PunchSlotsUsed && pov.POINTAGE_ORIGINE[n] >= 0)
        ++n;
    ASSERT_GE(n, 1);
    for (int i = n; i < PunchSlots; ++i) {
        ASSERT_EQ(pov.POINTAGE_ORIGINE[i], PunchEmpty) << "hole or stray punch in slot " << i + 1;
        ASSERT_EQ(pov.TERMINAL[i], 1);
    }
    for (int i = 1; i < n; ++i)
        ASSERT_GE(pov.POINTAGE_ORIGINE[i], pov.POINTAGE_ORIGINE[i - 1] + 3) << "slot " << i + 1;
    ASSERT_LE(pov.POINTAGE_ORIGINE[n - 1], 2879);
}

void expectProgrammeInvariants(const PointVal& pov)
{
    const size_t n = punchesOf(pov.POINTAGE_ORIGINE).size();
    int prev = -1;
    for (size_t i = 0; i < n; ++i) {
        const int p = pov.POINTAGE_PROGRAMME[i];
        ASSERT_GT(p, prev) << "slot " << i + 1;
        ASSERT_LE(p, 2879) << "slot " << i + 1;
        prev = p;
    }
    for (size_t i = n; i < PunchSlots; ++i)
        ASSERT_EQ(pov.POINTAGE_PROGRAMME[i], PunchEmpty);
}

// What the merge of v may do to the punches before: add v, drop v when a kept punch lies less than 3 minutes
// before it, drop punches less than 3 minutes after v, and lose the latest punches beyond the fourteenth.
void expectMergeOutcome(const std::vector<int>& before, int v, const std::vector<int>& after)
{
    const std::set<int> old(before.begin(), before.end());
    const std::set<int> now(after.begin(), after.end());
    const bool full = now.size() == size_t(PunchSlotsUsed);
    const int latest = *now.rbegin();
    for (int x : now)
        ASSERT_TRUE(old.count(x) || x == v) << "punch " << x << " from nowhere";
    if (!now.count(v)) {
        const bool shadowed = std::any_of(now.begin(), now.end(), [v](int x) { return x < v && x > v - 3; });
        ASSERT_TRUE(shadowed || (full && v > latest)) << "punch " << v << " lost";
    }
    for (int x : old) {
        if (now.count(x))
            continue;
        ASSERT_TRUE((now.count(v) && x > v && x < v + 3) || (full && x > latest)) << "punch " << x << " lost";
    }
}

// Rules 2 to 4 as the transfer applies them.
ResultatInsertion store(PointVal& pov, LigneJournee etat, const Personnel& per, int value, quint8 terminal)
{
    const ResultatInsertion r = InsererPointage(pov, etat, qint16(value), terminal);
    if (r == ResultatInsertion::Insere) {
        CalculerProgramme(pov, per);
        CalculerTotal(pov);
    }
    return r;
}

bool sameLine(const PointVal& a, const PointVal& b)
{
    return a.POINTAGE_ORIGINE == b.POINTAGE_ORIGINE && a.TERMINAL == b.TERMINAL &&
           a.POINTAGE_PROGRAMME == b.POINTAGE_PROGRAMME && a.POINTAGE_UTILISATEUR == b.POINTAGE_UTILISATEUR &&
           a.TOTAL == b.TOTAL && a.MODIF == b.MODIF;
}

// A correction as the grid makes it: one punch of the user line moved within its neighbours.
void userCorrects(Rng& rng, PointVal& pov)
{
    const std::vector<int> u = punchesOf(pov.POINTAGE_UTILISATEUR);
    if (u.empty())
        return;
    const int i = uniform(rng, 0, int(u.size()) - 1);
    const int low = i == 0 ? 0 : u[i - 1] + 1;
    const int high = i + 1 == int(u.size()) ? 2879 : u[i + 1] - 1;
    pov.POINTAGE_UTILISATEUR[i] = qint16(uniform(rng, low, std::max(low, high)));
    pov.MODIF = pov.POINTAGE_UTILISATEUR != pov.POINTAGE_PROGRAMME ? 1 : 0;
    pov.TOTAL = qint16(totalPaires(pov.POINTAGE_UTILISATEUR));
}
} // namespace

class ReglesPointageProperty : public ::testing::TestWithParam<unsigned>
{
};

TEST_P(ReglesPointageProperty, MergeKeepsTheLinesSound)
{
    Rng rng(GetParam());
    for (int round = 0; round < 400; ++round) {
        const Personnel per = randomEmployee(rng);
        PointVal pov;
        int value = randomValue(rng, punchLine({}));
        ASSERT_EQ(store(pov, LigneJournee::Nouvelle, per, value, quint8(uniform(rng, 1, 16))),
                  ResultatInsertion::Insere);
        const int count = uniform(rng, 1, 40);
        for (int k = 0; k < count; ++k) {
            SCOPED_TRACE(testing::Message() << "round " << round << " punch " << k);
            if (chance(rng, 10))
                userCorrects(rng, pov);
            const PointVal before = pov;
            value = randomValue(rng, pov.POINTAGE_ORIGINE);
            const quint8 terminal = quint8(uniform(rng, 1, 16));
            const ResultatInsertion r = store(pov, LigneJournee::Existante, per, value, terminal);
            const bool wasThere = before.POINTAGE_ORIGINE.end() !=
                                  std::find(before.POINTAGE_ORIGINE.begin(), before.POINTAGE_ORIGINE.end(), value);
            ASSERT_EQ(r, wasThere ? ResultatInsertion::Doublon : ResultatInsertion::Insere);
            if (r == ResultatInsertion::Doublon) {
                ASSERT_TRUE(sameLine(pov, before));
                continue;
            }
            ASSERT_NO_FATAL_FAILURE(expectRawInvariants(pov));
            ASSERT_NO_FATAL_FAILURE(
                expectMergeOutcome(punchesOf(before.POINTAGE_ORIGINE), value, punchesOf(pov.POINTAGE_ORIGINE)));
            ASSERT_NO_FATAL_FAILURE(expectProgrammeInvariants(pov));
            const bool userChanged =
                !std::equal(before.POINTAGE_PROGRAMME.begin(), before.POINTAGE_PROGRAMME.begin() + PunchSlotsUsed,
                            before.POINTAGE_UTILISATEUR.begin());
            ASSERT_EQ(pov.MODIF, userChanged ? 1 : 0);
            const PunchLine& expectedUser = userChanged ? before.POINTAGE_UTILISATEUR : pov.POINTAGE_PROGRAMME;
            ASSERT_EQ(pov.POINTAGE_UTILISATEUR, expectedUser);
            ASSERT_EQ(pov.TOTAL, totalPaires(pov.POINTAGE_UTILISATEUR));
            for (int i = 0; i < PunchSlotsUsed && pov.POINTAGE_ORIGINE[i] >= 0; ++i) {
                if (pov.POINTAGE_ORIGINE[i] == value) {
                    ASSERT_EQ(pov.TERMINAL[i], terminal);
                }
            }

            // The same punch a second time changes nothing.
            const PointVal once = pov;
            const ResultatInsertion again = store(pov, LigneJournee::Existante, per, value, terminal);
            if (std::find(once.POINTAGE_ORIGINE.begin(), once.POINTAGE_ORIGINE.end(), value) !=
                once.POINTAGE_ORIGINE.end()) {
                ASSERT_EQ(again, ResultatInsertion::Doublon);
            }
            ASSERT_TRUE(sameLine(pov, once));
        }
    }
}

TEST_P(ReglesPointageProperty, TransferringTheSamePunchesTwiceChangesNoLine)
{
    Rng rng(GetParam());
    for (int round = 0; round < 150; ++round) {
        const Personnel per = randomEmployee(rng);
        // Punches of a few consecutive days in time order, as the card reader writes them.
        std::vector<std::pair<qint32, int>> punches;
        for (qint32 date = 74000; date < 74006; ++date) {
            int minute = uniform(rng, 0, 200);
            while (minute < 1440) {
                punches.emplace_back(date, minute);
                minute += chance(rng, 20) ? uniform(rng, 0, 4) : uniform(rng, 5, 400);
            }
        }
        std::map<qint32, PointVal> lines;
        JourneePrecedenteFonction file([&lines](qint16, qint32 date, PointVal& out) {
            const auto it = lines.find(date);
            if (it == lines.end())
                return false;
            out = it->second;
            return true;
        });
        auto transfer = [&](int& written) {
            for (const auto& [date, minute] : punches) {
                const ChoixJournee choix = ChoisirJournee(per, date, minute, file);
                ASSERT_EQ(choix.date, choix.veille ? date - 1 : date);
                ASSERT_EQ(choix.valeur, choix.veille ? minute + 1440 : minute);
                const auto it = lines.find(choix.date);
                PointVal pov = it == lines.end() ? PointVal{} : it->second;
                const LigneJournee etat = it == lines.end() ? LigneJournee::Nouvelle : LigneJournee::Existante;
                if (store(pov, etat, per, choix.valeur, 1) == ResultatInsertion::Insere) {
                    lines[choix.date] = pov;
                    ++written;
                }
            }
        };
        int written = 0;
        ASSERT_NO_FATAL_FAILURE(transfer(written));
        ASSERT_GT(written, 0);
        const std::map<qint32, PointVal> first = lines;
        written = 0;
        ASSERT_NO_FATAL_FAILURE(transfer(written));
        ASSERT_EQ(lines.size(), first.size());
        for (const auto& [date, pov] : lines)
            ASSERT_TRUE(sameLine(pov, first.at(date))) << "round " << round << " date " << date;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ReglesPointageProperty, ::testing::Values(1u, 7u, 2024u, 987654321u));
