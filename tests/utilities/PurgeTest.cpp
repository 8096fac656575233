// The purge: the limit of 100 days, the week picked, the day lines deleted up to that week's Sunday, and a
// file that stays whole whatever happens.
#include "utilities/Purge.h"

#include "UtilitairesFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

namespace {

// Runs the purge in a child process that is killed at the given progress step; false when it did not die so.
bool purgeTueeA(const QString& dataDir, qint32 fin, int etape)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        (void)Purger(dataDir, fin, [etape](int fait, int) {
            if (fait == etape)
                ::raise(SIGKILL);
        });
        ::_exit(0);
    }
    QElapsedTimer attente;
    attente.start();
    int statut = 0;
    while (::waitpid(pid, &statut, WNOHANG) == 0) {
        if (attente.elapsed() > 60000) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &statut, 0);
            return false;
        }
        ::usleep(10000);
    }
    return WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL;
}

} // namespace

using PurgeTest = UtilitairesFixture;
using PurgeSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<UtilitairesFixture>;

TEST_F(PurgeTest, OpenedOnFifteenJune2004TheLimitIsTheWeekOfSevenMarch)
{
    const FinPurge limite = LimitePurge(dayNumber(2004, 6, 15));
    EXPECT_EQ(limite.semaine, (Semaine{10, 2004}));
    EXPECT_EQ(limite.dimanche, dayNumber(2004, 3, 7));
    EXPECT_EQ(TexteSemainePurge(limite.semaine), QStringLiteral("Sem.: 10/2004"));
    // A later week falls back to the limit; an earlier one is taken with its Sunday.
    EXPECT_EQ(FinPurgeChoisie({11, 2004}, limite), limite);
    EXPECT_EQ(FinPurgeChoisie({2, 2005}, limite), limite);
    EXPECT_EQ(FinPurgeChoisie({10, 2004}, limite), limite);
    const FinPurge septieme = FinPurgeChoisie({7, 2004}, limite);
    EXPECT_EQ(septieme.semaine, (Semaine{7, 2004}));
    EXPECT_EQ(septieme.dimanche, dayNumber(2004, 2, 15));
    EXPECT_EQ(TexteSemainePurge(septieme.semaine), QStringLiteral("Sem.: 07/2004"));
    // Across the turn of a year: 3 January 2005 is in week 1 of 2005, 100 days earlier in week 39 of 2004.
    EXPECT_EQ(LimitePurge(dayNumber(2005, 1, 3)).semaine, (Semaine{39, 2004}));
    EXPECT_EQ(LimitePurge(dayNumber(2005, 1, 3)).dimanche, dayNumber(2004, 9, 26));
}

TEST_P(PurgeSurLesDeuxMoteurs, LinesUpToTheSundayGoTheMondayAfterStaysAndNothingElseChanges)
{
    const qint32 dimanche = dayNumber(2004, 2, 15);
    employe(12, dayNumber(2004, 6, 1));
    employe(15, dayNumber(2004, 6, 1));
    journees(12, dimanche - 30, dimanche + 30);
    journees(15, dimanche - 2, dimanche + 1);
    const QMap<qint64, QByteArray> avant = lignes();
    const auto employesAvant = contenu<Personnel>(p().dataDir);
    db.reset(); // the fixture's connection is no window: nothing else has the file open

    const ResultatPurge r = Purger(p().dataDir, dimanche);
    ASSERT_EQ(r.etat, ResultatPurge::Etat::Faite) << r.erreur.description().toStdString();
    EXPECT_EQ(r.supprimees, 31 + 3);
    EXPECT_EQ(r.gardees, 30 + 1);
    // The kept lines are the very records they were: same position, same bytes, same row version.
    const QMap<qint64, QByteArray> apres = lignes();
    for (auto it = apres.begin(); it != apres.end(); ++it) {
        PointVal v;
        ASSERT_TRUE(unpack(it.value().left(PointVal::Size), v));
        EXPECT_GT(v.DATE, dimanche);
        EXPECT_EQ(avant.value(it.key()), it.value());
    }
    Database base(p().dataDir);
    RecordFile<PointVal> f(base);
    ASSERT_TRUE(f.open().ok());
    PointVal lundi;
    lundi.CARTE = 15;
    lundi.DATE = dimanche + 1;
    EXPECT_TRUE(f.get(lundi, POV_K_CARTE_DATE).ok());
    PointVal leDimanche = lundi;
    leDimanche.DATE = dimanche;
    EXPECT_EQ(f.get(leDimanche, POV_K_CARTE_DATE).code, NotFound);
    // Every key of the file is usable, and the employees keep their dates.
    if (!surServeur()) {
        EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), p().file(FileId::PointVal)).ok());
    }
    EXPECT_EQ(contenu<Personnel>(p().dataDir), employesAvant);
    EXPECT_FALSE(QFileInfo::exists(p().file(FileId::PointVal) + QStringLiteral(".purge")));
}

TEST_F(PurgeTest, TheFileShrinks)
{
    for (qint16 carte = 1; carte <= 20; ++carte) {
        employe(carte);
        journees(carte, dayNumber(2003, 1, 1), dayNumber(2004, 6, 1));
    }
    db.reset();
    const ResultatPurge r = Purger(p().dataDir, dayNumber(2004, 3, 7));
    ASSERT_EQ(r.etat, ResultatPurge::Etat::Faite);
    EXPECT_GT(r.supprimees, r.gardees);
    EXPECT_EQ(r.octetsApres, QFileInfo(p().file(FileId::PointVal)).size());
    EXPECT_LT(r.octetsApres, r.octetsAvant / 2);
}

TEST_P(PurgeSurLesDeuxMoteurs, AFileInUseIsRefusedAndNothingIsDeleted)
{
    employe(12);
    journees(12, dayNumber(2004, 1, 1), dayNumber(2004, 1, 31));
    const QMap<qint64, QByteArray> avant = lignes();
    {
        // The punch list of this program holds the day lines.
        FileUse listeOuverte(FileId::PointVal);
        EXPECT_EQ(Purger(p().dataDir, dayNumber(2004, 1, 20)).etat, ResultatPurge::Etat::Refusee);
    }
    {
        // Another connection writes to them.
        Transaction ecriture(*db, {FileId::PointVal});
        ASSERT_TRUE(ecriture.ok());
        EXPECT_EQ(Purger(p().dataDir, dayNumber(2004, 1, 20)).etat, ResultatPurge::Etat::Refusee);
    }
    EXPECT_EQ(lignes(), avant);
    EXPECT_EQ(Purger(p().dataDir, dayNumber(2004, 1, 20)).etat, ResultatPurge::Etat::Faite);
    EXPECT_EQ(lignes().size(), 11);
}

TEST_F(PurgeTest, APurgeKilledMidwayLeavesTheFileAsItWas)
{
    for (qint16 carte = 1; carte <= 5; ++carte) {
        employe(carte);
        journees(carte, dayNumber(2004, 1, 1), dayNumber(2004, 6, 1));
    }
    db.reset();
    const QMap<qint64, QByteArray> avant = lignes();
    const QString chemin = p().file(FileId::PointVal);
    // While the kept lines are copied, then while the keys are built.
    for (int etape : {20, 43}) {
        ASSERT_TRUE(purgeTueeA(p().dataDir, dayNumber(2004, 3, 7), etape)) << etape;
        EXPECT_EQ(lignes(), avant) << etape;
        EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), chemin).ok()) << etape;
    }
    // The next purge clears what the killed one left and does the work.
    const ResultatPurge r = Purger(p().dataDir, dayNumber(2004, 3, 7));
    ASSERT_EQ(r.etat, ResultatPurge::Etat::Faite);
    EXPECT_EQ(r.gardees, 5 * (dayNumber(2004, 6, 1) - dayNumber(2004, 3, 7)));
    EXPECT_FALSE(QFileInfo::exists(chemin + QStringLiteral(".purge")));
}

TEST_F(PurgeTest, TheJournalOfCorrectionsOutlivesThePurge)
{
    const qint32 dimanche = dayNumber(2004, 2, 15);
    employe(12, dayNumber(2004, 6, 1));
    journees(12, dimanche - 6, dimanche + 6);
    commonOpen(FileId::Journal);
    {
        Transaction t(*db, {FileId::Journal});
        Journal e;
        e.CARTE = 12;
        e.JOUR = dimanche - 3; // a day line that the purge deletes
        e.CAUSE = QString::fromUtf8(CauseJournal::CorrectionJournee);
        ASSERT_TRUE(ajouterAuJournal(t, e).ok());
        ASSERT_TRUE(t.commit().ok());
    }
    const auto avant = contenu<Journal>(p().dataDir);
    ASSERT_EQ(avant.size(), 1);
    db.reset();
    ASSERT_EQ(Purger(p().dataDir, dimanche).etat, ResultatPurge::Etat::Faite);
    // The entries stay as they were; the purge adds the one of the working-time balance it carries.
    const auto apres = contenu<Journal>(p().dataDir);
    EXPECT_EQ(apres.size(), 2);
    EXPECT_EQ(apres.first(), avant.first());
}

INSTANTIATE_TEST_SUITE_P(Moteurs, PurgeSurLesDeuxMoteurs, LesDeuxMoteurs);
