// The two jobs that run at every start: the day initialisation of 1,000 employees (on an empty data file
// and on one already up to date) and the transfer of 1,000,000 raw lines into a file of 1,000,000 day
// lines. Each case runs in a process of its own, so that its peak memory is its own.
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "punch/InitialiserJournees.h"
#include "punch/TransfertPointages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int Employees = 1000;
constexpr qint64 RawLines = 1000000;
constexpr qint64 DayLines = 1000000;

// Runs the case in a child process; prints its figure and its peak resident memory.
void measure(const char* title, const std::function<double()>& work, const char* unit)
{
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        const double figure = work();
        (void)::write(pipeFd[1], &figure, sizeof figure);
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    double figure = 0;
    (void)::read(pipeFd[0], &figure, sizeof figure);
    ::close(pipeFd[0]);
    int status = 0;
    struct rusage usage = {};
    ::wait4(pid, &status, 0, &usage);
    std::printf("%-58s %12.3f %-8s peak memory %7.1f MB\n", title, figure, unit, usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
}

bool generate(const QString& dir, qint64 raw, qint64 days)
{
    gen::GenOptions o;
    o.dir = dir;
    o.employees = Employees;
    o.weeks = 14;
    o.today = Clock::today();
    o.rawLines = raw;
    o.dayLines = days;
    const gen::GenResult r = gen::generateInstallation(o);
    if (!r.ok)
        std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
    return r.ok;
}

double initialise(const QString& dir)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    QElapsedTimer t;
    t.start();
    const ResultatInitialisation r = InitialiserJournees(db, Clock::today());
    if (!r.erreur.ok())
        std::fprintf(stderr, "%s\n", r.erreur.description().toLocal8Bit().constData());
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main()
{
    Clock::setToday(dayNumber(QDate::currentDate()));
    QTemporaryDir tmp;
    const QString empty = tmp.path() + QStringLiteral("/a/Kip");
    const QString big = tmp.path() + QStringLiteral("/b/Kip");
    QElapsedTimer t;
    t.start();
    if (!generate(empty, 0, 0) || !generate(big, RawLines, DayLines))
        return 1;
    std::printf("installations generated in %.1f s (%d employees; %lld raw lines, %lld day lines)\n",
                t.nsecsElapsed() / 1e9, Employees, static_cast<long long>(RawLines), static_cast<long long>(DayLines));

    measure(
        "day initialisation, 1,000 employees, empty file", [&] { return initialise(empty); }, "s");
    measure(
        "day initialisation, 1,000 employees, up to date", [&] { return initialise(empty); }, "s");

    measure(
        "transfer of 1,000,000 raw lines into 1,000,000 day lines",
        [&] {
            setPaths(Paths::forInstallation(big));
            Database db(paths().dataDir);
            QElapsedTimer timer;
            timer.start();
            const ResultatTransfert r = TransfererPointages(db, paths().origin(0), Clock::today());
            const double s = timer.nsecsElapsed() / 1e9;
            std::printf("  %d lines: %d stored, %d already there, %d skipped, %lld rejected, in %.2f s\n", r.lignes,
                        r.stockes, r.doublons, r.ignorees, static_cast<long long>(r.rejets.size()), s);
            std::fflush(stdout);
            return r.lignes / s;
        },
        "lines/s");
    return 0;
}
