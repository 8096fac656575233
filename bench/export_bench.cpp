// The payroll export of 1,000 employees over five weeks from a file of 1,000,000 day lines: from the start
// of the reading to the CSV file written, in both time units; beside it the bare reading of the same rows
// (the five weeks' lines through the key of their dates, every field read, nothing computed) and the week
// totals report's own run for the same choices, whose totals the export takes.
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "reports/EditionSemaine.h"
#include "reports/ExportPaie.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace kip;

namespace {

constexpr int Employees = 1000;
constexpr qint64 DayLines = 1000000;

void afficher(const char* titre, double secondes, qint64 lignes, const QString& detail = {})
{
    std::printf("%-58s %8.3f s %8lld rows %s\n", titre, secondes, static_cast<long long>(lignes),
                detail.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    const qint32 today = dayNumber(2026, 12, 9);
    Clock::setToday(today);
    {
        QElapsedTimer t;
        t.start();
        gen::GenOptions o;
        o.dir = dir;
        o.employees = Employees;
        o.weeks = 1;
        o.today = today;
        o.rawLines = 0;
        o.dayLines = DayLines;
        const gen::GenResult r = gen::generateInstallation(o);
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
            return 1;
        }
        afficher("generation (not measured)", t.nsecsElapsed() / 1e9, r.dayLines);
    }
    setPaths(Paths::forInstallation(dir));
    const LundiEtDimanche derniere = LundiDimanche(today - 7);
    const qint32 lundi = derniere.lundi - 28;
    ParametresEdition p;
    p.NOMEDITION = QStringLiteral("Totaux par semaine");
    p.carteDebut = 1;
    p.carteFin = 9999;
    p.dateDebut = lundi;
    p.dateFin = derniere.dimanche;

    // The bare reading of the same rows.
    for (int essai = 0; essai < 2; ++essai) {
        Database db(paths().dataDir);
        (void)db.attach("POINTVAL", db.pathOf("PointVal.tps"));
        QElapsedTimer t;
        t.start();
        Statement st = db.prepare(
            QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL WHERE DATE BETWEEN ?1 AND ?2 ORDER BY DATE")
                .arg(tableOf<PointVal>().columnList()));
        st.bind(1, lundi);
        st.bind(2, derniere.dimanche);
        qint64 lignes = 0, minutes = 0;
        while (st.step() == 100) {
            ++lignes;
            minutes += st.columnInt(9);
        }
        afficher(essai ? "baseline: bare SQLite read of the five weeks' lines" : "  (warm-up read)",
                 t.nsecsElapsed() / 1e9, lignes);
    }
    for (bool centiemes : {false, true}) {
        p.centiemes = centiemes;
        const QString chemin = tmp.path() + QStringLiteral("/paie.csv");
        Database db(paths().dataDir);
        QElapsedTimer t;
        t.start();
        const ResultatExport r = Exporter(db, GenreExport::TotauxSemaines, p, SeuilsPaie{}, chemin);
        const double s = t.nsecsElapsed() / 1e9;
        if (!r.ecrit())
            std::fprintf(
                stderr, "  the export did not complete: %s\n",
                (r.erreurEcriture.ok() ? r.erreurLecture : r.erreurEcriture).description().toLocal8Bit().constData());
        afficher(centiemes ? "export, hours and hundredths (target 1 s)" : "export, hours and minutes (target 1 s)", s,
                 r.lignes, QStringLiteral("%1 KB").arg(QFileInfo(chemin).size() / 1024));
    }
    {
        Database db(paths().dataDir);
        QElapsedTimer t;
        t.start();
        std::unique_ptr<Edition> e = EditionTotauxSemaine();
        const ResultatEdition r = ExecuterEdition(db, *e, p);
        afficher("the week totals report, its pages (for comparison)", t.nsecsElapsed() / 1e9, r.imprimees,
                 QStringLiteral("%1 pages").arg(r.pages.nombre()));
    }
    return 0;
}
