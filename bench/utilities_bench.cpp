// The purge of 1,000,000 day lines out of 1,800,000, beside a plain SQL DELETE of the same lines on a copy of
// the same file, measured in the same run. The purge holds the file alone: it copies the kept lines into a new
// file and builds each of the seven keys once, where the DELETE maintains the seven keys line by line. The
// DELETE leaves the file's size as it was; a DELETE followed by VACUUM, which shrinks it, is shown too.
//
//   utilities_bench [--employees N] [--lines L] [--delete D] [--dir DIR]
//
// Every employee gets L / N consecutive days ending today; the purge end date is chosen so that exactly
// D / N days of each are deleted. Options of the other benchmarks are ignored.
#include "calendar/Clock.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "utilities/Purge.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

using namespace kip;

namespace {

struct Options
{
    int employees = 1000;
    qint64 lines = 1'800'000;
    qint64 deleted = 1'000'000;
    QString dir;
};

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--employees")
            o.employees = std::atoi(argv[++i]);
        else if (a == "--lines")
            o.lines = std::atoll(argv[++i]);
        else if (a == "--delete")
            o.deleted = std::atoll(argv[++i]);
        else if (a == "--dir")
            o.dir = QString::fromLocal8Bit(argv[++i]);
    }
    return o;
}

double megabytes(const QString& path)
{
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

void execOrDie(sqlite3* db, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, msg);
        std::exit(1);
    }
}

// The plain way: one DELETE in one transaction on the file as the store keeps it (rollback journal).
double plainDelete(const QString& path, qint32 fin, bool vacuum, qint64* deleted)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QElapsedTimer t;
    t.start();
    execOrDie(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM POINTVAL WHERE DATE <= ?1", -1, &st, nullptr);
    sqlite3_bind_int64(st, 1, fin);
    if (sqlite3_step(st) != SQLITE_DONE) {
        std::fprintf(stderr, "DELETE: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    *deleted = sqlite3_changes(db);
    sqlite3_finalize(st);
    execOrDie(db, "COMMIT");
    if (vacuum)
        execOrDie(db, "VACUUM");
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    sqlite3_close(db);
    return seconds;
}

bool copy(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parse(argc, argv);
    QTemporaryDir tmp(o.dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/kip-utilities-bench-XXXXXX")
                                      : o.dir + QStringLiteral("/kip-utilities-bench-XXXXXX"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    const qint32 today = dayNumber(2026, 6, 30);
    const qint64 days = o.lines / o.employees;
    const qint32 fin = today - qint32(days) + qint32(o.deleted / o.employees);

    gen::GenOptions g;
    g.dir = tmp.path() + QStringLiteral("/Kip");
    g.employees = o.employees;
    g.weeks = 1;
    g.rawLines = 0;
    g.today = today;
    g.dayLines = o.lines;
    g.seed = 11;
    QElapsedTimer t;
    t.start();
    const gen::GenResult made = gen::generateInstallation(g);
    if (!made.ok) {
        std::fprintf(stderr, "kipgen: %s\n", qPrintable(made.error));
        return 1;
    }
    std::printf("installation: %d employees, %lld day lines (%.1f s)\n", made.employees,
                static_cast<long long>(made.dayLines), double(t.elapsed()) / 1000.0);

    // Three copies of the same file: for the plain DELETE, for DELETE + VACUUM, and for the purge.
    const Paths p = Paths::forInstallation(g.dir);
    const QString source = p.file(FileId::PointVal);
    const QString plain = tmp.path() + QStringLiteral("/plain/PointVal.tps");
    const QString vacuumed = tmp.path() + QStringLiteral("/vacuum/PointVal.tps");
    QDir().mkpath(QFileInfo(plain).path());
    QDir().mkpath(QFileInfo(vacuumed).path());
    if (!copy(source, plain) || !copy(source, vacuumed)) {
        std::fprintf(stderr, "copy failed\n");
        return 1;
    }
    const double before = megabytes(source);
    std::printf("PointVal.tps: %.1f MB, deleting the lines dated up to day %d (%lld of %lld expected)\n\n", before, fin,
                static_cast<long long>(o.deleted), static_cast<long long>(o.lines));

    qint64 deletedPlain = 0;
    const double plainSeconds = plainDelete(plain, fin, false, &deletedPlain);
    std::printf("plain DELETE:           %8.2f s  %lld lines deleted  file %.1f MB -> %.1f MB\n", plainSeconds,
                static_cast<long long>(deletedPlain), before, megabytes(plain));

    qint64 deletedVacuum = 0;
    const double vacuumSeconds = plainDelete(vacuumed, fin, true, &deletedVacuum);
    std::printf("plain DELETE + VACUUM:  %8.2f s  %lld lines deleted  file %.1f MB -> %.1f MB\n", vacuumSeconds,
                static_cast<long long>(deletedVacuum), before, megabytes(vacuumed));

    t.restart();
    const ResultatPurge r = Purger(p.dataDir, fin);
    const double purgeSeconds = double(t.nsecsElapsed()) / 1e9;
    if (r.etat != ResultatPurge::Etat::Faite) {
        std::fprintf(stderr, "purge: %s\n", qPrintable(r.erreur.description()));
        return 1;
    }
    const bool valid = checkRecordFile(tableOf(FileId::PointVal), source).ok();
    std::printf("purge (Purger):         %8.2f s  %lld lines deleted  file %.1f MB -> %.1f MB  %s\n", purgeSeconds,
                static_cast<long long>(r.supprimees), double(r.octetsAvant) / (1024.0 * 1024.0),
                double(r.octetsApres) / (1024.0 * 1024.0), valid ? "record file valid" : "RECORD FILE INVALID");
    std::printf("\npurge / plain DELETE = %.2f (target: at most 0.50)\n", purgeSeconds / plainSeconds);
    return valid && r.supprimees == deletedPlain ? 0 : 1;
}
