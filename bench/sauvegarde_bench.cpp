// The daily backup of a large PointVal.tps: the copy in steps that tell their progress (what the start-up's
// window shows) beside a bare SQLite backup in one step, and how soon the first progress comes.
// sauvegarde_bench [--lines N] [--employees E] [--dir PATH]
#include "calendar/Clock.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "shell/Sauvegarde.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

using namespace kip;

namespace {

// SQLite's own backup, all pages in one step: the baseline.
double copieNue(const QString& from, const QString& to)
{
    QElapsedTimer t;
    t.start();
    sqlite3* src = nullptr;
    sqlite3* dst = nullptr;
    sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open(to.toUtf8().constData(), &dst);
    sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
    const int rc = b ? sqlite3_backup_step(b, -1) : SQLITE_ERROR;
    sqlite3_backup_finish(b);
    sqlite3_close(dst);
    sqlite3_close(src);
    if (rc != SQLITE_DONE)
        std::fprintf(stderr, "bare backup: %d\n", rc);
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    qint64 lignes = 400000;
    int employes = 400;
    QString dir = QDir::tempPath();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--lines"))
            lignes = std::atoll(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--employees"))
            employes = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--dir"))
            dir = QString::fromLocal8Bit(argv[i + 1]);
    }
    QTemporaryDir tmp(dir + QStringLiteral("/kip-sauvegarde-bench-XXXXXX"));
    if (!tmp.isValid())
        return 1;
    gen::GenOptions g;
    g.dir = tmp.path() + QStringLiteral("/Kip");
    g.employees = employes;
    g.weeks = 1;
    g.rawLines = 0;
    g.today = dayNumber(2026, 6, 30);
    g.dayLines = lignes;
    g.seed = 5;
    const gen::GenResult made = gen::generateInstallation(g);
    if (!made.ok) {
        std::fprintf(stderr, "kipgen: %s\n", qPrintable(made.error));
        return 1;
    }
    const Paths p = Paths::forInstallation(g.dir);
    const QString source = p.file(FileId::PointVal);
    std::printf("PointVal.tps: %lld day lines, %.1f MB\n\n", static_cast<long long>(made.dayLines),
                double(QFileInfo(source).size()) / 1e6);

    // Each measure twice, the first one warming the page cache.
    for (int tour = 0; tour < 2; ++tour) {
        const double nue = copieNue(source, tmp.filePath(QStringLiteral("nue.tps")));
        QElapsedTimer t;
        t.start();
        int appels = 0;
        const FileError e =
            copyRecordFile(source, tmp.filePath(QStringLiteral("pas.tps")), [&appels](qint64, qint64) { ++appels; });
        const double parPas = double(t.nsecsElapsed()) / 1e9;
        t.restart();
        qint64 premiere = -1;
        const ResultatSauvegarde r = SauvegardeAuto(p, [&](qint64, qint64, const QString&) {
            if (premiere < 0)
                premiere = t.nsecsElapsed();
        });
        const double tout = double(t.nsecsElapsed()) / 1e9;
        if (!e.ok() || !r.reussie())
            std::fprintf(stderr, "copy failed\n");
        std::printf("round %d: bare backup in one step %6.2f s | copyRecordFile in steps %6.2f s (%d progress calls,"
                    " ratio %.2f) | whole daily backup %6.2f s, first progress after %.1f ms\n",
                    tour + 1, nue, parPas, appels, parPas / nue, tout, double(premiere) / 1e6);
    }
    return 0;
}
