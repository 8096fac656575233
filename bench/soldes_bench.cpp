// The monthly statement (Relevé mensuel) for 1,000 employees over a month, on a file of 1,000,000 day lines
// (about three years of each employee) with the generated absences, planned hours and starting balances: from
// the start of the run to the preview ready (the pages written and the first one read back), with peak memory.
// Beside it, in the same run: the bare reading of that month's lines, and the bare reading of every line up to
// the month's end (what the running balance needs at least), both plain SQLite loops. Each case runs in a
// process of its own, so that its peak memory is its own.
#include "MesureEnfant.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "reports/EditionsSoldes.h"
#include "reports/ExecutionEdition.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int Employees = 1000;
constexpr qint64 DayLines = 1000000;

struct Mesure
{
    double secondes = 0;
    qint64 lignes = 0;
    int pages = 0;
};

Mesure measure(const char* title, const std::function<Mesure()>& work)
{
    struct rusage usage;
    const Mesure m = mesurerDansUnEnfant<Mesure>("soldes_bench", work, &usage);
    std::printf("%-66s %8.3f s %8lld lines %5d pages   peak memory %7.1f MB\n", title, m.secondes,
                static_cast<long long>(m.lignes), m.pages, usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
    return m;
}

// A plain SQLite loop over the day lines of the dates, nothing else.
Mesure lectureNue(const QString& dir, qint32 debut, qint32 fin, bool toutes)
{
    sqlite3* db = nullptr;
    const QByteArray chemin = (dir + QStringLiteral("/Data/PointVal.tps")).toUtf8();
    Mesure m;
    if (sqlite3_open_v2(chemin.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return m;
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    // Through the key of the dates for a month; in file order (no key: "+DATE") for every line.
    sqlite3_prepare_v2(db,
                       toutes ? "SELECT CARTE, DATE, TOTAL FROM POINTVAL WHERE +DATE BETWEEN ?1 AND ?2"
                              : "SELECT CARTE, DATE, TOTAL FROM POINTVAL WHERE DATE BETWEEN ?1 AND ?2",
                       -1, &st, nullptr);
    sqlite3_bind_int(st, 1, debut);
    sqlite3_bind_int(st, 2, fin);
    while (sqlite3_step(st) == SQLITE_ROW)
        ++m.lignes;
    sqlite3_finalize(st);
    m.secondes = t.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return m;
}

Mesure releve(const QString& dir, qint32 debut, qint32 fin)
{
    setPaths(Paths::forInstallation(dir));
    FileUse personnel(FileId::Personnel), pointval(FileId::PointVal);
    Database db(paths().dataDir);
    ParametresEdition p;
    p.NOMEDITION = QStringLiteral("Relevé mensuel");
    p.carteDebut = 1;
    p.carteFin = 9999;
    p.dateDebut = debut;
    p.dateFin = fin;
    std::unique_ptr<Edition> e = EditionReleve();
    QElapsedTimer t;
    t.start();
    const ResultatEdition r = ExecuterEdition(db, *e, p);
    const std::optional<ImagePage> premiere = r.pages.page(1);
    Mesure m;
    m.secondes = t.nsecsElapsed() / 1e9;
    m.lignes = r.imprimees;
    m.pages = r.pages.nombre();
    if (!r.complete() || !premiere)
        std::fprintf(stderr, "  the statement did not complete: %s\n", qPrintable(r.erreurLecture.description()));
    return m;
}

} // namespace

int main()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const qint32 today = dayNumber(QDate::currentDate());
    Clock::setToday(today);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    QElapsedTimer t;
    t.start();
    gen::GenOptions o;
    o.dir = dir;
    o.employees = Employees;
    o.weeks = 160;
    o.today = today;
    o.rawLines = 0;
    o.dayLines = DayLines;
    const gen::GenResult g = gen::generateInstallation(o);
    if (!g.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(g.error));
        return 1;
    }
    // The last whole month.
    const QDate q = QDate::currentDate().addMonths(-1);
    const qint32 debut = dayNumber(q.year(), q.month(), 1), fin = dayNumber(q.year(), q.month(), q.daysInMonth());
    std::printf("installation generated in %.1f s (%d employees, %lld day lines); the month of %s\n",
                t.nsecsElapsed() / 1e9, Employees, static_cast<long long>(DayLines), qPrintable(DateTexte(debut)));
    measure("baseline: bare reading of the month's lines", [&] { return lectureNue(dir, debut, fin, false); });
    measure("baseline: bare reading of every line up to the month's end",
            [&] { return lectureNue(dir, 0, fin, true); });
    const Mesure m =
        measure("Relevé mensuel, 1,000 employees, 1 month, to the preview", [&] { return releve(dir, debut, fin); });
    std::printf("target: at most 2 s to the preview: %s\n", m.secondes <= 2.0 ? "met" : "NOT met");
    return 0;
}
