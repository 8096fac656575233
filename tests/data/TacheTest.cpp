// The job template: the progress and the result come back on the job's thread, the result before terminee;
// destroying a running job asks its work to stop and waits for it, and the files it holds are released after.
#include "data/Tache.h"

#include "InstallationTest.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <chrono>
#include <thread>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int AttenteTacheMs = 10000;

// Whether the thread of that id is blocked, waiting (state S of the kernel's view of it).
bool enAttente(pid_t fil)
{
    QFile f(QStringLiteral("/proc/self/task/%1/stat").arg(fil));
    const QByteArray etat = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    const qsizetype fin = etat.lastIndexOf(')'); // the name in parentheses may hold anything
    return fin > 0 && etat.size() > fin + 2 && etat[fin + 2] == 'S';
}

class TacheTest : public InstallationVide
{
protected:
    int argc = 1;
    char nom[10] = "test_data";
    char* argv[2] = {nom, nullptr};
    QCoreApplication app{argc, argv};
};

TEST_F(TacheTest, ProgressAndResultComeBackOnTheJobsThreadInOrder)
{
    TacheDe<QString> tache;
    QList<Avancement> recus;
    bool ailleurs = false;
    QString resultatALaFin;
    QObject::connect(&tache, &Tache::progression, &tache, [&](const Avancement& a) {
        ailleurs |= QThread::currentThread() != app.thread();
        recus << a;
    });
    QObject::connect(&tache, &Tache::terminee, &tache, [&] { resultatALaFin = tache.resultat(); });
    QSignalSpy fin(&tache, &Tache::terminee);
    tache.demarrer([](const SuiviTache& suivi) {
        for (int i = 1; i <= 3; ++i)
            suivi.avancer(i, 3, QStringLiteral("pas %1").arg(i), qint16(10 + i));
        return QStringLiteral("fait sur un autre fil: %1").arg(QThread::currentThread() != qApp->thread());
    });
    EXPECT_TRUE(tache.enCours());
    ASSERT_TRUE(fin.wait(AttenteTacheMs));
    EXPECT_FALSE(tache.enCours());
    EXPECT_EQ(resultatALaFin, QStringLiteral("fait sur un autre fil: 1"));
    EXPECT_FALSE(ailleurs);
    QStringList vus;
    for (const Avancement& a : recus)
        vus << QStringLiteral("%1/%2 %3 %4").arg(a.fait).arg(a.total).arg(a.texte).arg(a.carte);
    EXPECT_EQ(vus, (QStringList{"1/3 pas 1 11", "2/3 pas 2 12", "3/3 pas 3 13"}));
}

TEST_F(TacheTest, DestroyingARunningJobStopsItsWorkWaitsAndThenReleasesItsFiles)
{
    std::atomic<bool> commencee{false};
    std::atomic<bool> arretVu{false};
    std::atomic<bool> finie{false};
    const pid_t principal = ::gettid();
    int terminees = 0;
    {
        TacheDe<void> tache;
        QObject::connect(&tache, &Tache::terminee, &app, [&] { ++terminees; });
        tache.tenir({FileId::Personnel});
        EXPECT_EQ(openCount(FileId::Personnel), 1);
        tache.demarrer([&](const SuiviTache& suivi) {
            commencee = true;
            const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(AttenteTacheMs);
            while (!suivi.annulee() && std::chrono::steady_clock::now() < limite)
                std::this_thread::yield();
            arretVu = suivi.annulee();
            // Still working after the stop was seen, until the job's thread waits for the work: a destructor
            // that went on without waiting is caught before this ends.
            const auto borne = std::chrono::steady_clock::now() + std::chrono::milliseconds(AttenteTacheMs);
            while (!enAttente(principal) && std::chrono::steady_clock::now() < borne)
                std::this_thread::yield();
            finie = true;
        });
        const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(AttenteTacheMs);
        while (!commencee && std::chrono::steady_clock::now() < limite)
            std::this_thread::yield();
        ASSERT_TRUE(commencee);
    }
    EXPECT_TRUE(arretVu);
    EXPECT_TRUE(finie);
    EXPECT_EQ(openCount(FileId::Personnel), 0);
    // The end of a job destroyed first is never handed over.
    QCoreApplication::processEvents();
    EXPECT_EQ(terminees, 0);
}

} // namespace
