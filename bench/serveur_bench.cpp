// The moves between the SQLite files and the server, and the store's round trips over a slow network. An
// installation of 1,000,000 day lines imported onto the server and exported back (kiptool serveur importer and
// exporter), each timed, with the counts and the week totals compared before and after; then a small relay that
// adds 20 ms each way between libpq and the server, through which a page of the punch list and the transfer of
// 10,000 raw lines are timed beside a bare libpq round trip. Needs a server: KIP_TEST_PGHOST, the socket
// directory of scripts/serveur-essai. Options: --lignes N (day lines, 1,000,000), --brutes N (raw lines, 10,000).
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "correction/PagePointage.h"
#include "data/Base.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/ServerConnection.h"
#include "data/ServerSetup.h"
#include "kipgen/Generator.h"
#include "punch/TransfertPointages.h"
#include "reports/TotauxSemaines.h"
#include "utilities/PassageServeur.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <libpq-fe.h>
#include <limits>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace kip;
using Horloge = std::chrono::steady_clock;

namespace {

QString g_socket;

void exec(const QString& base, const QString& sql)
{
    PGconn* c = PQconnectdb(QStringLiteral("host=%1 user=postgres dbname=%2").arg(g_socket, base).toUtf8().constData());
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s: %s", qPrintable(sql), PQresultErrorMessage(r));
    PQclear(r);
    PQfinish(c);
}

// One direction of a relayed connection: what is read is written out delaiMs later, in order, so that the delay
// adds to every round trip without limiting the bytes per second.
struct Sens
{
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::pair<Horloge::time_point, std::string>> file;
    bool fin = false;
};

void lire(int de, std::shared_ptr<Sens> s, std::chrono::milliseconds delai)
{
    char tampon[65536];
    for (;;) {
        const ssize_t n = ::read(de, tampon, sizeof tampon);
        std::lock_guard<std::mutex> verrou(s->m);
        if (n <= 0) {
            s->fin = true;
            s->cv.notify_all();
            return;
        }
        s->file.emplace_back(Horloge::now() + delai, std::string(tampon, size_t(n)));
        s->cv.notify_all();
    }
}

void ecrire(int vers, std::shared_ptr<Sens> s)
{
    for (;;) {
        std::unique_lock<std::mutex> verrou(s->m);
        s->cv.wait(verrou, [&] { return s->fin || !s->file.empty(); });
        if (s->file.empty()) {
            ::shutdown(vers, SHUT_WR);
            return;
        }
        auto [quand, octets] = std::move(s->file.front());
        s->file.pop_front();
        verrou.unlock();
        std::this_thread::sleep_until(quand);
        for (size_t fait = 0; fait < octets.size();) {
            const ssize_t n = ::write(vers, octets.data() + fait, octets.size() - fait);
            if (n <= 0)
                return;
            fait += size_t(n);
        }
    }
}

int socketUnix(const QString& chemin, bool ecoute)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const QByteArray c = QFile::encodeName(chemin);
    std::snprintf(a.sun_path, sizeof a.sun_path, "%s", c.constData());
    const auto* adresse = reinterpret_cast<const sockaddr*>(&a);
    if (ecoute ? (::bind(fd, adresse, sizeof a) != 0 || ::listen(fd, 16) != 0)
               : ::connect(fd, adresse, sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The relay: a socket directory of its own for libpq's host=, each connection passed on to the real server.
class Relais
{
public:
    explicit Relais(std::chrono::milliseconds delai) : m_delai(delai)
    {
        m_ecoute = socketUnix(m_dir.path() + QStringLiteral("/.s.PGSQL.5432"), true);
        m_accueil = std::thread([this] { accueillir(); });
    }
    ~Relais()
    {
        m_fin = true;
        m_accueil.join();
        ::close(m_ecoute);
    }
    QString repertoire() const { return m_dir.path(); }

private:
    void accueillir()
    {
        while (!m_fin) {
            pollfd p{m_ecoute, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const int client = ::accept4(m_ecoute, nullptr, nullptr, SOCK_CLOEXEC);
            const int serveur = socketUnix(g_socket + QStringLiteral("/.s.PGSQL.5432"), false);
            if (client < 0 || serveur < 0)
                continue;
            // Each connection lives until both sides end; its threads own what they use.
            auto aller = std::make_shared<Sens>(), retour = std::make_shared<Sens>();
            std::thread(lire, client, aller, m_delai).detach();
            std::thread(ecrire, serveur, aller).detach();
            std::thread(lire, serveur, retour, m_delai).detach();
            std::thread(ecrire, client, retour).detach();
        }
    }

    QTemporaryDir m_dir;
    std::chrono::milliseconds m_delai;
    int m_ecoute = -1;
    std::atomic<bool> m_fin{false};
    std::thread m_accueil;
};

// The records' counts and the week totals report's numbers of the whole period, as text.
struct Empreinte
{
    qint64 journees = 0, employes = 0;
    qint64 semaines = 0, totalArrondi = 0;
    bool lu = false;
    bool operator==(const Empreinte&) const = default;
    QString texte() const
    {
        return QStringLiteral("%1 day lines, %2 employees, %3 weeks, rounded total %4 min%5")
            .arg(journees)
            .arg(employes)
            .arg(semaines)
            .arg(totalArrondi)
            .arg(lu ? QString() : QStringLiteral(" (READ FAILED)"));
    }
};

Empreinte empreinte(const QString& dataDir)
{
    Empreinte e;
    Database db(dataDir);
    (void)db.attach("POINTVAL", QDir(dataDir).filePath(tableOf(FileId::PointVal).fileName));
    (void)db.attach("PERSONNEL", QDir(dataDir).filePath(tableOf(FileId::Personnel).fileName));
    e.lu = db.run(QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL"), {}, &e.journees).ok() &&
           db.run(QStringLiteral("SELECT count(*) FROM PERSONNEL.PERSONNEL"), {}, &e.employes).ok();
    ParametresEdition p;
    p.carteDebut = 0;
    p.carteFin = 9999;
    p.dateDebut = 1;
    p.dateFin = std::numeric_limits<qint32>::max() / 2;
    std::vector<TotauxSemainesEmploye> totaux;
    e.lu = e.lu && CalculerTotauxSemaines(db, p, totaux).issue == ResultatEdition::Issue::Complete;
    for (const TotauxSemainesEmploye& t : totaux) {
        e.semaines += qint64(t.semaines.size());
        e.totalArrondi += t.total;
    }
    return e;
}

double secondes(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e9;
}

QString nouvelleBase(const QString& suffixe)
{
    const QString nom = QStringLiteral("kip_sbench_%1_%2").arg(::getpid()).arg(suffixe);
    exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(nom));
    setStoreServer(QStringLiteral("host=%1 user=postgres dbname=%2").arg(g_socket, nom));
    const ResultatCreation r = creerBaseServeur(QStringLiteral("kip_poste"));
    if (!r.erreur.ok())
        std::fprintf(stderr, "creer: %s\n", qPrintable(r.erreur.description()));
    ServerConnection::closePool(storeServer());
    setStoreServer(QString());
    return nom;
}

bool generer(const QString& dir, qint64 journees, qint64 brutes)
{
    gen::GenOptions o;
    o.dir = dir;
    o.employees = 1000;
    o.weeks = 2;
    o.today = Clock::today();
    o.dayLines = journees;
    o.rawLines = brutes;
    const gen::GenResult r = gen::generateInstallation(o);
    if (!r.ok)
        std::fprintf(stderr, "kipgen: %s\n", qPrintable(r.error));
    return r.ok;
}

// The import of a large installation and its export back.
void importExport(qint64 lignes, const QString& base)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    if (!generer(dir, lignes, 0))
        return;
    const Paths p = Paths::forInstallation(dir);
    setPaths(p);
    const Empreinte avant = empreinte(p.dataDir);
    const QString conninfo = QStringLiteral("host=%1 user=postgres dbname=%2").arg(g_socket, base);
    QElapsedTimer t;
    t.start();
    const ResultatPassage importe = ImporterSurServeur(p, conninfo, false);
    const double sImport = secondes(t);
    if (!importe.fait)
        std::fprintf(stderr, "importer: %s\n", qPrintable(importe.textes.join(u' ')));
    (void)chooseStore(p.dataDir);
    const Empreinte surServeur = empreinte(p.dataDir);
    t.restart();
    const QString retour = tmp.path() + QStringLiteral("/retour");
    const ResultatPassage exporte = ExporterDuServeur(p, retour);
    const double sExport = secondes(t);
    if (!exporte.fait)
        std::fprintf(stderr, "exporter: %s\n", qPrintable(exporte.textes.join(u' ')));
    setStoreServer(QString());
    const Empreinte exportee = empreinte(retour);
    std::printf("import of %lld day lines onto the server: %.1f s (%.0f lines/s), target 60 s\n",
                static_cast<long long>(avant.journees), sImport, avant.journees / sImport);
    std::printf("export back to SQLite files:            %.1f s (%.0f lines/s), target 60 s\n", sExport,
                avant.journees / sExport);
    std::printf("  files:    %s\n  server:   %s %s\n  exported: %s %s\n", qPrintable(avant.texte()),
                qPrintable(surServeur.texte()), surServeur == avant ? "EQUAL" : "DIFFERENT",
                qPrintable(exportee.texte()), exportee == avant ? "EQUAL" : "DIFFERENT");
    std::fflush(stdout);
    ServerConnection::closePool(conninfo);
}

// A page of the punch list and the transfer of raw lines through the relay, beside one bare round trip.
void aDistance(qint64 brutes, const QString& grande, const QString& petite)
{
    Relais relais(std::chrono::milliseconds(20));
    const QString lointaine = QStringLiteral("host=%1 user=postgres dbname=%2").arg(relais.repertoire(), grande);
    QElapsedTimer t;
    {
        PGconn* c = PQconnectdb(lointaine.toUtf8().constData());
        PQclear(PQexec(c, "SELECT 1"));
        t.start();
        PGresult* r = PQexec(c, "SELECT * FROM POINTVAL.POINTVAL ORDER BY DATE, CARTE LIMIT 20");
        const double sBrut = secondes(t);
        std::printf("through the relay (20 ms each way): one bare libpq round trip (a page of 20 rows): %.0f ms, "
                    "%d rows\n",
                    sBrut * 1000, PQntuples(r));
        PQclear(r);
        PQfinish(c);
    }
    setStoreServer(lointaine);
    {
        Database db(QString{});
        PlagePointage tout;
        tout.dateDebut = std::numeric_limits<qint32>::min() / 2;
        tout.dateFin = std::numeric_limits<qint32>::max() / 2;
        tout.carteDebut = std::numeric_limits<qint16>::min();
        tout.carteFin = std::numeric_limits<qint16>::max();
        (void)db.exec(QStringLiteral("SELECT 1")); // the connection made before the clock starts
        const qint64 allers = serverRoundTrips();
        t.restart();
        PagePointage page(db, OrdrePointage::DateCarte, tout, 20);
        const bool lu = page.calculerPositions().ok() && page.allerDebut().ok();
        const double sPage = secondes(t);
        const qint64 allersPage = serverRoundTrips() - allers;
        t.restart();
        const bool suivante = page.deplacer(20).ok();
        const double sSuivante = secondes(t);
        std::printf("  first page of the punch list (scroll positions and rows): %.0f ms, %lld round trips%s; "
                    "target 100 ms\n",
                    sPage * 1000, static_cast<long long>(allersPage), lu ? "" : " READ FAILED");
        // The same page made again: its statements are prepared on the connection already.
        const qint64 allersAvant = serverRoundTrips();
        t.restart();
        PagePointage encore(db, OrdrePointage::DateCarte, tout, 20);
        const bool reluEncore = encore.calculerPositions().ok() && encore.allerDebut().ok();
        const double sEncore = secondes(t);
        std::printf("  the same first page again, statements prepared: %.0f ms, %lld round trips%s\n", sEncore * 1000,
                    static_cast<long long>(serverRoundTrips() - allersAvant), reluEncore ? "" : " READ FAILED");
        std::printf("  next page: %.0f ms%s\n", sSuivante * 1000, suivante ? "" : " READ FAILED");
    }
    ServerConnection::closePool(lointaine);
    setStoreServer(QString());

    // The transfer: an installation of 1,000 employees and its raw lines, imported onto its own database.
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    if (!generer(dir, 0, brutes))
        return;
    const Paths p = Paths::forInstallation(dir);
    setPaths(p);
    const QString directe = QStringLiteral("host=%1 user=postgres dbname=%2").arg(g_socket, petite);
    if (const ResultatPassage r = ImporterSurServeur(p, directe, false); !r.fait)
        std::fprintf(stderr, "importer: %s\n", qPrintable(r.textes.join(u' ')));
    ServerConnection::closePool(directe);
    setStoreServer(QStringLiteral("host=%1 user=postgres dbname=%2").arg(relais.repertoire(), petite));
    {
        Database db(p.dataDir);
        (void)db.exec(QStringLiteral("SELECT 1"));
        const qint64 allers = serverRoundTrips();
        t.restart();
        const ResultatTransfert r = TransfererPointages(db, p.origin(0), Clock::today());
        const double s = secondes(t);
        std::printf("  transfer of %lld raw lines: %.2f s (%.0f lines/s), %d stored, %lld round trips%s; "
                    "target 10 s\n",
                    static_cast<long long>(brutes), s, r.lignes / s, r.stockes,
                    static_cast<long long>(serverRoundTrips() - allers), r.erreur.ok() ? "" : " FAILED");
    }
    ServerConnection::closePool(storeServer());
    setStoreServer(QString());
    std::fflush(stdout);
}

qint64 option(const QStringList& args, const QString& nom, qint64 defaut)
{
    const qsizetype i = args.indexOf(nom);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toLongLong() : defaut;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_socket = qEnvironmentVariable("KIP_TEST_PGHOST");
    if (g_socket.isEmpty()) {
        std::fprintf(stderr, "KIP_TEST_PGHOST: the socket directory of a server (scripts/serveur-essai start)\n");
        return 2;
    }
    Clock::setToday(dayNumber(QDate::currentDate()));
    const QStringList args = app.arguments();
    const QString grande = nouvelleBase(QStringLiteral("grande")), petite = nouvelleBase(QStringLiteral("petite"));
    importExport(option(args, QStringLiteral("--lignes"), 1000000), grande);
    aDistance(option(args, QStringLiteral("--brutes"), 10000), grande, petite);
    for (const QString& base : {grande, petite})
        exec(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(base));
    return 0;
}
