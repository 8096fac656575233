// The day lines of one employee after the form stored it: from 90 days back to the end of its lines, on its
// active days only, with the inactivity flag of existing lines set or cleared.
#include "employees/PreparationEmploye.h"

#include "InstallationTest.h"
#include "calendar/Dates.h"
#include "data/Transaction.h"
#include "employees/ReglesFiche.h"

#include <QCoreApplication>
#include <QSignalSpy>

using namespace kip;

namespace {
class PreparationEmployeTest : public InstallationTest
{
};
} // namespace

TEST_F(PreparationEmployeTest, NewEmployeeGetsLinesFromNinetyDaysBackToSundayOnActiveDays)
{
    Personnel p = employe(12, QStringLiteral("MARTIN"));
    p.DATE_EMBAUCHE = today - 60;
    p.PERIODE_INACTIVITE_DEBUT[0] = today - 20;
    p.PERIODE_INACTIVITE_FIN[0] = today - 11;
    p = ajouter(p);
    const PreparationJournees r = preparerJourneesEmploye(*base, p, today);
    ASSERT_TRUE(r.erreur.ok());
    const qint32 dimanche = LundiDimanche(today).dimanche;
    EXPECT_EQ(r.premier, today - 90);
    EXPECT_EQ(r.dernier, dimanche);
    QList<qint32> attendues;
    for (qint32 d = today - 60; d <= dimanche; ++d)
        if (d < today - 20 || d > today - 11)
            attendues << d;
    EXPECT_EQ(journees(12).keys(), attendues);
    // A second run finds everything in place.
    const QMap<qint32, int> avant = journees(12);
    ASSERT_TRUE(preparerJourneesEmploye(*base, p, today).erreur.ok());
    EXPECT_EQ(journees(12), avant);
}

TEST_F(PreparationEmployeTest, ChangedPeriodsReachTheLinesUpToTheLastOne)
{
    Personnel p = ajouter(employe(12, QStringLiteral("MARTIN")));
    const qint32 derniere = today + 20;
    ajouterJournee(p, derniere);
    ajouterJournee(p, today - 3);
    ajouterJournee(p, today - 200); // before the 90 days: never touched
    p.PERIODE_INACTIVITE_DEBUT[0] = today - 200;
    p.PERIODE_INACTIVITE_FIN[0] = today - 2;
    const PreparationJournees r = preparerJourneesEmploye(*base, p, today);
    ASSERT_TRUE(r.erreur.ok());
    EXPECT_EQ(r.dernier, derniere);
    const QMap<qint32, int> lignes = journees(12);
    EXPECT_EQ(lignes.value(today - 3), 1);     // now inactive, kept
    EXPECT_EQ(lignes.value(today - 200), 0);   // out of the period
    EXPECT_FALSE(lignes.contains(today - 10)); // inactive: no new line
    EXPECT_TRUE(lignes.contains(today - 1));
    EXPECT_TRUE(lignes.contains(derniere - 1));
    EXPECT_FALSE(lignes.contains(derniere + 1));
    EXPECT_EQ(lignes.size(), 2 + (derniere - (today - 1) + 1));
}

TEST_F(PreparationEmployeTest, WorkerReportsOnItsOwnThread)
{
    int argc = 1;
    char nom[] = "test_employees";
    char* argv[] = {nom, nullptr};
    QCoreApplication app(argc, argv);
    const Personnel p = ajouter(employe(12, QStringLiteral("MARTIN")));
    TachePreparation tache;
    QSignalSpy termine(&tache, &Tache::terminee);
    tache.lancer(paths().dataDir, p, today);
    ASSERT_TRUE(termine.wait(10000));
    EXPECT_EQ(tache.resultat(), QString());
    EXPECT_EQ(journees(12).size(), 91 + (LundiDimanche(today).dimanche - today));

    // A file that stays locked: the preparation gives up with the error and writes nothing.
    Personnel q = ajouter(employe(13, QStringLiteral("DURAND")));
    {
        Database autre(paths().dataDir);
        Transaction tenue(autre, {FileId::PointVal});
        ASSERT_TRUE(tenue.ok());
        tache.lancer(paths().dataDir, q, today);
        ASSERT_TRUE(termine.wait(15000));
    }
    EXPECT_FALSE(tache.resultat().isEmpty());
    EXPECT_TRUE(journees(13).isEmpty());
}
