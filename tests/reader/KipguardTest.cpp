// kipguard as it runs beside Kip: a real process, its serial reader a pseudo-terminal, its socket a name of
// the test's own. Kip's side is played by the link the programs use and by kipempty on an installation
// made by kipgen. Every wait has a deadline: a process that hangs fails the test.
#include "../shell/Processus.h"
#include "Installation.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "kipgen/Generator.h"
#include "kipgen/Staff.h"
#include "punch/PreparerJournee.h"
#include "reader/ServeurMessages.h"
#include "shell/LecteurCartes.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int DelaiMs = 30000;

// A pseudo-terminal standing in for the serial line of a reader: the test writes what the reader would send.
class Pty
{
public:
    Pty()
    {
        char nom[128] = {};
        if (::openpty(&m_maitre, &m_esclave, nom, nullptr, nullptr) != 0)
            return;
        termios t;
        ::tcgetattr(m_esclave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_esclave, TCSANOW, &t);
        m_nom = QString::fromLocal8Bit(nom);
    }
    ~Pty()
    {
        ::close(m_maitre);
        ::close(m_esclave);
    }
    QString nom() const { return m_nom; }
    void glisser(const QByteArray& octets) const
    {
        ASSERT_EQ(::write(m_maitre, octets.constData(), size_t(octets.size())), octets.size());
    }

private:
    int m_maitre = -1;
    int m_esclave = -1;
    QString m_nom;
};

// Waits for a condition, polling; false when the deadline passes first.
bool attendre(const std::function<bool()>& condition, int ms = DelaiMs)
{
    QDeadlineTimer fin(ms);
    while (!condition()) {
        if (fin.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// One run of kipguard, its journal gathered as it comes.
class Kipguard
{
public:
    void demarrer(const QString& installation, const QStringList& arguments, bool enMarche = true)
    {
        m_processus.setProcessEnvironment(environnementSansAffichage());
        m_processus.setWorkingDirectory(installation);
        m_processus.start(QStringLiteral(KIP_KIPGUARD), arguments);
        ASSERT_TRUE(m_processus.waitForStarted(DelaiMs));
        if (enMarche) {
            ASSERT_TRUE(attendreJournal(QStringLiteral("En marche"))) << journal().toStdString();
        }
    }
    ~Kipguard()
    {
        if (m_processus.state() != QProcess::NotRunning) {
            m_processus.kill();
            m_processus.waitForFinished(DelaiMs);
        }
    }
    QString journal()
    {
        m_journal += m_processus.readAllStandardError();
        return QString::fromUtf8(m_journal);
    }
    int compte(const QString& texte) { return int(journal().count(texte)); }
    bool attendreJournal(const QString& texte, int fois = 1)
    {
        return attendre([&] {
            m_processus.waitForReadyRead(10);
            return compte(texte) >= fois;
        });
    }
    // Waits for the end; the exit code, -1 for a crash or a hang.
    int fin()
    {
        if (!m_processus.waitForFinished(DelaiMs) || m_processus.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_processus.exitCode();
    }
    // What is typed on its standard input, then the input's end.
    void taper(const QByteArray& texte)
    {
        m_processus.write(texte);
        m_processus.closeWriteChannel();
    }
    void tuer()
    {
        ::kill(pid_t(m_processus.processId()), SIGKILL);
        ASSERT_TRUE(m_processus.waitForFinished(DelaiMs));
    }

private:
    QProcess m_processus;
    QByteArray m_journal;
};

class KipguardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        static std::atomic<int> serie{0};
        qputenv("KIP_LECTEUR_SOCKET", QByteArray("kip-lecteur-kipguard-") + QByteArray::number(::getpid()) + '-' +
                                          QByteArray::number(++serie));
        m_dir = m_tmp.filePath(QStringLiteral("Kip"));
        gen::GenOptions o;
        o.dir = m_dir;
        o.employees = 8;
        o.weeks = 1;
        o.seed = 11;
        o.rawLines = 0;
        const gen::GenResult r = gen::generateInstallation(o);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        m_chemins = Paths::forInstallation(m_dir);
        ASSERT_FALSE(m_port1.nom().isEmpty());
        QFile::remove(m_chemins.origin(0));
    }
    void TearDown() override
    {
        QFile::remove(ServeurMessages::cheminVerrou(LecteurCartes::nomSocket()));
        qunsetenv("KIP_LECTEUR_SOCKET");
    }

    void demarrer(Kipguard& k, QStringList autres = {})
    {
        k.demarrer(m_dir, QStringList{QStringLiteral("--service"), QStringLiteral("--port"),
                                      QStringLiteral("1=") + m_port1.nom()} +
                              autres);
    }
    // Sends a message as Kip and kipempty do; the answer comes once it has taken effect.
    static int envoyer(int message)
    {
        LecteurCartes lien;
        lien.chercher();
        return lien.envoyer(message);
    }
    static QByteArray piste(int carte)
    {
        return QStringLiteral(";%1=4912?\r").arg(carte, 4, 10, QLatin1Char('0')).toLatin1();
    }
    QByteArray origine() const { return essai::Installation::lireFichier(m_chemins.origin(0)); }
    static QList<int> cartes(const QByteArray& contenu)
    {
        QList<int> c;
        for (const QByteArray& l : contenu.split('\n'))
            if (!l.isEmpty())
                c << OriginLine::parse(l).carte;
        return c;
    }

    QTemporaryDir m_tmp;
    QString m_dir;
    Paths m_chemins;
    Pty m_port1;
};

} // namespace

TEST_F(KipguardTest, AKillWhileSwipesAreHeldLosesNoneOfThem)
{
    {
        Kipguard k;
        demarrer(k);
        EXPECT_EQ(envoyer(1024), 1);
        for (int carte : {21, 22, 23})
            m_port1.glisser(piste(carte));
        // The journal says "held" once the line is synced, as the good-read sound does.
        ASSERT_TRUE(k.attendreJournal(QStringLiteral("mise en attente"), 3)) << k.journal().toStdString();
        k.tuer();
    }
    EXPECT_TRUE(origine().isEmpty());
    Kipguard suivant;
    demarrer(suivant);
    EXPECT_EQ(suivant.compte(QStringLiteral("3 lecture(s) en attente trouvée(s)")), 1)
        << suivant.journal().toStdString();
    ASSERT_TRUE(suivant.attendreJournal(QStringLiteral("3 lecture(s) en attente versée(s)")))
        << suivant.journal().toStdString();
    EXPECT_EQ(cartes(origine()), (QList<int>{21, 22, 23}));
    // The hand-over is over: no spool, no mark, no new raw file left beside the data.
    const QStringList restes =
        QDir(m_chemins.dataDir).entryList({QStringLiteral("KipGuard*"), QStringLiteral("*.kipguard")});
    EXPECT_EQ(restes, QStringList{QStringLiteral("KipGuard.txt")}) << restes.join(' ').toStdString();
}

TEST_F(KipguardTest, ASecondReaderIsRefusedAndTheFirstKeepsTheSocketAndHoldsWhilePaused)
{
    Kipguard premier;
    demarrer(premier);
    const QByteArray socket = QFile::encodeName(ServeurMessages::cheminSocket(LecteurCartes::nomSocket()));
    struct stat avant = {};
    ASSERT_EQ(::stat(socket.constData(), &avant), 0);
    for (int essai = 0; essai < 3; ++essai) {
        Kipguard second;
        second.demarrer(m_dir, {QStringLiteral("--service")}, false);
        EXPECT_EQ(second.fin(), 1);
        EXPECT_TRUE(second.journal().contains(QStringLiteral("déjà en cours d'exécution")))
            << second.journal().toStdString();
        EXPECT_FALSE(second.journal().contains(QStringLiteral("En marche")));
    }
    struct stat apres = {};
    ASSERT_EQ(::stat(socket.constData(), &apres), 0);
    EXPECT_EQ(apres.st_ino, avant.st_ino) << "the socket was replaced";
    // The first one still hears the programs: paused, it holds the swipe.
    EXPECT_EQ(envoyer(1024), 1);
    m_port1.glisser(piste(31));
    m_port1.glisser(piste(1));
    ASSERT_TRUE(premier.attendreJournal(QStringLiteral("mise en attente"), 2)) << premier.journal().toStdString();
    EXPECT_TRUE(origine().isEmpty());
    EXPECT_EQ(envoyer(1025), 1);
    // The answer comes once the held lines are in, in their order.
    EXPECT_EQ(cartes(origine()), (QList<int>{31, 1}));
}

// Each card typed becomes exactly one line of the clock and the terminal; the run ends with its input.
TEST_F(KipguardTest, TheSimulationWritesALineOfTheClockPerCardAndEndsWithItsInput)
{
    Kipguard k;
    k.demarrer(m_dir, {QStringLiteral("--simulation"), QStringLiteral("--service"), QStringLiteral("--terminal"),
                       QStringLiteral("2")});
    const QDateTime avant = QDateTime::currentDateTime();
    k.taper("42\nE\n0\n7"); // the last line has no line end: it counts all the same
    EXPECT_EQ(k.fin(), 0) << k.journal().toStdString();
    const QDateTime apres = QDateTime::currentDateTime();
    EXPECT_EQ(cartes(origine()), (QList<int>{42, 7}));
    EXPECT_EQ(k.compte(QStringLiteral("Mauvaise lecture")), 2) << k.journal().toStdString();
    const QByteArray ligne = origine().left(OriginLineLength + 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^0042 \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d 02\r\n$"))
                    .match(QString::fromLatin1(ligne))
                    .hasMatch())
        << ligne.toStdString();
    const QDateTime quand =
        QDateTime::fromString(QString::fromLatin1(ligne.mid(5, 16)), QStringLiteral("dd/MM/yyyy HH:mm"));
    EXPECT_GE(quand.toSecsSinceEpoch(), avant.toSecsSinceEpoch() / 60 * 60);
    EXPECT_LE(quand.toSecsSinceEpoch(), apres.toSecsSinceEpoch());
}

TEST_F(KipguardTest, KipemptyPausesItAndASwipeDuringTheTransferIsTransferredByTheNextRun)
{
    // Two employees who may punch today at terminal 1.
    QList<int> valides;
    {
        setPaths(m_chemins);
        Database db(m_chemins.dataDir);
        RecordFile<Personnel> personnel(db);
        ASSERT_TRUE(personnel.open().ok());
        Cursor<Personnel> c = personnel.read(PER_K_CARTE, Personnel{});
        Personnel p;
        while (c.next(p).ok())
            if (!estInactif(p, Clock::today()) && p.AUTORISATION[0] == 1)
                valides << p.CARTE;
    }
    ASSERT_GE(valides.size(), 2);
    Kipguard k;
    demarrer(k);
    m_port1.glisser(piste(valides[0]));
    ASSERT_TRUE(attendre([&] { return cartes(origine()).size() == 1; }));
    const QByteArray premiere = origine();

    QProcess kipempty;
    kipempty.setProcessEnvironment(environnementSansAffichage());
    kipempty.setWorkingDirectory(m_dir);
    kipempty.start(QStringLiteral(KIP_KIPEMPTY));
    ASSERT_TRUE(k.attendreJournal(QStringLiteral("Pause"))) << k.journal().toStdString();
    // Held in the middle of its run, between the pause and the resume, kipempty is transferring.
    ::kill(pid_t(kipempty.processId()), SIGSTOP);
    m_port1.glisser(piste(valides[1]));
    ASSERT_TRUE(k.attendreJournal(QStringLiteral("mise en attente"))) << k.journal().toStdString();
    EXPECT_EQ(origine(), premiere);
    ::kill(pid_t(kipempty.processId()), SIGCONT);
    ASSERT_TRUE(kipempty.waitForFinished(DelaiMs));
    const QString sortie = QString::fromUtf8(kipempty.readAllStandardError());
    EXPECT_EQ(kipempty.exitCode(), 0) << sortie.toStdString();
    EXPECT_TRUE(sortie.contains(QStringLiteral("1 pointage(s) enregistré(s)"))) << sortie.toStdString();
    ASSERT_TRUE(k.attendreJournal(QStringLiteral("1 lecture(s) en attente versée(s)"))) << k.journal().toStdString();
    EXPECT_LT(k.journal().indexOf(QStringLiteral("Pause")), k.journal().indexOf(QStringLiteral("Reprise")));
    // The archive holds what the transfer read; the swipe held meanwhile waits in the new raw file.
    EXPECT_EQ(essai::Installation::lireFichier(m_chemins.origin(1)), premiere);
    EXPECT_EQ(cartes(origine()), QList<int>{valides[1]});

    const FinProcessus suivant = lancerJusquaLaFin(QStringLiteral(KIP_KIPEMPTY), {}, m_dir);
    EXPECT_EQ(suivant.code, 0);
    EXPECT_TRUE(suivant.erreurs.contains(QStringLiteral("1 ligne(s), 1 pointage(s) enregistré(s)")))
        << suivant.erreurs.toStdString();
    EXPECT_EQ(cartes(essai::Installation::lireFichier(m_chemins.origin(1))), QList<int>{valides[1]});
    EXPECT_TRUE(k.attendreJournal(QStringLiteral("Reprise"), 2)) << k.journal().toStdString();
}
