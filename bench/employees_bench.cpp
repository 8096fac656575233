// The employee windows on a large staff: the list opened on 9,999 employees and paged from the first to the
// last employee (the whole window under the offscreen platform, and the page reads alone), its memory beside
// the same list on 1,000 employees and beside the bare frame, and the form's day-line preparation of one
// employee over 90 days plus 5 weeks in a file of 1,000,000 day lines. Each case runs in a process of its
// own, so that its peak memory is its own.
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Employees.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "employees/FichierPersonnel.h"
#include "employees/PagePersonnel.h"
#include "employees/PreparationEmploye.h"
#include "employees/ReglesFiche.h"
#include "employees/windows/FenetresPersonnel.h"
#include "employees/windows/TablePersonnel.h"
#include "kipgen/Generator.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int Grand = 9999;
constexpr int Petit = 1000;
constexpr qint64 LignesJour = 1000000;

// CPU time of the process in ms: the machine is shared, so wall times are given beside it.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Current resident memory in MB.
double residentMo()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> champs = f.readAll().split(' ');
    return champs.size() > 1 ? champs[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// Runs the case in a child process; prints what it wrote and its peak resident memory.
void mesurer(const char* titre, const std::function<QString()>& travail)
{
    int tube[2];
    if (::pipe(tube) != 0)
        return;
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tube[0]);
        const QByteArray texte = travail().toUtf8();
        (void)::write(tube[1], texte.constData(), size_t(texte.size()));
        ::_exit(0);
    }
    ::close(tube[1]);
    QByteArray texte;
    char tampon[4096];
    ssize_t n;
    while ((n = ::read(tube[0], tampon, sizeof tampon)) > 0)
        texte.append(tampon, int(n));
    ::close(tube[0]);
    int status = 0;
    struct rusage usage = {};
    ::wait4(pid, &status, 0, &usage);
    std::printf("%s\n%s  peak memory %.1f MB\n", titre, texte.constData(), usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
}

bool generer(const QString& dir, int employes, qint64 lignes)
{
    gen::GenOptions o;
    o.dir = dir;
    o.employees = employes;
    o.weeks = 1;
    o.rawLines = 0;
    o.dayLines = lignes;
    o.today = Clock::today();
    const gen::GenResult r = gen::generateInstallation(o);
    if (!r.ok)
        std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
    return r.ok;
}

struct Serie
{
    std::vector<double> ms;  // wall
    std::vector<double> cpu; // CPU of the process
    // Measures one step.
    template <class F> void mesurer(F&& pas)
    {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        pas();
        cpu.push_back(cpuMs() - c);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    static QString chiffres(std::vector<double> t)
    {
        std::sort(t.begin(), t.end());
        if (t.empty())
            return {};
        return QStringLiteral("median %1, 99th %2, max %3 ms")
            .arg(t[t.size() / 2], 0, 'f', 3)
            .arg(t[std::min(t.size() - 1, t.size() * 99 / 100)], 0, 'f', 3)
            .arg(t.back(), 0, 'f', 3);
    }
    QString resume(const char* quoi) const
    {
        if (ms.empty())
            return {};
        return QStringLiteral("  %1: %2 steps, wall %3; CPU %4\n")
            .arg(QLatin1String(quoi))
            .arg(ms.size())
            .arg(chiffres(ms), chiffres(cpu));
    }
};

// The list window in the frame, under the offscreen platform: opened, then paged down to the last employee.
QString listeFenetre(const QString& dir, bool ouvrirListe)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setPaths(Paths::forInstallation(dir));
    int argc = 1;
    char nomProgramme[] = "employees_bench";
    char* argv[] = {nomProgramme, nullptr};
    QApplication app(argc, argv);
    enregistrerFenetresPersonnel();
    Cadre cadre(Program::Kip, 0, [] {});
    cadre.resize(1140, 720);
    cadre.show();
    QCoreApplication::processEvents();
    const double avant = residentMo();
    if (!ouvrirListe)
        return QStringLiteral("  frame alone: resident %1 MB").arg(avant, 0, 'f', 1);
    TablePersonnel* liste = nullptr;
    Serie ouverture;
    ouverture.mesurer([&] {
        liste = qobject_cast<TablePersonnel*>(ouvrirFenetre(nom::TablePersonnel, cadre));
        if (!liste)
            return;
        QCoreApplication::processEvents();
        liste->vue()->viewport()->repaint();
    });
    if (!liste)
        return QStringLiteral("  the list did not open");
    const double ouverte = residentMo();
    Serie pages;
    for (int garde = 0; garde < 100000; ++garde) {
        const qint64 courant = liste->page().employeCourant()->rowid;
        pages.mesurer([&] {
            QKeyEvent touche(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QCoreApplication::sendEvent(liste->vue(), &touche);
            liste->vue()->viewport()->repaint();
        });
        if (liste->page().employeCourant()->rowid == courant) {
            pages.ms.pop_back();
            pages.cpu.pop_back();
            break;
        }
    }
    return QStringLiteral("  first page shown (%1 rows): wall %2 ms, CPU %3 ms\n%4  resident: frame %5 MB, list "
                          "open %6 MB, after the last page %7 MB")
        .arg(liste->page().taille())
        .arg(ouverture.ms.front(), 0, 'f', 2)
        .arg(ouverture.cpu.front(), 0, 'f', 2)
        .arg(pages.resume("page down, read and painted"))
        .arg(avant, 0, 'f', 1)
        .arg(ouverte, 0, 'f', 1)
        .arg(residentMo(), 0, 'f', 1);
}

// The page reads alone, in each order.
QString lecturesSeules(const QString& dir)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    QString out;
    for (auto [ordre, nom] : {std::pair{OrdrePersonnel::Nom, "name"},
                              {OrdrePersonnel::Carte, "card"},
                              {OrdrePersonnel::Matricule, "matricule"}}) {
        Serie premiere;
        std::unique_ptr<PagePersonnel> page;
        bool lu = true;
        premiere.mesurer([&] {
            page = std::make_unique<PagePersonnel>(db, ordre, 12);
            lu = page->calculerPositions().ok() && page->allerDebut().ok();
        });
        if (!lu)
            return QStringLiteral("  read error");
        Serie pas;
        for (;;) {
            const qint64 courant = page->employeCourant()->rowid;
            pas.mesurer([&] { lu = page->deplacer(page->taille()).ok(); });
            if (!lu)
                return QStringLiteral("  read error");
            if (page->employeCourant()->rowid == courant) {
                pas.ms.pop_back();
                pas.cpu.pop_back();
                break;
            }
        }
        Serie positions;
        for (int p = 1; p <= PositionsDefilement && lu; ++p)
            positions.mesurer([&] { lu = page->allerPosition(p).ok(); });
        out += QStringLiteral("  %1 order: first page (positions and rows) wall %2 ms, CPU %3 ms\n")
                   .arg(QLatin1String(nom))
                   .arg(premiere.ms.front(), 0, 'f', 3)
                   .arg(premiere.cpu.front(), 0, 'f', 3);
        out += pas.resume("  page down") + positions.resume("  scroll-bar position");
    }
    out.chop(1);
    return out;
}

// Deletes the employee who holds the card, with its day lines (the generated staff holds every card).
bool liberer(Database& db, qint16 carte)
{
    RecordFile<Personnel> employes(db);
    Personnel p;
    p.CARTE = carte;
    if (!employes.open().ok())
        return false;
    const FileError lu = employes.get(p, PER_K_CARTE);
    if (lu.code == NotFound)
        return true;
    return lu.ok() && deleteEmployee(db, p).ok();
}

// The preparation of one employee's day lines after the form stored it.
QString preparation(const QString& dir)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    const qint32 aujourdhui = Clock::today();
    Serie nouveau, cinqSemaines, periodes;
    for (int i = 0; i < 9; ++i) {
        // A new employee: no line yet, so up to the Sunday of this week.
        Personnel p = nouvelEmploye(aujourdhui);
        p.CARTE = qint16(Grand - 200 + i);
        p.NOM = QStringLiteral("NOUVEAU%1").arg(i);
        p.MATRICULE = QStringLiteral("N%1").arg(i);
        p.DATE_EMBAUCHE = aujourdhui - 200;
        if (!liberer(db, p.CARTE))
            return QStringLiteral("  card not freed");
        if (!ajouterEmploye(db, p))
            return QStringLiteral("  insert failed");
        PreparationJournees r;
        nouveau.mesurer([&] { r = preparerJourneesEmploye(db, p, aujourdhui); });
        if (!r.erreur.ok())
            return r.erreur.description();
        // Its lines reach five weeks ahead: 90 days plus 5 weeks, most of them already there.
        {
            RecordFile<PointVal> f(db);
            PointVal v;
            v.clearPunches();
            v.CARTE = p.CARTE;
            v.NOM = p.NOM;
            v.PRENOM = p.PRENOM;
            v.MATRICULE = p.MATRICULE;
            v.DATE = aujourdhui + 35;
            if (!f.open().ok() || !f.add(v).ok())
                return QStringLiteral("  line not added");
        }
        cinqSemaines.mesurer([&] { r = preparerJourneesEmploye(db, p, aujourdhui); });
        if (!r.erreur.ok())
            return r.erreur.description();
        // A new inactivity period over the last month: lines rewritten.
        p.PERIODE_INACTIVITE_DEBUT[0] = aujourdhui - 30;
        p.PERIODE_INACTIVITE_FIN[0] = aujourdhui;
        periodes.mesurer([&] { r = preparerJourneesEmploye(db, p, aujourdhui); });
        if (!r.erreur.ok())
            return r.erreur.description();
    }
    // The writes that run on the GUI thread: a delete of a generated employee with its ~100 day lines, and a
    // change of card carried into ~125 day lines.
    Serie cascade, suppression;
    RecordFile<Personnel> employes(db);
    for (int i = 0; i < 9; ++i) {
        Personnel p;
        p.CARTE = qint16(Grand - 200 + i);
        if (!employes.get(p, PER_K_CARTE).ok())
            return QStringLiteral("  employee not found");
        const qint16 nouvelle = qint16(Grand - 100 + i);
        bool fait = false;
        suppression.mesurer([&] { fait = liberer(db, nouvelle); });
        if (!fait)
            return QStringLiteral("  delete failed");
        const LinkValues liens = LinkValues::of(p);
        p.CARTE = nouvelle;
        cascade.mesurer([&] { fait = updateEmployee(db, p, liens).ok(); });
        if (!fait)
            return QStringLiteral("  update failed");
    }
    QString out = nouveau.resume("new employee, today - 90 to Sunday") +
                  cinqSemaines.resume("lines to today + 35 (90 days plus 5 weeks)") +
                  periodes.resume("same, after a new period (lines rewritten)") +
                  suppression.resume("delete of an employee with its ~100 day lines") +
                  cascade.resume("change of card carried into ~125 day lines");
    out.chop(1);
    return out;
}

} // namespace

int main()
{
    Clock::setToday(dayNumber(QDate::currentDate()));
    QTemporaryDir tmp;
    const QString grand = tmp.path() + QStringLiteral("/a/Kip");
    const QString petit = tmp.path() + QStringLiteral("/b/Kip");
    QElapsedTimer t;
    t.start();
    if (!generer(grand, Grand, LignesJour) || !generer(petit, Petit, 0))
        return 1;
    std::printf("installations generated in %.1f s (%d employees and %lld day lines; %d employees)\n",
                t.nsecsElapsed() / 1e9, Grand, static_cast<long long>(LignesJour), Petit);
    std::printf("targets: first page within 50 ms, a page step within 5 ms, the preparation within 100 ms, memory "
                "that does not grow with the number of employees\n\n");

    mesurer("bare frame (baseline), offscreen", [&] { return listeFenetre(grand, false); });
    mesurer("list window on 1,000 employees, name order, paged to the end", [&] { return listeFenetre(petit, true); });
    mesurer("list window on 9,999 employees, name order, paged to the end", [&] { return listeFenetre(grand, true); });
    mesurer("page reads alone on 9,999 employees, 12 rows", [&] { return lecturesSeules(grand); });
    mesurer("day-line preparation of one employee, 9,999 employees and 1,000,000 day lines",
            [&] { return preparation(grand); });
    return 0;
}
