// The day initialisation: a day line for every active day of the sliding period, inactivity kept in step.
#include "punch/InitialiserJournees.h"

#include "InstallationTest.h"
#include "calendar/Dates.h"
#include "punch/PreparerJournee.h"

using namespace kip;

namespace {

class InitialiserJourneesTest : public InstallationTest
{
protected:
    void init() { ASSERT_TRUE(InitialiserJournees(*base, today).erreur.ok()); }

    void updateEmployee(qint16 carte, void (*change)(Personnel&))
    {
        RecordFile<Personnel> file(*base);
        EXPECT_TRUE(file.open().ok());
        Personnel p = *employeLu(carte);
        change(p);
        ASSERT_EQ(file.put(p), NoError);
    }

    void setPunch(qint16 carte, qint32 date, int value)
    {
        RecordFile<PointVal> file(*base);
        EXPECT_TRUE(file.open().ok());
        PointVal v = *lire(carte, date);
        v.POINTAGE_ORIGINE[0] = qint16(value);
        v.TOTAL = 99;
        ASSERT_EQ(file.put(v), NoError);
    }
};

using InitialiserJourneesSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<InitialiserJourneesTest>;

} // namespace

TEST_F(InitialiserJourneesTest, PeriodRunsFromTheMondayNinetyDaysBackToThisSunday)
{
    const PeriodeInitialisation p = periodeInitialisation(today);
    EXPECT_EQ(p.premier, LundiDimanche(today - 90).lundi);
    EXPECT_EQ(p.dernier, dayNumber(2026, 12, 13));
    EXPECT_EQ((p.dernier - p.premier + 1) / 7, 14);
    const qint32 sunday = dayNumber(2026, 12, 13);
    const PeriodeInitialisation s = periodeInitialisation(sunday);
    EXPECT_EQ(s.dernier, sunday);
    EXPECT_EQ((s.dernier - s.premier + 1) / 7, 13);
}

TEST_P(InitialiserJourneesSurLesDeuxMoteurs, ActiveDaysGetEmptyLinesAndInactiveDaysNone)
{
    ajouter(12, QStringLiteral("MARTIN"));
    ajouter(13, QStringLiteral("NOUVEAU"), [](Personnel& p) { p.DATE_EMBAUCHE = Clock::today(); });
    ajouter(14, QStringLiteral("PARTI"), [](Personnel& p) { p.DATE_DEBAUCHE = Clock::today() - 30; });
    init();
    const PeriodeInitialisation per = periodeInitialisation(today);
    int lines12 = 0;
    for (qint32 d = per.premier; d <= per.dernier; ++d)
        lines12 += lire(12, d).has_value();
    EXPECT_EQ(lines12, per.dernier - per.premier + 1);
    const PointVal v = *lire(12, per.premier);
    EXPECT_EQ(v.NOM, QStringLiteral("MARTIN"));
    EXPECT_EQ(v.INACTIF, 0);
    EXPECT_EQ(v.TOTAL, 0);
    EXPECT_EQ(v.TERMINAL[19], 1);
    EXPECT_EQ(v.POINTAGE_UTILISATEUR[0], PunchEmpty);
    EXPECT_EQ(v.NUM_SEMAINE, NumeroSemaine(per.premier).numero);
    // Hired today: from today to the coming Sunday only.
    EXPECT_FALSE(lire(13, today - 1).has_value());
    for (qint32 d = today; d <= per.dernier; ++d)
        EXPECT_TRUE(lire(13, d).has_value());
    // Left a month ago: nothing after the leaving date.
    EXPECT_TRUE(lire(14, today - 30).has_value());
    EXPECT_FALSE(lire(14, today - 29).has_value());
    // A second run on an up-to-date file writes nothing.
    const auto before = contenu<PointVal>();
    init();
    EXPECT_EQ(contenu<PointVal>(), before);
}

TEST_P(InitialiserJourneesSurLesDeuxMoteurs, InactivityFlipsTheFlagAndKeepsThePunches)
{
    ajouter(12, QStringLiteral("MARTIN"));
    init();
    const qint32 start = today - 40;
    setPunch(12, start + 1, 480);
    const qint32 old = LundiDimanche(today - 90).lundi - 3; // before the period
    {
        RecordFile<PointVal> file(*base);
        EXPECT_TRUE(file.open().ok());
        PointVal v = ligneVide(*employeLu(12), old);
        ASSERT_EQ(file.add(v), NoError);
    }
    updateEmployee(12, [](Personnel& p) {
        p.PERIODE_INACTIVITE_DEBUT[2] = Clock::today() - 40;
        p.PERIODE_INACTIVITE_FIN[2] = Clock::today() - 35;
        p.PERIODE_INACTIVITE_DEBUT[9] = Clock::today() - 200;
        p.PERIODE_INACTIVITE_FIN[9] = Clock::today() - 100; // covers the line before the period
    });
    init();
    for (qint32 d = start; d <= start + 5; ++d)
        EXPECT_EQ(lire(12, d)->INACTIF, 1) << d;
    EXPECT_EQ(lire(12, start - 1)->INACTIF, 0);
    EXPECT_EQ(lire(12, start + 1)->POINTAGE_ORIGINE[0], 480);
    EXPECT_EQ(lire(12, start + 1)->TOTAL, 99);
    EXPECT_EQ(lire(12, old)->INACTIF, 0); // older than the period: never changed

    updateEmployee(12, [](Personnel& p) {
        p.PERIODE_INACTIVITE_DEBUT.fill(0);
        p.PERIODE_INACTIVITE_FIN.fill(0);
    });
    init();
    for (qint32 d = start; d <= start + 5; ++d)
        EXPECT_EQ(lire(12, d)->INACTIF, 0) << d;
    EXPECT_EQ(lire(12, start + 1)->POINTAGE_ORIGINE[0], 480);
}

TEST_P(InitialiserJourneesSurLesDeuxMoteurs, InactivityWinsOverHiringDatesAndLeavingMakesLinesInactive)
{
    ajouter(12, QStringLiteral("MARTIN"));
    init();
    updateEmployee(12, [](Personnel& p) { p.DATE_DEBAUCHE = Clock::today() - 10; });
    init();
    EXPECT_EQ(lire(12, today - 10)->INACTIF, 0);
    EXPECT_EQ(lire(12, today - 9)->INACTIF, 1);
    Personnel p = *employeLu(12);
    p.DATE_DEBAUCHE = dayNumber(2099, 1, 1);
    p.PERIODE_INACTIVITE_DEBUT[0] = today;
    p.PERIODE_INACTIVITE_FIN[0] = today;
    EXPECT_TRUE(estInactif(p, today));
    EXPECT_FALSE(estInactif(p, today + 1));
    p.DATE_EMBAUCHE = today + 5;
    EXPECT_TRUE(estInactif(p, today + 1));
    // PreparerJournee on one day does what the period preparation does.
    RecordFile<PointVal> file(*base);
    EXPECT_TRUE(file.open().ok());
    EXPECT_EQ(PreparerJournee(file, p, today - 9), NoError);
    EXPECT_EQ(lire(12, today - 9)->INACTIF, 1); // before the new hiring date
}

INSTANTIATE_TEST_SUITE_P(Moteurs, InitialiserJourneesSurLesDeuxMoteurs, LesDeuxMoteurs);
