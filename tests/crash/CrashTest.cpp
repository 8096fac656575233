// kipempty killed with SIGKILL at random moments of the transfer, of the day initialisation and of the key
// rebuild that follows an unclean end, and at each rename, link, unlink and truncation of a run: once run
// again to its end, the day lines and punch dates are those of an uninterrupted run, and at every moment each
// raw line is in Origin00.txt or in an archive (the line the card reader is still writing at the end of
// Origin00.txt).
//
// test_crash --runs N makes N runs of random kills during the transfer (10 by default) and N / 2 during the
// day initialisation and during the key rebuild, and N / 2 (at least 3) during the transfer on a database server
// (KIP_TEST_PGHOST, skipped without it); --files N feeds N bad raw files to each of the three lots of the
// bad-input test (70 by default); --seed S replays a draw. The figures go to standard output.
#include "../ServeurEssai.h"
#include "InstallationCrash.h"
#include "data/ServerImport.h"
#include "data/TableDecl.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

using namespace crash;

namespace {

struct Reference
{
    std::unique_ptr<QTemporaryDir> racine;
    QString pristine;            // the generated installation, never run
    QByteArray suite;            // the end of the line being written
    QByteArray enCours;          // its start, at the end of Origin00.txt
    QList<QByteArray> lignes;    // the complete raw lines
    Etat apresUnePasse;          // after one uninterrupted run
    Etat apresLaFinDeLaLigne;    // after the line was finished and one more run
    Execution passe;             // the uninterrupted run, with its steps' times
    qint64 reconstructionUs = 0; // the key rebuild of a start after an unclean end
};

Reference& reference()
{
    static Reference r;
    return r;
}

class CrashTest : public EssaiCrash
{
protected:
    static void SetUpTestSuite()
    {
        Reference& r = reference();
        if (r.racine)
            return;
        r.racine = std::make_unique<QTemporaryDir>(racineTemporaire() + QStringLiteral("/kip-crash-XXXXXX"));
        ASSERT_TRUE(r.racine->isValid());
        r.pristine = r.racine->path() + QStringLiteral("/pristine/Kip");
        r.suite = genererInstallation(r.pristine, 15, 3, 7);
        r.lignes = lignesCompletes(lire(r.pristine + QStringLiteral("/Data/Origin00.txt")), &r.enCours);
        ASSERT_FALSE(r.enCours.isEmpty());
        const QString dir = r.racine->path() + QStringLiteral("/reference/Kip");
        ASSERT_TRUE(copier(r.pristine, dir));
        r.passe = executer(dir);
        ASSERT_EQ(r.passe.code, 0) << r.passe.erreurs.toStdString();
        ASSERT_TRUE(r.passe.erreurs.contains(QStringLiteral("Origin00.txt est archivé")))
            << r.passe.erreurs.toStdString();
        r.apresUnePasse = etat(dir);
        ajouter(dir + QStringLiteral("/Data/Origin00.txt"), r.suite);
        ASSERT_EQ(executer(dir).code, 0);
        r.apresLaFinDeLaLigne = etat(dir);
        ASSERT_FALSE(r.apresLaFinDeLaLigne == r.apresUnePasse) << "the finished line was not stored";
        // A start after an unclean end, the daily backup already taken: the key rebuild, then the pass.
        poserMarqueur(dir, 1);
        const Execution ex = executer(dir);
        ASSERT_TRUE(ex.debuts.contains(Reconstruction) && ex.debuts.contains(Initialisation));
        r.reconstructionUs = ex.debuts[Initialisation] - ex.debuts[Reconstruction];
        std::printf("reference run: %.0f ms (day initialisation from %.0f ms, transfer from %.0f ms); start after "
                    "an unclean end: %.0f ms of key rebuild\n",
                    r.passe.dureeUs / 1e3, r.passe.debuts.value(Initialisation) / 1e3,
                    r.passe.debuts.value(Transfert) / 1e3, r.reconstructionUs / 1e3);
    }

    void SetUp() override
    {
        EssaiCrash::SetUp();
        ASSERT_TRUE(reference().racine);
    }
    QString nouvelleCopie() { return copie(reference().racine->path(), reference().pristine); }

    // Every raw line is in Origin00.txt or an archive, and the line being written ends Origin00.txt.
    void verifierLignesBrutes(const QString& dir, const char* quand)
    {
        const QSet<QByteArray> presentes = lignesBrutes(dir);
        int perdues = 0;
        for (const QByteArray& l : reference().lignes)
            perdues += !presentes.contains(l);
        EXPECT_EQ(perdues, 0) << "raw lines out of every named file " << quand;
        EXPECT_TRUE(lire(dir + QStringLiteral("/Data/Origin00.txt")).endsWith(reference().enCours))
            << "the line being written is not at the end of Origin00.txt " << quand;
    }

    // What a kill left, for the figures.
    QString issue(const QString& dir, const Execution& ex)
    {
        if (!ex.tue)
            return QStringLiteral("ended before the kill");
        const QString etape = ex.derniereEtape.isEmpty() ? QStringLiteral("start-up") : ex.derniereEtape;
        if (QFile::exists(dir + QStringLiteral("/Data/Origin01.txt")))
            return etape + QStringLiteral(": archived");
        if (etat(dir).lignesPointees > 0)
            return etape + QStringLiteral(": punches committed, raw file not archived");
        return etape + QStringLiteral(": nothing of the transfer committed");
    }

    // Runs again to the end and compares with the uninterrupted run; with finir, also once the line being
    // written is complete.
    void verifierFin(const QString& dir, bool finir)
    {
        const Execution fin = executer(dir);
        EXPECT_EQ(fin.code, 0) << fin.erreurs.toStdString();
        verifierLignesBrutes(dir, "after the run to the end");
        EXPECT_EQ(marqueur(dir), 0);
        EXPECT_TRUE(etat(dir) == reference().apresUnePasse)
            << "day lines or punch dates differ from an uninterrupted run";
        if (!finir)
            return;
        ajouter(dir + QStringLiteral("/Data/Origin00.txt"), reference().suite);
        EXPECT_EQ(executer(dir).code, 0);
        EXPECT_TRUE(etat(dir) == reference().apresLaFinDeLaLigne) << "the finished line was not stored as it should";
    }

    // Runs on fresh copies, each killed at a random moment of a step that lasts about duree, then run again
    // to the end (every third one also once the line being written is complete).
    void tuerAuHasard(const QString& etape, qint64 duree, int fois)
    {
        for (int i = 0; i < fois && !HasFailure(); ++i) {
            const QString dir = nouvelleCopie();
            const Execution ex = executerEtTuer(dir, etape, auHasard(duree));
            compter(issue(dir, ex));
            verifierLignesBrutes(dir, "after the kill");
            verifierFin(dir, i % 3 == 0);
        }
    }
};

// The records of an installation moved onto a database of the test's own, which Data/Base.txt then names. The
// SQLite files leave Data, so that a run still reading them would fail.
bool surLeServeur(const QString& dir, const serveuressai::BaseEssai& base)
{
    const QString data = dir + QStringLiteral("/Data");
    std::vector<kip::CompteTable> comptes;
    const kip::FileError e = kip::copierFichiersVersServeur(data, base.conninfo(), false, &comptes);
    EXPECT_TRUE(e.ok()) << e.description().toStdString();
    for (const kip::TableDecl* table : kip::allTables())
        QFile::remove(QDir(data).filePath(table->fileName));
    QFile f(QDir(data).filePath(QLatin1String(kip::BaseFileName)));
    const QByteArray ligne = base.conninfo().toUtf8() + '\n';
    return e.ok() && f.open(QIODevice::WriteOnly) && f.write(ligne) == ligne.size() && f.flush();
}

Etat etatServeur(const serveuressai::BaseEssai& base)
{
    kip::setStoreServer(base.conninfo());
    const Etat e = etatDe(QString());
    kip::setStoreServer(QString());
    kip::ServerConnection::closePool(base.conninfo());
    return e;
}

} // namespace

TEST_F(CrashTest, KilledAtRandomMomentsOfTheTransferOnTheServer)
{
    if (serveuressai::socketServeur().isEmpty())
        GTEST_SKIP() << "KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)";
    // The uninterrupted run on the server stores the same day lines as on the files.
    Etat attendu;
    qint64 transfert = 0;
    {
        serveuressai::BaseEssai base;
        ASSERT_EQ(base.erreur(), QString());
        const QString dir = nouvelleCopie();
        ASSERT_TRUE(surLeServeur(dir, base));
        const Execution passe = executer(dir);
        ASSERT_EQ(passe.code, 0) << passe.erreurs.toStdString();
        ASSERT_TRUE(passe.debuts.contains(Transfert) && QFile::exists(dir + QStringLiteral("/Data/Origin01.txt")))
            << passe.erreurs.toStdString();
        attendu = etatServeur(base);
        EXPECT_TRUE(attendu == reference().apresUnePasse) << "day lines on the server differ from those on the files";
        transfert = passe.dureeUs - passe.debuts.value(Transfert);
    }
    for (int i = 0; i < std::max(3, g_runs / 2) && !HasFailure(); ++i) {
        serveuressai::BaseEssai base;
        ASSERT_EQ(base.erreur(), QString());
        const QString dir = nouvelleCopie();
        ASSERT_TRUE(surLeServeur(dir, base));
        const Execution ex = executerEtTuer(dir, Transfert, auHasard(transfert));
        verifierLignesBrutes(dir, "after the kill");
        // The raw file is archived only once its punches are committed.
        const bool archive = QFile::exists(dir + QStringLiteral("/Data/Origin01.txt"));
        const bool stocke = etatServeur(base) == attendu;
        EXPECT_TRUE(stocke || !archive) << "raw file archived before its punches were stored";
        const QString etape = ex.derniereEtape.isEmpty() ? QStringLiteral("start-up") : ex.derniereEtape;
        compter(!ex.tue   ? QStringLiteral("ended before the kill")
                : archive ? etape + QStringLiteral(": archived")
                : stocke  ? etape + QStringLiteral(": punches committed, raw file not archived")
                          : etape + QStringLiteral(": nothing of the transfer committed"));
        const Execution fin = executer(dir);
        EXPECT_EQ(fin.code, 0) << fin.erreurs.toStdString();
        verifierLignesBrutes(dir, "after the run to the end");
        EXPECT_TRUE(etatServeur(base) == attendu) << "day lines or punch dates differ from an uninterrupted run";
        if (i == 0) {
            // The line the card reader was writing, once complete, is stored by the next run.
            ajouter(dir + QStringLiteral("/Data/Origin00.txt"), reference().suite);
            EXPECT_EQ(executer(dir).code, 0);
            EXPECT_TRUE(etatServeur(base) == reference().apresLaFinDeLaLigne)
                << "the finished line was not stored as it should";
        }
    }
    imprimer("random kills during the transfer, on the server");
}

TEST_F(CrashTest, KilledAtRandomMomentsOfTheTransfer)
{
    const Reference& r = reference();
    tuerAuHasard(Transfert, r.passe.dureeUs - r.passe.debuts.value(Transfert), g_runs);
    imprimer("random kills during the transfer");
}

TEST_F(CrashTest, KilledAtRandomMomentsOfTheDayInitialisation)
{
    const Reference& r = reference();
    tuerAuHasard(Initialisation, r.passe.debuts.value(Transfert) - r.passe.debuts.value(Initialisation),
                 std::max(5, g_runs / 2));
    imprimer("random kills during the day initialisation");
}

TEST_F(CrashTest, KilledAtRandomMomentsOfTheKeyRebuildAfterAnUncleanEnd)
{
    const Reference& r = reference();
    const qint64 transfert = r.passe.dureeUs - r.passe.debuts.value(Transfert);
    for (int i = 0; i < std::max(5, g_runs / 2); ++i) {
        const QString dir = nouvelleCopie();
        // A first run killed during its transfer (or, when the kill came too late, an unclean end all the same).
        const Execution premier = executerEtTuer(dir, Transfert, auHasard(transfert / 2));
        verifierLignesBrutes(dir, "after the first kill");
        if (!premier.tue) {
            poserMarqueur(dir, 1);
        } else if (marqueur(dir) == 0) {
            // Killed on its way out, after its clean end (a busy machine runs faster or slower than the
            // reference run): the marker may be cleared only once the run is whole.
            EXPECT_TRUE(etat(dir) == reference().apresUnePasse) << "crash marker cleared before the run was whole";
            poserMarqueur(dir, 1);
        }
        EXPECT_EQ(marqueur(dir), 1);
        const Execution ex = executerEtTuer(dir, Reconstruction, auHasard(r.reconstructionUs));
        compter(issue(dir, ex));
        verifierLignesBrutes(dir, "after the kill in the rebuild");
        verifierFin(dir, false);
    }
    imprimer("random kills during the key rebuild that follows an unclean end");
}

TEST_F(CrashTest, KilledAtEachRenameLinkUnlinkAndTruncation)
{
    const QStringList appels{QStringLiteral("rename"),   QStringLiteral("renameat"), QStringLiteral("renameat2"),
                             QStringLiteral("link"),     QStringLiteral("linkat"),   QStringLiteral("unlink"),
                             QStringLiteral("unlinkat"), QStringLiteral("truncate"), QStringLiteral("ftruncate")};
    const QMap<QString, int> nombres = compterAppels(nouvelleCopie(), appels);
    ASSERT_GT(nombres.value(QStringLiteral("linkat")) + nombres.value(QStringLiteral("link")), 0)
        << "no link: did the run archive?";
    int points = 0;
    for (auto it = nombres.cbegin(); it != nombres.cend(); ++it) {
        for (int n = 1; n <= it.value(); ++n) {
            ++points;
            const QString dir = nouvelleCopie();
            const Execution ex = executerSousStrace(dir, it.key(), n);
            EXPECT_TRUE(ex.tue) << it.key().toStdString() << " #" << n << " did not kill the run:\n"
                                << ex.erreurs.toStdString();
            compter(issue(dir, ex) + QStringLiteral(" (") + it.key() + QStringLiteral(")"));
            verifierLignesBrutes(dir, "after the kill");
            verifierFin(dir, false);
            if (HasFailure()) {
                ADD_FAILURE() << "at call #" << n << " of " << it.key().toStdString();
                return;
            }
        }
    }
    imprimer(QStringLiteral("kills at each file operation of a run (%1 points)").arg(points));
}

int main(int argc, char** argv)
{
    return lancerLesTests(argc, argv, "crash test", 10);
}
