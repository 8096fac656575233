// The punch list and the correction grid on 1,000 employees and 1,000,000 day lines: the list's first page in
// each of its four orders (over the whole file, and over the range it opens on), a page step, the jump to the
// last page and the attendance filter, then the grid's week load (the seven lines prepared, then read) and
// its save of seven changed days. Each figure stands beside the same read or write made with bare SQLite on
// the same file. Each installation runs in a process of its own, so that its peak memory is its own; the
// same cases on 100,000 day lines show whether memory grows with the file.
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "correction/FichierCorrection.h"
#include "correction/GrilleSemaine.h"
#include "correction/PagePointage.h"
#include "correction/PasseSauvegarde.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "kipgen/Generator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int Employes = 1000;
constexpr int TaillePage = 20;
constexpr int Pas = 200;

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
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
    std::printf("%s\n%s  peak memory %.1f MB\n\n", titre, texte.constData(), usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
}

struct Serie
{
    std::vector<double> ms;
    std::vector<double> cpu;
    template <class F> void mesurer(F&& pas)
    {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        pas();
        cpu.push_back(cpuMs() - c);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    static QString chiffres(std::vector<double> t)
    {
        std::sort(t.begin(), t.end());
        if (t.empty())
            return QStringLiteral("-");
        if (t.size() == 1)
            return QStringLiteral("%1 ms").arg(t[0], 0, 'f', 3);
        return QStringLiteral("median %1, 99th %2, max %3 ms")
            .arg(t[t.size() / 2], 0, 'f', 3)
            .arg(t[std::min(t.size() - 1, t.size() * 99 / 100)], 0, 'f', 3)
            .arg(t.back(), 0, 'f', 3);
    }
    QString resume(const QString& quoi, const Serie* base = nullptr) const
    {
        QString s = QStringLiteral("  %1: wall %2 (CPU %3)").arg(quoi, chiffres(ms), chiffres(cpu));
        if (base)
            s += QStringLiteral("; bare SQLite %1").arg(chiffres(base->ms));
        return s + u'\n';
    }
};

bool generer(const QString& dir, qint64 lignes)
{
    gen::GenOptions o;
    o.dir = dir;
    o.employees = Employes;
    o.weeks = 1;
    o.rawLines = 0;
    o.dayLines = lignes;
    o.today = Clock::today();
    const gen::GenResult r = gen::generateInstallation(o);
    if (!r.ok)
        std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
    return r.ok;
}

// The bare reads and writes: one statement prepared per call, as the list prepares its own.
struct Brut
{
    sqlite3* db = nullptr;
    explicit Brut(const QString& fichier) { sqlite3_open(fichier.toUtf8().constData(), &db); }
    ~Brut() { sqlite3_close(db); }
    // Runs the query with the integer parameters; returns the rows read, remembering the last (DATE, CARTE).
    int lire(const char* sql, std::initializer_list<qint64> valeurs, qint64* date = nullptr, qint64* carte = nullptr)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            return -1;
        int i = 1;
        for (qint64 v : valeurs)
            sqlite3_bind_int64(st, i++, v);
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++n;
            // Every column fetched, as the record store decodes them all.
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                (void)sqlite3_column_blob(st, c);
            if (date)
                *date = sqlite3_column_int64(st, 0);
            if (carte)
                *carte = sqlite3_column_int64(st, 1);
        }
        sqlite3_finalize(st);
        return n;
    }
    void executer(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

QString liste(const QString& dir)
{
    setPaths(Paths::forInstallation(dir));
    Database db(paths().dataDir);
    const qint32 aujourdhui = Clock::today();
    PlagePointage tout;
    tout.dateDebut = std::numeric_limits<qint32>::min() / 2;
    tout.dateFin = std::numeric_limits<qint32>::max() / 2;
    tout.carteDebut = std::numeric_limits<qint16>::min();
    tout.carteFin = std::numeric_limits<qint16>::max();
    PlagePointage ouverture = tout;
    ouverture.dateDebut = LundiDimanche(aujourdhui).lundi;
    ouverture.dateFin = aujourdhui;
    QString out;
    const struct
    {
        OrdrePointage ordre;
        const char* nom;
    } ordres[] = {{OrdrePointage::DateCarte, "by date and card"},
                  {OrdrePointage::CarteDate, "by card and date"},
                  {OrdrePointage::DateNom, "by date and name"},
                  {OrdrePointage::NomDate, "by name and date"}};
    for (const auto& o : ordres) {
        Serie premiere, premiereOuverture, pas, fin, egal;
        std::unique_ptr<PagePointage> page;
        bool lu = true;
        premiere.mesurer([&] {
            page = std::make_unique<PagePointage>(db, o.ordre, tout, TaillePage);
            lu = page->calculerPositions().ok() && page->allerDebut().ok();
        });
        for (int i = 0; i < Pas && lu; ++i)
            pas.mesurer([&] { lu = page->deplacer(TaillePage).ok(); });
        fin.mesurer([&] { lu = lu && page->allerFin().ok(); });
        premiereOuverture.mesurer([&] {
            PagePointage p(db, o.ordre, ouverture, TaillePage);
            lu = lu && p.calculerPositions().ok() && p.allerDebut().ok();
        });
        PlagePointage filtre = tout;
        filtre.presence = Presence::PairsEgal;
        egal.mesurer([&] {
            PagePointage p(db, o.ordre, filtre, TaillePage);
            lu = lu && p.calculerPositions().ok() && p.allerDebut().ok();
        });
        if (!lu)
            return QStringLiteral("  read error");
        out += QStringLiteral(" %1 (%2 rows a page)\n").arg(QLatin1String(o.nom)).arg(TaillePage);
        out += premiere.resume(QStringLiteral("first page, whole file (scroll positions and rows)"));
        out += premiereOuverture.resume(QStringLiteral("first page, this week to today"));
        out += pas.resume(QStringLiteral("page step (%1 steps)").arg(Pas));
        out += fin.resume(QStringLiteral("last page"));
        out += egal.resume(QStringLiteral("first page, filter \"égal au prévu\""));
    }

    // The same reads in date and card order with bare SQLite.
    Brut brut(paths().file(FileId::PointVal));
    Serie bPremiere, bPas, bFin;
    qint64 date = 0, carte = 0;
    const QByteArray colonnes = "DATE, CARTE, *";
    const QByteArray debut = "SELECT " + colonnes +
                             " FROM POINTVAL WHERE INACTIF = 0 AND DATE BETWEEN ?1 AND ?2 AND "
                             "CARTE BETWEEN ?3 AND ?4";
    const QByteArray premiers = debut + " ORDER BY DATE, CARTE LIMIT 20";
    const QByteArray suivants = debut + " AND (DATE, CARTE) > (?5, ?6) ORDER BY DATE, CARTE LIMIT 20";
    const QByteArray derniers = debut + " ORDER BY DATE DESC, CARTE DESC LIMIT 20";
    bPremiere.mesurer([&] {
        brut.lire(premiers.constData(), {tout.dateDebut, tout.dateFin, tout.carteDebut, tout.carteFin}, &date, &carte);
    });
    for (int i = 0; i < Pas; ++i)
        bPas.mesurer([&] {
            brut.lire(suivants.constData(), {tout.dateDebut, tout.dateFin, tout.carteDebut, tout.carteFin, date, carte},
                      &date, &carte);
        });
    bFin.mesurer([&] {
        brut.lire(derniers.constData(), {tout.dateDebut, tout.dateFin, tout.carteDebut, tout.carteFin});
    });
    out += QStringLiteral(" bare SQLite, by date and card\n");
    out += bPremiere.resume(QStringLiteral("first page"));
    out += bPas.resume(QStringLiteral("page step (%1 steps)").arg(Pas));
    out += bFin.resume(QStringLiteral("last page"));
    out.chop(1);
    return out;
}

QString grille(const QString& dir)
{
    setPaths(Paths::forInstallation(dir));
    ScriptedPresenter presenter;
    setMessagePresenter(&presenter);
    Database db(paths().dataDir);
    Brut brut(paths().file(FileId::PointVal));
    const qint32 lundi = LundiDimanche(Clock::today()).lundi;
    Serie charge, sauve, bCharge, bSauve;
    RecordFile<Personnel> employes(db);
    if (!employes.open().ok())
        return QStringLiteral("  open error");
    Cursor<Personnel> c = employes.readAll();
    Personnel p;
    std::vector<Personnel> tous;
    while (c.next(p).ok())
        tous.push_back(p);
    for (size_t i = 0; i < tous.size() && i < 100; ++i) {
        const Personnel& e = tous[i * 7 % tous.size()];
        const qint32 semaine = lundi - 7 * qint32(i % 40);
        SemaineLue lue;
        FileError erreur;
        charge.mesurer([&] { erreur = chargerSemaine(db, e, semaine, lue); });
        if (!erreur.ok())
            return QStringLiteral("  load error: ") + erreur.description();
        GrilleSemaine g;
        g.charger(e, semaine, lue.lignes);
        for (int j = 0; j < JoursSemaine; ++j)
            if (!g.jour(j).cache) {
                (void)g.saisir(j, 0, QStringLiteral("7.%1").arg(int(i % 50 + 10)));
                (void)g.saisir(j, 1, QStringLiteral("16"));
            }
        ModeSauvegarde mode = ModeSauvegarde::SaveAuto;
        IssuePasse issue;
        sauve.mesurer([&] { issue = passeSauvegarde(db, g, mode); });
        if (issue.etat != IssuePasse::Enregistree && issue.etat != IssuePasse::RienAEcrire)
            return QStringLiteral("  save failed");
        bCharge.mesurer([&] {
            brut.lire("SELECT DATE, CARTE, * FROM POINTVAL WHERE CARTE = ?1 AND DATE BETWEEN ?2 AND ?3",
                      {e.CARTE, semaine, semaine + 6});
        });
        bSauve.mesurer([&] {
            brut.executer("BEGIN IMMEDIATE");
            for (int j = 0; j < JoursSemaine; ++j) {
                const QByteArray sql = QStringLiteral("UPDATE POINTVAL SET TOTAL = %1, MODIF = 1 WHERE CARTE = %2 AND "
                                                      "DATE = %3")
                                           .arg(480 + j)
                                           .arg(e.CARTE)
                                           .arg(semaine + j)
                                           .toUtf8();
                brut.executer(sql.constData());
            }
            brut.executer("COMMIT");
        });
    }
    setMessagePresenter(nullptr);
    QString out = charge.resume(QStringLiteral("week load (seven lines prepared, then read)"), &bCharge) +
                  sauve.resume(QStringLiteral("week save (seven changed days, one transaction)"), &bSauve);
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
    if (!generer(grand, 1000000) || !generer(petit, 100000))
        return 1;
    std::printf("installations generated in %.1f s (%d employees with 1,000,000 and with 100,000 day lines)\n",
                double(t.nsecsElapsed()) / 1e9, Employes);
    std::printf("targets: first page within 50 ms, a page step within 5 ms, a week loaded within 20 ms and saved "
                "within 20 ms, memory flat in the file's size\n\n");
    mesurer("punch list, 1,000,000 day lines", [&] { return liste(grand); });
    mesurer("punch list, 100,000 day lines", [&] { return liste(petit); });
    mesurer("correction grid, 1,000,000 day lines, 100 weeks", [&] { return grille(grand); });
    mesurer("correction grid, 100,000 day lines, 100 weeks", [&] { return grille(petit); });
    return 0;
}
