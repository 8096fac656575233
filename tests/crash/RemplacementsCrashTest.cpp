// The restore (kiptool restore) and the manual backup killed with SIGKILL at random moments and at each rename:
// after the next start (kipempty), the data are those of an installation where the restore never ran or where
// it ran whole, SaveManu holds the former backup or the new one, never a mix, and no raw punch line is lost.
// The figures (trials, new set, former set, mixed, lost lines) go to standard output.
#include "InstallationCrash.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "shell/Sauvegarde.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

using namespace crash;

namespace {

// A backup directory as a set: the records of its record files and the bytes of its text files.
struct Copie
{
    Etat etat;
    QMap<QString, QByteArray> textes;
    bool operator==(const Copie& o) const { return etat == o.etat && textes == o.textes; }
};

Copie copieDe(const QString& dir)
{
    Copie c;
    c.etat = etatDe(dir);
    for (const QString& nom : QDir(dir).entryList({QStringLiteral("*.txt")}, QDir::Files))
        c.textes.insert(nom, lire(QDir(dir).filePath(nom)));
    return c;
}

struct Reperes
{
    std::unique_ptr<QTemporaryDir> racine;
    QString pristine;         // a backup in SaveManu, then a run that changed the data
    QList<QByteArray> lignes; // every complete raw line of the installation
    Etat sansRestauration;    // the next start's result when the restore did not happen
    Etat apresRestauration;   // and when it happened whole
    Copie saveManuAvant;      // the backup made first
    Copie saveManuApres;      // the backup of the changed data
    Execution restauration;   // an uninterrupted restore, with its steps' times
    Execution sauvegarde;     // an uninterrupted backup
};

Reperes& reperes()
{
    static Reperes r;
    return r;
}

QString kiptool()
{
    return QStringLiteral(KIP_KIPTOOL);
}

QString sauvegarde()
{
    return QStringLiteral(KIP_SAUVEGARDE);
}

const QStringList Restaurer{QStringLiteral("restore"), QStringLiteral("--from"), QStringLiteral("SaveManu")};
const QString EtapeCopie = QStringLiteral("Restauration 2/6"); // after the reader's pause

class RemplacementsCrashTest : public EssaiCrash
{
protected:
    static void SetUpTestSuite()
    {
        Reperes& r = reperes();
        if (r.racine)
            return;
        r.racine = std::make_unique<QTemporaryDir>(racineTemporaire() + QStringLiteral("/kip-ensembles-XXXXXX"));
        ASSERT_TRUE(r.racine->isValid());
        r.pristine = r.racine->path() + QStringLiteral("/pristine/Kip");
        (void)genererInstallation(r.pristine, 40, 6, 17);
        const kip::Paths p = kip::Paths::forInstallation(r.pristine);
        ASSERT_TRUE(kip::SauvegarderDans(p, p.saveManuDir).reussie());
        r.saveManuAvant = copieDe(p.saveManuDir);
        // The transfer since the backup: the data differ from it, and its punches lie in an archive.
        ASSERT_EQ(executer(r.pristine).code, 0);
        ASSERT_TRUE(QFile::exists(p.origin(1)));
        {
            // An employee deleted since: what the restore brings back, which no transfer would.
            kip::Database db(p.dataDir);
            kip::RecordFile<kip::Personnel> staff(db);
            kip::Personnel e;
            ASSERT_TRUE(staff.open().ok() && staff.first(e).ok());
            ASSERT_TRUE(staff.remove(e).ok());
        }
        for (const QByteArray& l : lignesBrutes(r.pristine))
            r.lignes << l;

        const QString sans = r.racine->path() + QStringLiteral("/sans/Kip");
        ASSERT_TRUE(copier(r.pristine, sans));
        ASSERT_EQ(executer(sans).code, 0);
        r.sansRestauration = etat(sans);

        const QString avec = r.racine->path() + QStringLiteral("/avec/Kip");
        ASSERT_TRUE(copier(r.pristine, avec));
        r.restauration = lancer(avec, kiptool(), Restaurer, {}, 0);
        ASSERT_EQ(r.restauration.code, 0) << r.restauration.erreurs.toStdString();
        ASSERT_TRUE(r.restauration.erreurs.contains(QStringLiteral("seront repris")))
            << r.restauration.erreurs.toStdString();
        ASSERT_EQ(executer(avec).code, 0);
        r.apresRestauration = etat(avec);
        ASSERT_FALSE(r.apresRestauration == r.sansRestauration) << "the restore changed nothing";

        const QString sauve = r.racine->path() + QStringLiteral("/sauve/Kip");
        ASSERT_TRUE(copier(r.pristine, sauve));
        r.sauvegarde = lancer(sauve, sauvegarde(), {}, {}, 0);
        ASSERT_EQ(r.sauvegarde.code, 0) << r.sauvegarde.erreurs.toStdString();
        r.saveManuApres = copieDe(kip::Paths::forInstallation(sauve).saveManuDir);
        ASSERT_FALSE(r.saveManuApres == r.saveManuAvant) << "the backup changed nothing";
        std::printf("reference restore: %.0f ms (from its copy step %.0f ms); reference manual backup: %.0f ms\n",
                    r.restauration.dureeUs / 1e3, r.restauration.debuts.value(EtapeCopie) / 1e3,
                    r.sauvegarde.dureeUs / 1e3);
    }

    void SetUp() override
    {
        EssaiCrash::SetUp();
        ASSERT_TRUE(reperes().racine);
    }
    QString nouvelleCopie() { return copie(reperes().racine->path(), reperes().pristine); }

    // The next start, then what the data and SaveManu hold; the raw lines no file holds any more are counted.
    void verifier(const QString& dir, const Execution& ex, const QString& quand)
    {
        const Execution suivant = executer(dir);
        EXPECT_EQ(suivant.code, 0) << suivant.erreurs.toStdString();
        const Reperes& r = reperes();
        const Etat e = etat(dir);
        const Copie s = copieDe(kip::Paths::forInstallation(dir).saveManuDir);
        QString issue = e == r.apresRestauration  ? QStringLiteral("restored")
                        : e == r.sansRestauration ? QStringLiteral("as before")
                                                  : QStringLiteral("MIXED DATA");
        issue += s == r.saveManuApres   ? QStringLiteral(", new backup")
                 : s == r.saveManuAvant ? QStringLiteral(", former backup")
                                        : QStringLiteral(", MIXED BACKUP");
        EXPECT_FALSE(issue.contains(QStringLiteral("MIXED"))) << quand.toStdString() << ": " << issue.toStdString();
        const QSet<QByteArray> presentes = lignesBrutes(dir);
        int perdues = 0;
        for (const QByteArray& l : r.lignes)
            perdues += !presentes.contains(l);
        EXPECT_EQ(perdues, 0) << quand.toStdString();
        m_perdues += perdues;
        compter((ex.tue ? QString() : QStringLiteral("ended before the kill: ")) + issue);
        EXPECT_FALSE(QDir(dir + QStringLiteral("/Data")).entryList({QStringLiteral("*.ensemble")}).size())
            << "a marker outlived the next start";
    }

    void tuerAuHasard(const QString& programme, const QStringList& arguments, const QString& etape, qint64 duree)
    {
        for (int i = 0; i < g_runs && !HasFailure(); ++i) {
            const QString dir = nouvelleCopie();
            const qint64 delai = auHasard(duree);
            verifier(dir, lancer(dir, programme, arguments, etape, delai),
                     QStringLiteral("kill after %1 us").arg(delai));
        }
    }

    void tuerAChaqueRenommage(const QString& programme, const QStringList& arguments)
    {
        const QStringList appels{QStringLiteral("rename"), QStringLiteral("renameat"), QStringLiteral("renameat2")};
        const QMap<QString, int> nombres = compterAppels(nouvelleCopie(), appels, programme, arguments);
        for (auto it = nombres.cbegin(); it != nombres.cend() && !HasFailure(); ++it) {
            for (int n = 1; n <= it.value() && !HasFailure(); ++n) {
                const QString dir = nouvelleCopie();
                const Execution ex = executerSousStrace(dir, it.key(), n, programme, arguments);
                EXPECT_TRUE(ex.tue) << it.key().toStdString() << " #" << n << " did not kill the run";
                verifier(dir, ex, QStringLiteral("%1 #%2").arg(it.key()).arg(n));
            }
        }
    }

    QString pertes() const { return QStringLiteral(", %1 raw lines lost").arg(m_perdues); }
    int m_perdues = 0;
};

} // namespace

TEST_F(RemplacementsCrashTest, TheRestoreKilledAtRandomMomentsIsFinishedOrUndone)
{
    const Execution& ref = reperes().restauration;
    tuerAuHasard(kiptool(), Restaurer, EtapeCopie, ref.dureeUs - ref.debuts.value(EtapeCopie));
    imprimer(QStringLiteral("random kills during the restore"), pertes());
}

TEST_F(RemplacementsCrashTest, TheRestoreKilledAtEachRenameIsFinishedOrUndone)
{
    tuerAChaqueRenommage(kiptool(), Restaurer);
    imprimer(QStringLiteral("kills at each rename of the restore"), pertes());
}

TEST_F(RemplacementsCrashTest, TheManualBackupKilledAtRandomMomentsLeavesOneWholeSet)
{
    const Execution& ref = reperes().sauvegarde;
    tuerAuHasard(sauvegarde(), {}, SauvegardeManuelle, ref.dureeUs - ref.debuts.value(SauvegardeManuelle));
    imprimer(QStringLiteral("random kills during the manual backup"), pertes());
}

TEST_F(RemplacementsCrashTest, TheManualBackupKilledAtEachRenameLeavesOneWholeSet)
{
    tuerAChaqueRenommage(sauvegarde(), {});
    imprimer(QStringLiteral("kills at each rename of the manual backup"), pertes());
}
