// Kip's own writes from its windows, killed and ended as real processes (PosteEssai.cpp drives the windows):
// - the correction grid's save, the employee form's change and the absence window's save of a selection,
//   killed with SIGKILL at random moments of the save and at each rename, unlink, sync and page write of it:
//   after the next start the week is saved whole or not at all, the employee with the day lines that follow
//   its name and its journal entry whole or not at all, the absences of the selection with their journal
//   entries all or none, compared with an uninterrupted run;
// - the end of the session (SIGTERM, SIGHUP) with the grid open and during the transfer, in Kip and in
//   kipempty: an orderly end every time (exit 0, crash marker cleared, reader resumed, the grid's edits kept
//   as its draft, the transfer whole or not begun), and the next run ends as an uninterrupted one.
// The figures (trials, failures, outcomes) go to standard output. --runs N sets the number of random trials,
// --all-calls kills at every call of the save instead of at most a dozen of each kind.
#include "../shell/ListenerLecteur.h"
#include "InstallationCrash.h"
#include "correction/BrouillonCorrection.h"
#include "data/Database.h"
#include "data/Journal.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/RecordsAbsences.h"
#include "punch/PreparerJournee.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <thread>

using namespace crash;
using namespace kip;

namespace {

constexpr int PointsParAppel = 12;

// The calls at which to kill, of the count a clean save makes: all of them, or evenly spread ones (the first
// and the last among them).
QList<int> pointsDeMort(int nombre)
{
    QList<int> points;
    if (g_tousLesAppels || nombre <= PointsParAppel) {
        for (int n = 1; n <= nombre; ++n)
            points << n;
        return points;
    }
    for (int i = 0; i < PointsParAppel; ++i)
        points << 1 + i * (nombre - 1) / (PointsParAppel - 1);
    return points;
}
constexpr int LimiteMs = 60000;

// Every record that the grid, the form and the absence window write: day lines, employees, absences, and the
// journal without its clock.
struct Donnees
{
    QMap<QPair<int, int>, QByteArray> lignes;
    QMap<int, QByteArray> employes;
    QList<QByteArray> absences;
    QList<QStringList> journal;
    bool operator==(const Donnees&) const = default;
};

Donnees donnees(const QString& dir)
{
    Donnees d;
    Database db(dir + QStringLiteral("/Data"));
    RecordFile<PointVal> lignes(db);
    RecordFile<Personnel> employes(db);
    RecordFile<Journal> journal(db);
    RecordFile<Absence> absences(db);
    EXPECT_TRUE(lignes.open().ok() && employes.open().ok() && journal.open().ok() && absences.open().ok());
    Cursor<PointVal> cl = lignes.readAll();
    for (PointVal v; cl.next(v).ok();)
        d.lignes.insert({v.CARTE, v.DATE}, pack(v));
    Cursor<Personnel> ce = employes.readAll();
    for (Personnel p; ce.next(p).ok();)
        d.employes.insert(p.CARTE, pack(p));
    Cursor<Absence> ca = absences.readAll();
    for (Absence a; ca.next(a).ok();)
        d.absences << pack(a);
    std::sort(d.absences.begin(), d.absences.end());
    Cursor<Journal> cj = journal.readAll();
    for (Journal j; cj.next(j).ok();)
        d.journal << QStringList{QString::number(j.CARTE), QString::number(j.JOUR), j.AVANT, j.APRES, j.CAUSE};
    return d;
}

// One run of Kip driven by PosteEssai.
class Poste
{
public:
    Poste(const QString& dir, const QStringList& arguments)
    {
        m_p.setWorkingDirectory(dir);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_p.setProcessEnvironment(env);
        m_p.start(QStringLiteral(KIP_POSTE_ESSAI), arguments);
        EXPECT_TRUE(m_p.waitForStarted(LimiteMs));
    }
    ~Poste()
    {
        if (m_p.state() != QProcess::NotRunning) {
            m_p.kill();
            m_p.waitForFinished(LimiteMs);
        }
    }
    pid_t pid() const { return pid_t(m_p.processId()); }
    bool attendre(const QByteArray& ligne)
    {
        QDeadlineTimer fin(LimiteMs);
        while (!m_sortie.contains(ligne + '\n')) {
            if (fin.hasExpired() || m_p.state() == QProcess::NotRunning) {
                ADD_FAILURE() << "no \"" << ligne.toStdString() << "\": " << m_sortie.toStdString()
                              << m_p.readAllStandardError().toStdString();
                return false;
            }
            m_p.waitForReadyRead(50);
            m_sortie += m_p.readAllStandardOutput();
        }
        return true;
    }
    bool finDans(int ms) { return m_p.state() == QProcess::NotRunning || m_p.waitForFinished(ms); }
    bool dit(const QByteArray& ligne)
    {
        m_sortie += m_p.readAllStandardOutput();
        return m_sortie.contains(ligne + '\n');
    }
    void ordre(const QByteArray& ligne)
    {
        m_p.write(ligne + '\n');
        m_p.waitForBytesWritten(LimiteMs);
    }
    // The end: true when it ended by itself with exit code 0.
    bool finPropre()
    {
        if (!m_p.waitForFinished(LimiteMs)) {
            ADD_FAILURE() << "did not end";
            return false;
        }
        return m_p.exitStatus() == QProcess::NormalExit && m_p.exitCode() == 0;
    }
    bool tue()
    {
        EXPECT_TRUE(finDans(LimiteMs));
        return m_p.exitStatus() == QProcess::CrashExit;
    }

private:
    QProcess m_p;
    QByteArray m_sortie;
};

// strace attached to a running process, killing it at the n-th call of one system call (or, with n = 0,
// writing every call of the list to a file).
class Strace
{
public:
    Strace(pid_t pid, const QString& appels, int n, const QString& journal = QStringLiteral("/dev/null"))
    {
        QStringList a{QStringLiteral("-f"),
                      QStringLiteral("-o"),
                      journal,
                      QStringLiteral("-e"),
                      QStringLiteral("trace=") + appels,
                      QStringLiteral("-p"),
                      QString::number(pid)};
        if (n > 0)
            a << QStringLiteral("-e") << QStringLiteral("inject=%1:signal=KILL:when=%2").arg(appels).arg(n);
        m_p.start(QStringLiteral("strace"), a);
        // Every thread attached ("Process N attached with M threads") before the save is asked for.
        QDeadlineTimer fin(LimiteMs);
        QByteArray texte;
        while (!texte.contains("attached") && !fin.hasExpired() && m_p.state() != QProcess::NotRunning) {
            m_p.waitForReadyRead(50);
            texte += m_p.readAllStandardError();
        }
        EXPECT_TRUE(texte.contains("attached")) << texte.toStdString();
    }
    ~Strace()
    {
        ::kill(pid_t(m_p.processId()), SIGINT); // detaches
        m_p.waitForFinished(LimiteMs);
    }

private:
    QProcess m_p;
};

const QStringList Appels{QStringLiteral("rename"),    QStringLiteral("unlink"),   QStringLiteral("fsync"),
                         QStringLiteral("fdatasync"), QStringLiteral("pwrite64"), QStringLiteral("ftruncate")};

struct Reference
{
    std::unique_ptr<QTemporaryDir> racine;
    QString sansBrut;    // transferred, nothing left to transfer: for the grid and the form
    QString avecBrut;    // raw punches waiting: for the transfer
    QByteArray suite;    // the end of the line the reader is writing in avecBrut
    Etat apresTransfert; // avecBrut after one uninterrupted run of kipempty
    qint64 transfertUs = 0;
    qint16 carte = 0; // an employee at work this week
};

Reference& reference()
{
    static Reference r;
    return r;
}

class FenetresCrashTest : public EssaiCrash
{
protected:
    static void SetUpTestSuite()
    {
        Reference& r = reference();
        if (r.racine)
            return;
        r.racine = std::make_unique<QTemporaryDir>(racineTemporaire() + QStringLiteral("/kip-fenetres-XXXXXX"));
        ASSERT_TRUE(r.racine->isValid());
        r.avecBrut = r.racine->path() + QStringLiteral("/avecBrut/Kip");
        r.suite = genererInstallation(r.avecBrut, 30, 3, 5);
        r.sansBrut = r.racine->path() + QStringLiteral("/sansBrut/Kip");
        ASSERT_TRUE(copier(r.avecBrut, r.sansBrut));
        const Execution passe = executer(r.sansBrut);
        ASSERT_EQ(passe.code, 0) << passe.erreurs.toStdString();
        r.apresTransfert = etat(r.sansBrut);
        r.transfertUs = passe.dureeUs - passe.debuts.value(Transfert);
        // The line the reader was writing goes: nothing is left to transfer.
        QFile(r.sansBrut + QStringLiteral("/Data/Origin00.txt")).resize(0);
        Database db(r.sansBrut + QStringLiteral("/Data"));
        RecordFile<Personnel> staff(db);
        ASSERT_TRUE(staff.open().ok());
        Cursor<Personnel> c = staff.readAll();
        for (Personnel p; c.next(p).ok() && r.carte == 0;)
            if (!estInactif(p, Clock::today()))
                r.carte = p.CARTE;
        ASSERT_NE(r.carte, 0);
    }

    void SetUp() override
    {
        EssaiCrash::SetUp();
        ASSERT_TRUE(reference().racine);
    }
    QString copie(const QString& de) { return EssaiCrash::copie(reference().racine->path(), de); }

    // The state after the next start (kipempty), which rolls a cut write back.
    Donnees apresDemarrage(const QString& dir)
    {
        const Execution ex = executer(dir);
        EXPECT_EQ(ex.code, 0) << ex.erreurs.toStdString();
        return donnees(dir);
    }

    // A save by the scenario, uninterrupted: the state before and after, the save's duration, and how many
    // times it calls each system call of Appels.
    struct Sauvegarde
    {
        Donnees avant, apres;
        qint64 dureeUs = 0;
        QMap<QString, int> appels;
    };
    Sauvegarde sauvegardeEntiere(const QStringList& scenario, const QByteArray& pret)
    {
        Sauvegarde s;
        const QString dir = copie(reference().sansBrut);
        s.avant = apresDemarrage(copie(reference().sansBrut));
        const QString journal = dir + QStringLiteral("-strace.log");
        {
            Poste p(dir, scenario);
            if (!p.attendre(pret))
                return s;
            {
                Strace st(p.pid(), Appels.join(QLatin1Char(',')), 0, journal);
                QElapsedTimer t;
                t.start();
                p.ordre("sauver");
                EXPECT_TRUE(p.attendre("sauve"));
                s.dureeUs = t.nsecsElapsed() / 1000;
            }
            p.ordre("quitter");
            EXPECT_TRUE(p.finPropre());
        }
        for (const QByteArray& l : lignesCompletes(lire(journal)))
            for (const QString& a : Appels)
                if (l.contains(' ' + a.toLatin1() + '(') || l.startsWith(a.toLatin1() + '('))
                    ++s.appels[a];
        s.apres = apresDemarrage(dir);
        EXPECT_FALSE(s.apres == s.avant) << "the save wrote nothing";
        return s;
    }

    // The kills of one scenario: at random moments of the save, then at each call of Appels.
    void tuerPendantLaSauvegarde(const QStringList& scenario, const QByteArray& pret, const char* titre)
    {
        const Sauvegarde ref = sauvegardeEntiere(scenario, pret);
        ASSERT_FALSE(HasFailure());
        int echecs = 0;
        auto juger = [&](const QString& dir, const QString& comment) {
            const Donnees d = apresDemarrage(dir);
            const QString issue = d == ref.apres   ? QStringLiteral("saved whole")
                                  : d == ref.avant ? QStringLiteral("not saved")
                                                   : QStringLiteral("MIXED");
            echecs += issue == QLatin1String("MIXED");
            EXPECT_NE(issue, QStringLiteral("MIXED")) << comment.toStdString();
            compter(issue + QStringLiteral(" (") + comment.section(QLatin1Char(' '), 0, 0) + QLatin1Char(')'));
        };
        for (int i = 0; i < g_runs && !HasFailure(); ++i) {
            const QString dir = copie(reference().sansBrut);
            {
                Poste p(dir, scenario);
                ASSERT_TRUE(p.attendre(pret));
                p.ordre("sauver");
                std::this_thread::sleep_for(std::chrono::microseconds(auHasard(ref.dureeUs * 3 / 2)));
                ::kill(p.pid(), SIGKILL);
                EXPECT_TRUE(p.tue());
            }
            juger(dir, QStringLiteral("random"));
        }
        for (auto it = ref.appels.cbegin(); it != ref.appels.cend() && !HasFailure(); ++it) {
            for (int n : pointsDeMort(it.value())) {
                if (HasFailure())
                    break;
                const QString dir = copie(reference().sansBrut);
                {
                    Poste p(dir, scenario);
                    ASSERT_TRUE(p.attendre(pret));
                    Strace st(p.pid(), it.key(), n);
                    p.ordre("sauver");
                    QDeadlineTimer fin(LimiteMs);
                    while (!p.dit("sauve") && !fin.hasExpired() && !p.finDans(5)) {
                    }
                    if (p.dit("sauve")) // that call came later this time (a draft flush, a thread): no kill
                        ::kill(p.pid(), SIGKILL);
                    EXPECT_TRUE(p.tue());
                }
                juger(dir, QStringLiteral("%1 #%2").arg(it.key()).arg(n));
            }
        }
        imprimer(QString::fromLatin1(titre), QStringLiteral(", %1 failures (mixed state)").arg(echecs));
    }
};

} // namespace

TEST_F(FenetresCrashTest, TheGridsSaveKilledLeavesTheWeekSavedWholeOrNotAtAll)
{
    tuerPendantLaSauvegarde({QStringLiteral("grille"), QString::number(reference().carte)}, "grille",
                            "kills during the correction grid's save");
}

TEST_F(FenetresCrashTest, TheEmployeeFormsChangeKilledLeavesItWithItsCascadeWholeOrNotAtAll)
{
    tuerPendantLaSauvegarde({QStringLiteral("fiche"), QString::number(reference().carte), QStringLiteral("RENOMME")},
                            "fiche", "kills during the employee form's change");
}

TEST_F(FenetresCrashTest, TheAbsenceWindowsSaveKilledLeavesTheSelectionSavedWholeOrNotAtAll)
{
    tuerPendantLaSauvegarde({QStringLiteral("absences")}, "absences", "kills during the absence window's save");
}

TEST_F(FenetresCrashTest, TheSessionsEndWithTheGridOpenKeepsTheWeekAsItsDraft)
{
    const Donnees avant = apresDemarrage(copie(reference().sansBrut));
    int essais = 0, echecs = 0;
    for (int i = 0; i < g_runs; ++i) {
        const int signal = i % 2 ? SIGHUP : SIGTERM;
        const QString dir = copie(reference().sansBrut);
        ListenerLecteur lecteur;
        bool propre = false;
        {
            Poste p(dir, {QStringLiteral("grille"), QString::number(reference().carte)});
            ASSERT_TRUE(p.attendre("grille"));
            ::kill(p.pid(), signal);
            propre = p.finPropre();
        }
        const std::optional<Brouillon> brouillon =
            brouillonDeTexte(lire(dir + QStringLiteral("/Data/BrouillonCorrection.txt")));
        const QList<int> messages = lecteur.numeros();
        const bool bon = propre && marqueur(dir) == 0 && brouillon && brouillon->carte == reference().carte &&
                         brouillon->jours[0] && brouillon->jours[0]->at(0).trimmed() == QStringLiteral("7.10") &&
                         !messages.isEmpty() && messages.first() == 1024 && messages.last() == 1025;
        EXPECT_TRUE(bon) << "signal " << signal << ": exit " << propre << ", marker " << marqueur(dir) << ", draft "
                         << lire(dir + QStringLiteral("/Data/BrouillonCorrection.txt")).toStdString() << ", reader "
                         << QStringList{QString::number(messages.value(0)), QString::number(messages.value(1))}
                                .join(' ')
                                .toStdString();
        // Nothing was saved behind the operator's back.
        EXPECT_TRUE(apresDemarrage(dir) == avant);
        ++essais;
        echecs += !bon;
    }
    std::printf("session end (SIGTERM, SIGHUP) with the grid open: %d trials, %d failures\n", essais, echecs);
}

TEST_F(FenetresCrashTest, TheSessionsEndDuringTheTransferIsAnOrderlyEnd)
{
    const Reference& r = reference();
    int echecs = 0;
    for (int i = 0; i < 2 * g_runs; ++i) {
        const bool kip = i % 2 == 0;
        const QString dir = copie(r.avecBrut);
        ListenerLecteur lecteur;
        bool propre = false;
        if (kip) {
            Poste p(dir, {QStringLiteral("transfert")});
            ASSERT_TRUE(p.attendre("transfert"));
            std::this_thread::sleep_for(std::chrono::microseconds(auHasard(r.transfertUs)));
            ::kill(p.pid(), SIGTERM);
            propre = p.finPropre();
        } else {
            const Execution ex = executerEtTuer(dir, Transfert, auHasard(r.transfertUs), SIGTERM);
            propre = !ex.tue && ex.code == 0;
        }
        const QList<int> messages = lecteur.numeros();
        const QString issue =
            QFile::exists(dir + QStringLiteral("/Data/Origin01.txt")) ? QStringLiteral("transfer whole, archived")
            : etat(dir) == r.apresTransfert ? QStringLiteral("punches committed, raw file kept for the next run")
                                            : QStringLiteral("transfer not begun or rolled back");
        const bool bon = propre && marqueur(dir) == 0 && !messages.isEmpty() && messages.last() == 1025;
        EXPECT_TRUE(bon) << (kip ? "Kip" : "kipempty") << ": exit " << propre << ", marker " << marqueur(dir);
        const Execution fin = executer(dir);
        EXPECT_EQ(fin.code, 0) << fin.erreurs.toStdString();
        const bool entier = etat(dir) == r.apresTransfert;
        EXPECT_TRUE(entier) << "day lines differ from an uninterrupted run";
        echecs += !(bon && entier);
        compter(QString::fromLatin1(kip ? "Kip: " : "kipempty: ") + issue);
    }
    imprimer(QStringLiteral("session end (SIGTERM) during the transfer"), QStringLiteral(", %1 failures").arg(echecs));
}

int main(int argc, char** argv)
{
    return lancerLesTests(argc, argv, "window crash test", 8);
}
