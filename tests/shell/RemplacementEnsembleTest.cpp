// A set replaced as a whole: killed before any rename of the set, the next start leaves either the whole new
// set or the whole former one; a rename that fails puts the former set back, and when that fails too the
// result says which file holds what. The start removes what killed jobs left.
#include "shell/RemplacementEnsemble.h"

#include "QStringPrinter.h"
#include "shell/TravauxInterrompus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

namespace {

QByteArray lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

void ecrire(const QString& chemin, const QByteArray& contenu)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contenu);
}

class RemplacementEnsembleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(chemin(QString())).removeRecursively(); // SetUp also starts each trial afresh
        for (const char* d : {"Data", "SaveManu/EnCours"})
            QDir().mkpath(chemin(QString::fromLatin1(d)));
        // The former set: A, B and C; the new one: A, B and D, C gone, and lines ahead of the raw file.
        for (const char* n : {"A", "B", "C"})
            ecrire(cible(n), QByteArray("ancien ") + n);
        for (const char* n : {"A", "B", "D"})
            ecrire(chemin(QStringLiteral("SaveManu/EnCours/%1").arg(QLatin1String(n))), QByteArray("nouveau ") + n);
        ecrire(chemin(QStringLiteral("Data/Origin00.txt")), "courant\r\n");
        ecrire(chemin(QStringLiteral("Data/Origin00.txt.reprise")), "repris\r\n");
    }
    void TearDown() override { RemplacementEnsemble::setRenommage({}); }

    QString chemin(const QString& relatif) const { return m_tmp.path() + QStringLiteral("/Kip/") + relatif; }
    QString cible(const char* n) const { return chemin(QStringLiteral("SaveManu/%1").arg(QLatin1String(n))); }
    QString dataDir() const { return chemin(QStringLiteral("Data")); }

    RemplacementEnsemble ensemble() const
    {
        RemplacementEnsemble e(dataDir(), QStringLiteral("Essai"), QStringLiteral("L'essai"), true);
        for (const char* n : {"A", "B", "D"})
            e.remplacer(cible(n), chemin(QStringLiteral("SaveManu/EnCours/%1").arg(QLatin1String(n))));
        e.retirer(cible("C"));
        e.placerDevant(chemin(QStringLiteral("Data/Origin00.txt")),
                       chemin(QStringLiteral("Data/Origin00.txt.reprise")));
        return e;
    }

    // "nouveau", "ancien" or what is mixed, and whether any work file is left.
    QString etat() const
    {
        const QStringList nouveau{"nouveau A", "nouveau B", "<absent>", "nouveau D", "repris\r\ncourant\r\n"};
        const QStringList ancien{"ancien A", "ancien B", "ancien C", "<absent>", "courant\r\n"};
        QStringList present;
        for (const char* n : {"A", "B", "C", "D"})
            present << QString::fromLatin1(lire(cible(n)));
        present << QString::fromLatin1(lire(chemin(QStringLiteral("Data/Origin00.txt"))));
        QString e = present == nouveau  ? QStringLiteral("nouveau")
                    : present == ancien ? QStringLiteral("ancien")
                                        : present.join(u'|');
        const QStringList restes = QDir(cible("")).entryList({QStringLiteral("*.ancien")}, QDir::Files) +
                                   QDir(dataDir()).entryList({QStringLiteral("*.ensemble")}, QDir::Files);
        return restes.isEmpty() ? e : e + QStringLiteral(" + ") + restes.join(u',');
    }

    QTemporaryDir m_tmp;
};

} // namespace

TEST_F(RemplacementEnsembleTest, KilledAtEachRenameTheNextStartLeavesOneWholeSet)
{
    int renommages = 0;
    RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
        ++renommages;
        return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
    });
    ASSERT_TRUE(ensemble().executer().issue == RemplacementEnsemble::Issue::Termine);
    EXPECT_EQ(etat().toStdString(), "nouveau");
    ASSERT_GE(renommages, 6); // A, B and C aside, A, B and D into place
    for (int n = 1; n <= renommages; ++n) {
        SetUp();
        // The job dies at the n-th rename (not made), as under a kill.
        const pid_t fils = ::fork();
        if (fils == 0) {
            int compte = 0;
            RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
                if (++compte == n)
                    ::_exit(0);
                return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
            });
            (void)ensemble().executer();
            ::_exit(1);
        }
        int statut = 0;
        ASSERT_EQ(::waitpid(fils, &statut, 0), fils);
        ASSERT_EQ(WEXITSTATUS(statut), 0) << "the job ended before rename " << n;
        RemplacementEnsemble::setRenommage({});
        const RemplacementEnsemble::Reprise reprise = RemplacementEnsemble::reprendre(dataDir());
        ASSERT_EQ(reprise.textes.size(), 1);
        EXPECT_FALSE(reprise.donneesMelangees);
        // Every new version was written before the marker: the set is finished.
        EXPECT_EQ(etat().toStdString(), "nouveau") << "killed at rename " << n;
        EXPECT_TRUE(reprise.textes[0].startsWith(QStringLiteral("L'essai interrompue a été terminée")));
    }
    // A new version lost after the kill: the former set comes back whole.
    SetUp();
    const pid_t fils = ::fork();
    if (fils == 0) {
        RemplacementEnsemble::setRenommage([](const QString&, const QString&) -> int { ::_exit(0); });
        (void)ensemble().executer();
        ::_exit(1);
    }
    ASSERT_EQ(::waitpid(fils, nullptr, 0), fils);
    RemplacementEnsemble::setRenommage({});
    ASSERT_TRUE(QFile::remove(chemin(QStringLiteral("SaveManu/EnCours/B"))));
    const RemplacementEnsemble::Reprise reprise = RemplacementEnsemble::reprendre(dataDir());
    EXPECT_EQ(etat().toStdString(), "ancien");
    ASSERT_EQ(reprise.textes.size(), 1);
    EXPECT_TRUE(reprise.textes[0].contains(QStringLiteral("annulée"))) << reprise.textes[0].toStdString();
}

TEST_F(RemplacementEnsembleTest, AFailedRenamePutsTheFormerSetBackOrSaysWhichFileHoldsWhat)
{
    // The 4th rename fails: B is aside, A already new; both go back.
    int compte = 0;
    RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
        if (++compte == 4)
            return -1;
        return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
    });
    RemplacementEnsemble::Resultat r = ensemble().executer();
    EXPECT_EQ(r.issue, RemplacementEnsemble::Issue::Annule);
    EXPECT_FALSE(r.erreur.isEmpty());
    EXPECT_EQ(etat().toStdString(), "ancien");

    // Every rename from the 4th on fails, those of the put-back too: the result names what each file holds.
    SetUp();
    compte = 0;
    RemplacementEnsemble::setRenommage([&](const QString& de, const QString& vers) {
        if (++compte >= 4)
            return -1;
        return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
    });
    r = ensemble().executer();
    ASSERT_EQ(r.issue, RemplacementEnsemble::Issue::Mixte);
    EXPECT_EQ(r.nouveaux, QStringList{cible("A")});
    EXPECT_EQ(lire(cible("A")), "nouveau A");
    EXPECT_EQ(r.anciens, (QStringList{cible("D"), cible("C")}));
    EXPECT_EQ(r.absents, QStringList{cible("B")});
    EXPECT_EQ(lire(cible("C")), "ancien C");
    EXPECT_EQ(r.deplaces,
              (QStringList{cible("A") + QStringLiteral(".ancien"), cible("B") + QStringLiteral(".ancien")}));
    EXPECT_EQ(lire(cible("B") + QStringLiteral(".ancien")), "ancien B");
    EXPECT_EQ(lire(cible("B")), "<absent>");
    // The marker stays for the next start, which finishes the set once renames work again.
    RemplacementEnsemble::setRenommage({});
    EXPECT_TRUE(RemplacementEnsemble::donneesEnSuspens(dataDir()));
    const RemplacementEnsemble::Reprise reprise = RemplacementEnsemble::reprendre(dataDir());
    EXPECT_EQ(etat().toStdString(), "nouveau");
    EXPECT_FALSE(RemplacementEnsemble::donneesEnSuspens(dataDir()));
}

// What killed jobs leave is removed once the lock is held, and only what the system's jobs make: a purge's
// new file, copies being written, a restore's prepared files, a backup being made. While a set of data files
// cannot be settled, its files stay.
TEST_F(RemplacementEnsembleTest, TheStartRemovesTheLeftoversOfKilledJobsButNotWhatAnUnsettledSetNeeds)
{
    const Paths p = Paths::forInstallation(chemin(QString()));
    QDir().mkpath(p.saveAutoDir);
    QDir().mkpath(QDir(p.saveManuDir).filePath(QStringLiteral("AvantRestauration/2026-07-12_10-30-05.part")));
    QDir().mkpath(QDir(p.saveManuDir).filePath(QStringLiteral("AvantRestauration/2026-07-01_08-00-00")));
    const QStringList restes{QStringLiteral("Data/PointVal.tps.purge"),
                             QStringLiteral("Data/PointVal.tps.purge-journal"),
                             QStringLiteral("Data/Personne.tps.restauration"),
                             QStringLiteral("Data/Personne.tps.restauration.part"),
                             QStringLiteral("Data/Origin00.txt.reprise"),
                             QStringLiteral("Data/PointVal.tps.reconstruction"),
                             QStringLiteral("SaveManu/PointVal.tps.part"),
                             QStringLiteral("SaveAuto/Origin03.txt.part"),
                             QStringLiteral("SaveManu/SauvegardeEnCours/Parametr.tps"),
                             QStringLiteral("Data/Origin00.txt.999999999-3.tmp")};
    const QStringList gardes{QStringLiteral("Data/PointVal.tps"),
                             QStringLiteral("Data/Origin00.txt"),
                             QStringLiteral("Data/Origin00.txt.kipguard"),
                             QStringLiteral("Data/KipGuardAttente.txt"),
                             QStringLiteral("Data/PointVal.tps.endommage"),
                             QStringLiteral("SaveManu/PointVal.tps"),
                             QStringLiteral("SaveManu/AvantRestauration/2026-07-01_08-00-00/Parametr.tps"),
                             QStringLiteral("Data/KipGuard.txt.%1-0.tmp").arg(::getpid())};
    for (const QString& f : restes + gardes) {
        QDir().mkpath(QFileInfo(chemin(f)).absolutePath());
        ecrire(chemin(f), "x");
    }
    // A marker that cannot be read: nothing may be removed, and the program must not go on.
    ecrire(chemin(QStringLiteral("Data/Restauration.ensemble")), "illisible");
    ResultatTravauxInterrompus r = ReprendreTravauxInterrompus(p);
    EXPECT_TRUE(r.donneesMelangees);
    EXPECT_TRUE(r.supprimes.isEmpty());
    for (const QString& f : restes)
        EXPECT_TRUE(QFileInfo::exists(chemin(f))) << f.toStdString();

    ASSERT_TRUE(QFile::remove(chemin(QStringLiteral("Data/Restauration.ensemble"))));
    r = ReprendreTravauxInterrompus(p);
    EXPECT_FALSE(r.donneesMelangees);
    for (const QString& f : restes)
        EXPECT_FALSE(QFileInfo::exists(chemin(f))) << f.toStdString();
    for (const QString& f : gardes)
        EXPECT_TRUE(QFileInfo::exists(chemin(f))) << f.toStdString();
    EXPECT_FALSE(
        QFileInfo::exists(QDir(p.saveManuDir).filePath(QStringLiteral("AvantRestauration/2026-07-12_10-30-05.part"))));
}
