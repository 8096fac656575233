// kipgen's installations are what Kip would have written: employees the form accepts, day lines made by the
// punch rules, and a raw file whose transfer rejects one punch of each kind.
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "employees/ReglesFiche.h"
#include "kipgen/Generator.h"
#include "kipgen/Staff.h"
#include "punch/CalculerProgramme.h"
#include "punch/CalculerTotal.h"
#include "punch/PreparerJournee.h"
#include "punch/TransfertPointages.h"

#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kip;

namespace {

class GenerateurTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }

    gen::GenResult generate(int employees, int weeks, quint64 seed, qint64 dayLines)
    {
        gen::GenOptions o;
        o.dir = m_tmp.path() + QStringLiteral("/%1/Kip").arg(++m_count);
        o.employees = employees;
        o.weeks = weeks;
        o.seed = seed;
        o.today = Today;
        o.dayLines = dayLines;
        const gen::GenResult r = gen::generateInstallation(o);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        setPaths(Paths::forInstallation(o.dir));
        return r;
    }

    static constexpr qint32 Today = 82900; // a day number of 2027
    QTemporaryDir m_tmp;
    int m_count = 0;
};

} // namespace

TEST_F(GenerateurTest, DayLinesRecomputedByTheRulesFromTheirRawPunchesDoNotChange)
{
    generate(40, 2, 11, 40 * 150);
    Database db(paths().dataDir);
    RecordFile<Personnel> staffFile(db);
    RecordFile<PointVal> linesFile(db);
    ASSERT_TRUE(staffFile.open().ok());
    ASSERT_TRUE(linesFile.open().ok());
    QHash<qint16, Personnel> staff;
    {
        Cursor<Personnel> c = staffFile.readAll();
        Personnel p;
        while (c.next(p).ok())
            staff.insert(p.CARTE, p);
    }
    Cursor<PointVal> c = linesFile.readAll();
    PointVal line;
    int lines = 0, punched = 0, corrected = 0;
    while (c.next(line).ok()) {
        ++lines;
        const Personnel& p = staff[line.CARTE];
        PointVal again = line;
        CalculerProgramme(again, p);
        EXPECT_EQ(again.POINTAGE_PROGRAMME, line.POINTAGE_PROGRAMME) << line.CARTE << " " << line.DATE;
        CalculerTotal(again);
        EXPECT_EQ(again.POINTAGE_UTILISATEUR, line.POINTAGE_UTILISATEUR) << line.CARTE << " " << line.DATE;
        EXPECT_EQ(again.TOTAL, line.TOTAL) << line.CARTE << " " << line.DATE;
        // Raw punches as the merge leaves them; a day with punches is a day the employee is active.
        int previous = -3;
        for (int i = 0; i < PunchSlotsUsed && line.POINTAGE_ORIGINE[size_t(i)] >= 0; ++i) {
            EXPECT_GE(line.POINTAGE_ORIGINE[size_t(i)], previous + 3);
            previous = line.POINTAGE_ORIGINE[size_t(i)];
        }
        if (line.POINTAGE_ORIGINE[0] >= 0) {
            ++punched;
            EXPECT_FALSE(estInactif(p, line.DATE)) << line.CARTE << " " << line.DATE;
            EXPECT_EQ(line.INACTIF, 0);
            EXPECT_LE(p.PREMIER_POINTAGE, line.DATE);
        } else {
            EXPECT_EQ(line.INACTIF, estInactif(p, line.DATE) ? 1 : 0);
        }
        corrected += line.MODIF;
    }
    EXPECT_EQ(lines, 40 * 150);
    EXPECT_GT(punched, lines / 2);
    EXPECT_GT(corrected, 0); // some lines carry a user's correction, which the recomputation kept
}

TEST_F(GenerateurTest, TheDemoRejectsOnePunchOfEachKindAndNothingElse)
{
    // The demo's installation (scripts/demo), and a few other draws.
    for (quint64 seed : {7, 1, 2, 3}) {
        generate(60, 8, seed, 0);
        Database db(paths().dataDir);
        const ResultatSansSurveillance r = TransfertSansSurveillance(db, paths().dataDir, Today);
        ASSERT_TRUE(r.lecture.reussi());
        QStringList kinds;
        for (const QString& rejet : r.lecture.rejets)
            kinds << rejet.section(QLatin1Char(':'), 0, 0);
        kinds.sort();
        EXPECT_EQ(kinds,
                  (QStringList{QStringLiteral("Cet employé n'est pas considéré embauché"),
                               QStringLiteral("Numéro inconnu"), QStringLiteral("Pointage en période d'inactivité")}))
            << "seed " << seed << ": " << r.lecture.rejets.join(QLatin1Char('\n')).toStdString();
        EXPECT_GT(r.lecture.stockes, 1000);
    }
}

TEST_F(GenerateurTest, EveryEmployeeIsOneTheFormCouldHaveStored)
{
    for (quint64 seed : {7, 11}) {
        const std::vector<gen::Employee> staff = gen::makeStaff({2000, seed, Today, Today - 56, 4});
        for (const gen::Employee& e : staff) {
            const Personnel& p = e.record;
            // The form's checks, with the bounds that its rounding lists give tolerance and offset.
            const Refus r = verifierFiche(p, {bornesArrondi(p.ARRONDI_ENTREE), bornesArrondi(p.ARRONDI_SORTIE)});
            EXPECT_TRUE(r.accepte()) << p.CARTE << ": " << r.raison.toStdString();
            EXPECT_FALSE(p.MATRICULE.isEmpty()) << p.CARTE;
            EXPECT_EQ(p.AUTORISATION, nouvelEmploye(Today).AUTORISATION) << p.CARTE;
            // The periods in the order the form stores them.
            Personnel rangee = p;
            rangerPeriodes(rangee, periodesDe(p));
            EXPECT_EQ(rangee.PERIODE_INACTIVITE_FIN, p.PERIODE_INACTIVITE_FIN) << p.CARTE;
        }
    }
}
