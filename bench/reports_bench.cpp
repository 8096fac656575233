// The weekly report EditionSemaine for 1,000 employees over one week: from the start of the run to the
// preview ready (the pages written and the first one read back), with peak memory, on a file of 1,000,000
// day lines and on a file holding only that week; beside them the bare reading of that week's lines, the
// report through a full reading of the big file (whose pages must be the same, byte for byte), and the
// page-per-employee and five-week forms, to see whether memory grows with the pages. Then the daily report
// EditionJours over 31 days (beside the same on a file of about those days only, and its page-per-employee form)
// and the period totals EditionTotalPeriode over a year, each beside the bare reading of its period.
// Each case runs in a process of its own, so that its peak memory is its own.
#include "MesureEnfant.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "reports/EditionJours.h"
#include "reports/EditionSemaine.h"
#include "reports/EditionTotalPeriode.h"
#include "reports/ExecutionEdition.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <functional>
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
    char empreinte[20] = {};
};

// Runs the case in a child process with its own application; prints its figures and its peak memory.
Mesure measure(const char* title, const std::function<Mesure()>& work)
{
    struct rusage usage;
    const Mesure m = mesurerDansUnEnfant<Mesure>("reports_bench", work, &usage);
    std::printf("%-62s %8.3f s %8lld lines %5d pages   peak memory %7.1f MB\n", title, m.secondes,
                static_cast<long long>(m.lignes), m.pages, usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
    return m;
}

bool generate(const QString& dir, qint64 days, qint32 today)
{
    gen::GenOptions o;
    o.dir = dir;
    o.employees = Employees;
    o.weeks = 1;
    o.today = today;
    o.rawLines = 0;
    o.dayLines = days;
    const gen::GenResult r = gen::generateInstallation(o);
    if (!r.ok)
        std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
    return r.ok;
}

ParametresEdition semaines(qint32 lundi, qint32 dimanche)
{
    ParametresEdition p;
    p.NOMEDITION = QStringLiteral("Pointages Utilisateur (3e ligne), totaux jours, semaines et employés, de 1 à 5 "
                                  "semaines, gestion de l'arrondi de la semaine");
    p.carteDebut = 1;
    p.carteFin = 9999;
    p.dateDebut = lundi;
    p.dateFin = dimanche;
    return p;
}

ParametresEdition jours(const char* titre, qint32 debut, qint32 fin)
{
    ParametresEdition p = semaines(debut, fin);
    p.NOMEDITION = QString::fromUtf8(titre);
    return p;
}

// The report from the start of its run to its preview ready: the first page read back.
Mesure rapport(const QString& dir, const std::function<std::unique_ptr<Edition>()>& fabrique,
               const ParametresEdition& p, LectureJournees::Mode mode)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    ControleExecution c;
    c.lecture = mode;
    Clock::setTimeOfDay(QTime(6, 0, 0)); // the same print time in every case, so that pages compare
    std::unique_ptr<Edition> e = fabrique();
    QElapsedTimer t;
    t.start();
    const ResultatEdition r = ExecuterEdition(db, *e, p, c);
    const std::optional<ImagePage> premiere = r.pages.page(1);
    Mesure m;
    m.secondes = t.nsecsElapsed() / 1e9;
    m.lignes = r.imprimees;
    m.pages = r.pages.nombre();
    if (!r.complete() || !premiere)
        std::fprintf(stderr, "  the report did not complete\n");
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int n = 1; n <= r.pages.nombre(); ++n)
        h.addData(r.pages.page(n)->serialiser());
    const QByteArray d = h.result();
    std::memcpy(m.empreinte, d.constData(), sizeof m.empreinte);
    return m;
}

// The bare reading: the week's lines through the key of their dates, nothing printed.
Mesure lectureNue(const QString& dir, qint32 lundi, qint32 dimanche)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    (void)db.attach("POINTVAL", db.pathOf("PointVal.tps"));
    QElapsedTimer t;
    t.start();
    Statement st = db.prepare(
        QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL WHERE DATE BETWEEN ?1 AND ?2 ORDER BY DATE")
            .arg(tableOf<PointVal>().columnList()));
    st.bind(1, lundi);
    st.bind(2, dimanche);
    Mesure m;
    while (st.step() == 100)
        ++m.lignes;
    m.secondes = t.nsecsElapsed() / 1e9;
    return m;
}

} // namespace

int main()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A Sunday: the last seven day lines of every employee are the week from Monday to this day.
    qint32 today = dayNumber(QDate::currentDate());
    while (jourSemaine(today) != 0)
        --today;
    Clock::setToday(today);
    const qint32 lundi = today - 6;

    QTemporaryDir tmp;
    const QString big = tmp.path() + QStringLiteral("/a/Kip");
    const QString week = tmp.path() + QStringLiteral("/b/Kip");
    const QString month = tmp.path() + QStringLiteral("/c/Kip");
    QElapsedTimer t;
    t.start();
    if (!generate(big, DayLines, today) || !generate(week, 7 * Employees, today) ||
        !generate(month, 31 * Employees, today))
        return 1;
    std::printf("installations generated in %.1f s (%d employees; %lld day lines, and %d day lines of the week %s "
                "to %s)\n",
                t.nsecsElapsed() / 1e9, Employees, static_cast<long long>(DayLines), 7 * Employees,
                qPrintable(DateTexte(lundi)), qPrintable(DateTexte(today)));

    const ParametresEdition p = semaines(lundi, today);
    measure("baseline: bare reading of the week's lines, big file", [&] { return lectureNue(big, lundi, today); });
    const Mesure grand = measure("EditionSemaine, 1,000 employees, 1 week, file of 1,000,000 lines",
                                 [&] { return rapport(big, EditionSemaine, p, LectureJournees::Mode::ParEmploye); });
    const Mesure petit = measure("EditionSemaine, 1,000 employees, 1 week, file of that week only",
                                 [&] { return rapport(week, EditionSemaine, p, LectureJournees::Mode::ParEmploye); });
    const Mesure complet = measure("  the same through a full reading of the 1,000,000 lines", [&] {
        return rapport(big, EditionSemaine, p, LectureJournees::Mode::FichierComplet);
    });
    measure("EditionSemainePage (a page per employee), 1 week, big file",
            [&] { return rapport(big, EditionSemainePage, p, LectureJournees::Mode::ParEmploye); });
    measure("EditionSemaine, 5 weeks, big file", [&] {
        return rapport(big, EditionSemaine, semaines(lundi - 28, today), LectureJournees::Mode::ParEmploye);
    });

    const bool memes = std::memcmp(grand.empreinte, complet.empreinte, sizeof grand.empreinte) == 0 &&
                       std::memcmp(grand.empreinte, petit.empreinte, sizeof grand.empreinte) == 0;
    std::printf("big file / week-only file: %.2f; pages identical to the full reading and to the week-only file: "
                "%s\n",
                petit.secondes > 0 ? grand.secondes / petit.secondes : 0.0, memes ? "yes" : "NO");

    // The daily reports over 31 days and the period totals over a year.
    const qint32 debutMois = today - 30;
    const ParametresEdition mois =
        jours("Pointages Origine (1e ligne) et Utilisateur (3e ligne), totaux jours et employés, 1 à x jours",
              debutMois, today);
    measure("baseline: bare reading of 31 days' lines, big file", [&] { return lectureNue(big, debutMois, today); });
    const Mesure joursGrand = measure("EditionJours, 1,000 employees, 31 days, big file", [&] {
        return rapport(big, EditionJours, mois, LectureJournees::Mode::ParEmploye);
    });
    // Not the same pages: a generated file's first day holds no punch of the night before. The time tells
    // whether the cost follows the lines printed or the size of the file.
    const Mesure joursPetit = measure("EditionJours, 1,000 employees, 31 days, file of those days only", [&] {
        return rapport(month, EditionJours, mois, LectureJournees::Mode::ParEmploye);
    });
    const Mesure joursComplet = measure("  the same (big file) through a full reading of the 1,000,000 lines", [&] {
        return rapport(big, EditionJours, mois, LectureJournees::Mode::FichierComplet);
    });
    measure("EditionJoursPage (a page per employee), 31 days, big file",
            [&] { return rapport(big, EditionJoursPage, mois, LectureJournees::Mode::ParEmploye); });
    const qint32 debutAn = today - 364;
    const ParametresEdition an =
        jours("Total de la période par employé et total des employés, 1 à x jours", debutAn, today);
    measure("baseline: bare reading of a year's lines, big file", [&] { return lectureNue(big, debutAn, today); });
    const Mesure periode = measure("EditionTotalPeriode, 1,000 employees, 1 year, big file", [&] {
        return rapport(big, EditionTotalPeriode, an, LectureJournees::Mode::ParEmploye);
    });
    const Mesure periodeComplet = measure("  the same through a full reading of the 1,000,000 lines", [&] {
        return rapport(big, EditionTotalPeriode, an, LectureJournees::Mode::FichierComplet);
    });
    const bool joursMemes = std::memcmp(joursGrand.empreinte, joursComplet.empreinte, sizeof joursGrand.empreinte) == 0;
    const bool periodeMemes = std::memcmp(periode.empreinte, periodeComplet.empreinte, sizeof periode.empreinte) == 0;
    std::printf("EditionJours big file / days-only file: %.2f; pages identical to the full reading: EditionJours "
                "%s, EditionTotalPeriode %s\n",
                joursPetit.secondes > 0 ? joursGrand.secondes / joursPetit.secondes : 0.0, joursMemes ? "yes" : "NO",
                periodeMemes ? "yes" : "NO");
    return memes && joursMemes && periodeMemes ? 0 : 1;
}
