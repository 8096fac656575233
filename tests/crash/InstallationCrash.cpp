#include "InstallationCrash.h"

#include "../shell/MarqueurArret.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "kipgen/Generator.h"
#include "punch/TransfertPointages.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <csignal>
#include <cstdlib>
#include <random>
#include <thread>

namespace crash {

using namespace kip;

QString racineTemporaire()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}

QString kipempty()
{
    return QStringLiteral(KIP_KIPEMPTY);
}

QByteArray lire(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void ajouter(const QString& path, const QByteArray& octets)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::Append));
    f.write(octets);
}

bool copier(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

QList<QByteArray> lignesCompletes(const QByteArray& contenu, QByteArray* reste)
{
    // CR LF, LF and a lone CR end a line; what follows the last line end is not a line yet.
    static const QRegularExpression fin(QStringLiteral("\r\n|\n|\r"));
    QList<QByteArray> lignes;
    const QString texte = QString::fromLatin1(contenu);
    qsizetype debut = 0;
    QRegularExpressionMatchIterator it = fin.globalMatch(texte);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() > debut)
            lignes << contenu.mid(debut, m.capturedStart() - debut);
        debut = m.capturedEnd();
    }
    if (reste)
        *reste = contenu.mid(debut);
    return lignes;
}

QSet<QByteArray> lignesBrutes(const QString& installDir)
{
    QSet<QByteArray> toutes;
    for (int g = 0; g <= 10; ++g) {
        const QString path = installDir + QStringLiteral("/Data/Origin%1.txt").arg(g, 2, 10, QLatin1Char('0'));
        for (const QByteArray& l : lignesCompletes(lire(path)))
            toutes.insert(l);
    }
    return toutes;
}

QByteArray genererInstallation(const QString& installDir, int employes, int semaines, quint64 graine)
{
    gen::GenOptions o;
    o.dir = installDir;
    o.employees = employes;
    o.weeks = semaines;
    o.seed = graine;
    o.today = Clock::today();
    const gen::GenResult r = gen::generateInstallation(o);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    const QString dataDir = installDir + QStringLiteral("/Data");
    const QString origine = dataDir + QStringLiteral("/Origin00.txt");
    // The punches a transfer rejects, found by a transfer of a copy, are taken out of the raw file.
    QStringList prefixes;
    {
        const QString essai = installDir + QStringLiteral("-essai");
        EXPECT_TRUE(copier(installDir, essai));
        Database db(essai + QStringLiteral("/Data"));
        const ResultatTransfert t = TransfererPointages(db, essai + QStringLiteral("/Data/Origin00.txt"), o.today);
        static const QRegularExpression quand(
            QStringLiteral("(\\d+) le (\\d\\d)/(\\d\\d)/(\\d{4}) à\\s*(\\d+)\\.(\\d\\d)$"));
        for (const QString& rejet : t.rejets) {
            const QRegularExpressionMatch m = quand.match(rejet);
            EXPECT_TRUE(m.hasMatch()) << rejet.toStdString();
            prefixes << QString::fromLatin1(formatOriginLine(m.captured(1).toInt(), m.captured(2).toInt(),
                                                             m.captured(3).toInt(), m.captured(4).toInt(),
                                                             m.captured(5).toInt(), m.captured(6).toInt(), 0)
                                                .left(21));
        }
        QDir(essai).removeRecursively();
    }
    QByteArray garde;
    for (const QByteArray& l : lignesCompletes(lire(origine))) {
        bool rejete = false;
        for (const QString& p : prefixes)
            rejete = rejete || l.startsWith(p.toLatin1());
        if (!rejete)
            garde += l + "\r\n";
    }
    // The card reader is writing a punch of the first employee when the run starts.
    Database db(dataDir);
    RecordFile<Personnel> staff(db);
    Personnel p;
    EXPECT_TRUE(staff.open().ok() && staff.first(p).ok());
    const QDate d = calendarDate(o.today);
    const QByteArray ligne = formatOriginLine(p.CARTE, d.day(), d.month(), d.year(), 12, 30, 1) + "\r\n";
    const QByteArray debut = ligne.left(19);
    QFile f(origine);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(garde + debut);
    return ligne.mid(19);
}

Etat etat(const QString& installDir)
{
    return etatDe(installDir + QStringLiteral("/Data"));
}

Etat etatDe(const QString& dir)
{
    Etat e;
    Database db(dir);
    RecordFile<PointVal> lignes(db);
    RecordFile<Personnel> staff(db);
    EXPECT_TRUE(lignes.open().ok());
    EXPECT_TRUE(staff.open().ok());
    Cursor<PointVal> c = lignes.readAll();
    PointVal v;
    while (c.next(v).ok()) {
        e.lignes.insert({v.CARTE, v.DATE}, pack(v));
        e.lignesPointees += v.POINTAGE_ORIGINE[0] >= 0;
    }
    Cursor<Personnel> s = staff.readAll();
    Personnel p;
    while (s.next(p).ok())
        e.dates.insert(p.CARTE, {p.PREMIER_POINTAGE, p.DERNIER_POINTAGE});
    return e;
}

int marqueur(const QString& installDir)
{
    return marqueurArret(installDir + QStringLiteral("/Data"));
}

void poserMarqueur(const QString& installDir, int valeur)
{
    Database db(installDir + QStringLiteral("/Data"));
    RecordFile<OnOff> file(db);
    OnOff o;
    ASSERT_TRUE(file.open().ok());
    ASSERT_TRUE(file.first(o).ok());
    o.TEST = quint8(valeur);
    ASSERT_TRUE(file.put(o).ok());
}

namespace {

QString etapeDe(const QString& ligne)
{
    for (const QString& e : {Reconstruction, Initialisation, Transfert, SauvegardeManuelle})
        if (ligne.startsWith(e))
            return e;
    // kiptool restore numbers its steps: "Restauration 2/6: ...".
    if (ligne.startsWith(Restauration))
        return ligne.section(QLatin1Char(':'), 0, 0);
    if (ligne.startsWith(QStringLiteral("Origin00.txt est archivé")))
        return QStringLiteral("Archive");
    return {};
}

void lireEtapes(Execution& ex, const QByteArray& octets, qint64 instant)
{
    ex.erreurs += QString::fromUtf8(octets);
    for (const QString& ligne : QString::fromUtf8(octets).split(QLatin1Char('\n'))) {
        const QString e = etapeDe(ligne);
        if (e.isEmpty())
            continue;
        ex.derniereEtape = e;
        if (!ex.debuts.contains(e))
            ex.debuts.insert(e, instant);
    }
}

} // namespace

Execution lancer(const QString& installDir, const QString& programme, const QStringList& arguments,
                 const QString& etape, qint64 delaiUs, int signal)
{
    Execution ex;
    QProcess p;
    p.setProcessEnvironment(environnementSansAffichage());
    p.setWorkingDirectory(installDir);
    p.setReadChannel(QProcess::StandardError);
    QElapsedTimer t;
    t.start();
    p.start(programme, arguments);
    if (!p.waitForStarted(30000)) {
        ADD_FAILURE() << programme.toStdString() << " did not start";
        return ex;
    }
    constexpr int LimiteMs = 120000;
    bool vise = etape.isEmpty();
    while (p.state() != QProcess::NotRunning && t.elapsed() < LimiteMs) {
        if (!p.waitForReadyRead(1000))
            continue;
        lireEtapes(ex, p.readAllStandardError(), t.nsecsElapsed() / 1000);
        if (!vise && ex.debuts.contains(etape)) {
            vise = true;
            // The moment of the kill, within the step: the test's own random delay, not a wait for anything.
            std::this_thread::sleep_for(std::chrono::microseconds(delaiUs));
            if (p.state() == QProcess::Running)
                ::kill(pid_t(p.processId()), signal);
        }
    }
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(LimiteMs)) {
        ADD_FAILURE() << programme.toStdString() << " did not end within " << LimiteMs << " ms";
        p.kill();
        p.waitForFinished();
    }
    ex.dureeUs = t.nsecsElapsed() / 1000;
    lireEtapes(ex, p.readAllStandardError(), ex.dureeUs);
    ex.tue = p.exitStatus() == QProcess::CrashExit;
    if (!ex.tue)
        ex.code = p.exitCode();
    return ex;
}

Execution executer(const QString& installDir)
{
    Execution ex = lancer(installDir, kipempty(), {}, {}, 0);
    EXPECT_FALSE(ex.tue) << "kipempty crashed:\n" << ex.erreurs.toStdString();
    return ex;
}

Execution executerEtTuer(const QString& installDir, const QString& etape, qint64 delaiUs, int signal)
{
    return lancer(installDir, kipempty(), {}, etape, delaiUs, signal);
}

Execution executerSousStrace(const QString& installDir, const QString& appel, int n, const QString& programme,
                             const QStringList& arguments)
{
    return lancer(installDir, QStringLiteral("strace"),
                  QStringList{QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                              QStringLiteral("/dev/null"), QStringLiteral("-e"), QStringLiteral("trace=") + appel,
                              QStringLiteral("-e"), QStringLiteral("inject=%1:signal=KILL:when=%2").arg(appel).arg(n),
                              programme} +
                      arguments,
                  {}, 0);
}

QMap<QString, int> compterAppels(const QString& installDir, const QStringList& appels, const QString& programme,
                                 const QStringList& arguments)
{
    const QString journal = installDir + QStringLiteral("-strace.log");
    const Execution ex =
        lancer(installDir, QStringLiteral("strace"),
               QStringList{QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"), journal,
                           QStringLiteral("-e"), QStringLiteral("trace=") + appels.join(QLatin1Char(',')), programme} +
                   arguments,
               {}, 0);
    EXPECT_EQ(ex.code, 0) << ex.erreurs.toStdString();
    QMap<QString, int> n;
    static const QRegularExpression appel(QStringLiteral("^(?:\\d+\\s+)?(\\w+)\\("));
    for (const QByteArray& l : lignesCompletes(lire(journal))) {
        const QRegularExpressionMatch m = appel.match(QString::fromLatin1(l));
        if (m.hasMatch() && appels.contains(m.captured(1)))
            ++n[m.captured(1)];
    }
    QFile::remove(journal);
    return n;
}

void EssaiCrash::SetUp()
{
    m_alea.seed(g_seed + std::hash<std::string>()(::testing::UnitTest::GetInstance()->current_test_info()->name()));
}

qint64 EssaiCrash::auHasard(qint64 jusqua)
{
    return std::uniform_int_distribution<qint64>(0, std::max<qint64>(0, jusqua))(m_alea);
}

QString EssaiCrash::copie(const QString& racine, const QString& de)
{
    static int copies = 0;
    const QString dir = racine + QStringLiteral("/essai%1/Kip").arg(++copies);
    EXPECT_TRUE(copier(de, dir));
    return dir;
}

void EssaiCrash::imprimer(const QString& titre, const QString& suite) const
{
    int total = 0;
    for (int n : m_issues)
        total += n;
    std::printf("%s: %d trials%s\n", qPrintable(titre), total, qPrintable(suite));
    for (auto it = m_issues.cbegin(); it != m_issues.cend(); ++it)
        std::printf("  %4d  %s\n", it.value(), qPrintable(it.key()));
    std::fflush(stdout);
}

int lancerLesTests(int argc, char** argv, const char* programme, int runs)
{
    ::testing::InitGoogleTest(&argc, argv);
    g_runs = runs;
    g_seed = std::random_device()();
    if (const char* n = std::getenv("KIP_CRASH_RUNS"); n && std::atoi(n) > 0)
        g_runs = std::atoi(n);
    for (int i = 1; i < argc; ++i) {
        const std::string option(argv[i]);
        g_tousLesAppels = g_tousLesAppels || option == "--all-calls";
        if (i + 1 == argc)
            break;
        if (option == "--runs")
            g_runs = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--files")
            g_fichiersParLot = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--seed")
            g_seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    std::printf("%s: seed %llu, %d runs\n", programme, static_cast<unsigned long long>(g_seed), g_runs);
    return RUN_ALL_TESTS();
}

} // namespace crash
