// What the crash and bad-input tests share: generated installations on a memory file system (a kill does
// not need a disk to prove anything, and fsync costs nothing there), kipempty started and killed, and the
// state that must come out of every run the same.
#pragma once

#include "../shell/Processus.h"

#include <QByteArray>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <chrono>
#include <csignal>
#include <random>

namespace crash {

// Bad raw files fed to kipempty by each lot of the bad-input test (test_crash --files N).
inline int g_fichiersParLot = 70;
// Random kills of each test (--runs N, or KIP_CRASH_RUNS for the test run of CI), and the seed of their draw
// (--seed S).
inline int g_runs = 10;
inline quint64 g_seed = 0;
// --all-calls: a kill at every call of a save, not at most a dozen of each kind.
inline bool g_tousLesAppels = false;

// The main of the crash programs: the options above read, the seed printed, the tests run.
int lancerLesTests(int argc, char** argv, const char* programme, int runs);

// A directory for installations: under /dev/shm when there is one.
QString racineTemporaire();

// A generated installation (kipgen) whose raw file the transfer takes whole: the punches it would reject are
// taken out, so that every clean run ends with the archive. Its last line is still being written: the bytes
// that complete it are returned.
QByteArray genererInstallation(const QString& installDir, int employes, int semaines, quint64 graine);

// Copies a whole installation.
bool copier(const QString& from, const QString& to);
QByteArray lire(const QString& path);
void ajouter(const QString& path, const QByteArray& octets);

// What a run leaves that must not depend on where it was killed: every day line (all its fields) and every
// employee's first and last punch dates.
struct Etat
{
    QMap<QPair<int, int>, QByteArray> lignes;
    QMap<int, QPair<qint32, qint32>> dates;
    int lignesPointees = 0; // lines that hold punches
    bool operator==(const Etat& o) const { return lignes == o.lignes && dates == o.dates; }
};
Etat etat(const QString& installDir);
// The crash marker (ONO:TEST), -1 when it cannot be read.
int marqueur(const QString& installDir);
void poserMarqueur(const QString& installDir, int valeur);

// The complete lines of Origin00.txt to Origin10.txt.
QSet<QByteArray> lignesBrutes(const QString& installDir);
// The complete lines of one raw file, and its incomplete end.
QList<QByteArray> lignesCompletes(const QByteArray& contenu, QByteArray* reste = nullptr);

QString kipempty();

// kipempty run in an installation, killed when asked. The environment leaves it headless.
struct Execution
{
    bool tue = false;             // ended by the kill
    int code = -1;                // exit code when it ended by itself
    QString derniereEtape;        // the last step it announced before it ended
    QString erreurs;              // standard error
    qint64 dureeUs = 0;           // from the start to the end
    QMap<QString, qint64> debuts; // when each step was first announced, in microseconds from the start
};
// Runs a program in the installation, killed with SIGKILL (or sent another signal) delaiUs after the first line
// of standard error that starts with etape (never when etape is empty).
Execution lancer(const QString& installDir, const QString& programme, const QStringList& arguments,
                 const QString& etape, qint64 delaiUs, int signal = SIGKILL);
// Runs to the end (a hang or a crash fails the test).
Execution executer(const QString& installDir);
// Kills the run with SIGKILL (or sends it another signal) delaiUs after the first line of standard error that
// starts with etape.
Execution executerEtTuer(const QString& installDir, const QString& etape, qint64 delaiUs, int signal = SIGKILL);
// Runs kipempty (or another program of the installation) under strace, which kills it at the n-th call of the
// system call appel.
Execution executerSousStrace(const QString& installDir, const QString& appel, int n,
                             const QString& programme = kipempty(), const QStringList& arguments = {});
// How many times a clean run calls each of the given system calls.
QMap<QString, int> compterAppels(const QString& installDir, const QStringList& appels,
                                 const QString& programme = kipempty(), const QStringList& arguments = {});
// The day lines and punch dates of the record files of a directory (Data or a backup).
Etat etatDe(const QString& dir);

// What the crash tests share: a draw seeded by --seed and the test's name, fresh copies of a reference
// installation, and the outcome of every trial, counted and printed with the test's figures.
class EssaiCrash : public ::testing::Test
{
protected:
    void SetUp() override;
    qint64 auHasard(qint64 jusqua);
    // A fresh copy of the installation de, under racine.
    static QString copie(const QString& racine, const QString& de);
    void compter(const QString& issue) { ++m_issues[issue]; }
    // The title, the number of trials and what follows it, then the trials of each outcome.
    void imprimer(const QString& titre, const QString& suite = {}) const;

    std::mt19937_64 m_alea;
    QMap<QString, int> m_issues;
};

// The steps kipempty announces on standard error.
inline const QString Reconstruction = QStringLiteral("Reconstruction des index");
inline const QString Initialisation = QStringLiteral("Initialisation des journées");
inline const QString Transfert = QStringLiteral("Transfert des pointages");
// The steps of kiptool restore and of the manual backup's driver.
inline const QString Restauration = QStringLiteral("Restauration ");
inline const QString SauvegardeManuelle = QStringLiteral("Sauvegarde manuelle");

} // namespace crash
