// The store on the server beside a bare libpq loop doing the same statements in the same run: bulk insert of day
// lines, key reads, an ordered scan; then the transfer of raw lines, with the round trips it makes. Needs a
// server: KIP_TEST_PGHOST, the socket directory of scripts/serveur-essai (a database of its own is made there).
#include "calendar/Clock.h"
#include "data/Base.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ServerAdmin.h"
#include "data/ServerConnection.h"
#include "data/ServerEngine.h"
#include "data/Transaction.h"
#include "kipgen/Generator.h"
#include "punch/TransfertPointages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int DayLines = 1000000;
constexpr int KeyReads = 5000;
constexpr int Batch = 2000;

QString g_conninfo;

PGconn* bare()
{
    PGconn* c = PQconnectdb(g_conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK)
        std::fprintf(stderr, "%s", PQerrorMessage(c));
    return c;
}

void exec(PGconn* c, const char* sql)
{
    PGresult* r = PQexec(c, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s: %s", sql, PQresultErrorMessage(r));
    PQclear(r);
}

void row(const char* what, double store, double baseline, const char* unit)
{
    std::printf("%-44s store %10.0f %-7s bare libpq %10.0f %-7s ratio %.2f\n", what, store, unit, baseline, unit,
                baseline / store);
    std::fflush(stdout);
}

PointVal ligne(int i)
{
    PointVal v;
    v.clearPunches();
    v.CARTE = qint16(1 + i % 1000);
    v.DATE = 70000 + i / 1000;
    v.NOM = QStringLiteral("NOM%1").arg(i % 1000);
    v.PRENOM = QStringLiteral("Prénom");
    v.POINTAGE_ORIGINE[0] = 480;
    return v;
}

// The bare loop: the store's own insert text, prepared once, sent in pipelines of Batch rows in one transaction.
double bareInsert(int offset)
{
    PGconn* c = bare();
    const TableDecl& t = tableOf<PointVal>();
    PGresult* p = PQprepare(c, "ins", ServerEngine::translate(t.sql.insert).constData(), 0, nullptr);
    PQclear(p);
    QElapsedTimer timer;
    timer.start();
    exec(c, "BEGIN");
    PQenterPipelineMode(c);
    for (int i = 0; i < DayLines; i += Batch) {
        for (int k = i; k < std::min(DayLines, i + Batch); ++k) {
            const PointVal v = ligne(offset + k);
            QByteArray vals[14];
            int n = 0;
            vals[n++] = QByteArray::number(v.CARTE);
            vals[n++] = v.MATRICULE.toUtf8();
            vals[n++] = v.NOM.toUtf8();
            vals[n++] = v.PRENOM.toUtf8();
            vals[n++] = QByteArray::number(v.DATE);
            vals[n++] = QByteArray::number(v.NUM_SEMAINE);
            vals[n++] = QByteArray::number(v.NUM_ANNEE);
            vals[n++] = QByteArray::number(v.TOTAL);
            vals[n++] = QByteArray::number(v.MODIF);
            vals[n++] = QByteArray::number(v.INACTIF);
            vals[n++] = QByteArray(reinterpret_cast<const char*>(v.TERMINAL.data()), sizeof v.TERMINAL);
            vals[n++] = QByteArray(reinterpret_cast<const char*>(v.POINTAGE_ORIGINE.data()), sizeof v.POINTAGE_ORIGINE);
            vals[n++] =
                QByteArray(reinterpret_cast<const char*>(v.POINTAGE_PROGRAMME.data()), sizeof v.POINTAGE_PROGRAMME);
            vals[n++] =
                QByteArray(reinterpret_cast<const char*>(v.POINTAGE_UTILISATEUR.data()), sizeof v.POINTAGE_UTILISATEUR);
            const char* values[14];
            int lengths[14];
            int formats[14];
            for (int j = 0; j < 14; ++j) {
                values[j] = vals[j].constData();
                lengths[j] = int(vals[j].size());
                formats[j] = j >= 10 ? 1 : 0;
            }
            PQsendQueryPrepared(c, "ins", 14, values, lengths, formats, 0);
        }
        PQpipelineSync(c);
        for (;;) {
            PGresult* r = PQgetResult(c);
            if (!r)
                continue;
            const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync)
                break;
        }
    }
    PQexitPipelineMode(c);
    exec(c, "COMMIT");
    const double s = timer.nsecsElapsed() / 1e9;
    PQfinish(c);
    return DayLines / s;
}

double storeInsert(int offset)
{
    Database db(QString{});
    RecordFile<PointVal> pov(db);
    QElapsedTimer timer;
    timer.start();
    Transaction t(db, {FileId::PointVal});
    for (int i = 0; i < DayLines; ++i) {
        PointVal v = ligne(offset + i);
        (void)pov.addLater(v);
        if ((i + 1) % Batch == 0)
            (void)pov.flush();
    }
    (void)pov.flush();
    if (const FileError e = t.commit(); !e.ok())
        std::fprintf(stderr, "%s\n", e.description().toLocal8Bit().constData());
    return DayLines / (timer.nsecsElapsed() / 1e9);
}

double storeKeyReads()
{
    Database db(QString{});
    RecordFile<PointVal> pov(db);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < KeyReads; ++i) {
        PointVal v = ligne(i * 37 % DayLines);
        (void)pov.get(v, POV_K_CARTE_DATE);
    }
    return KeyReads / (timer.nsecsElapsed() / 1e9);
}

double bareKeyReads()
{
    PGconn* c = bare();
    const TableDecl& t = tableOf<PointVal>();
    PQclear(PQprepare(c, "get", ServerEngine::translate(t.sqlOf(POV_K_CARTE_DATE).get).constData(), 0, nullptr));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < KeyReads; ++i) {
        const PointVal v = ligne(i * 37 % DayLines);
        const QByteArray a = QByteArray::number(v.CARTE), b = QByteArray::number(v.DATE);
        const char* values[2] = {a.constData(), b.constData()};
        PQclear(PQexecPrepared(c, "get", 2, values, nullptr, nullptr, 0));
    }
    const double s = timer.nsecsElapsed() / 1e9;
    PQfinish(c);
    return KeyReads / s;
}

double storeScan(qint64* n)
{
    Database db(QString{});
    RecordFile<PointVal> pov(db);
    QElapsedTimer timer;
    timer.start();
    Cursor<PointVal> c = pov.read(POV_K_DATE_CARTE, PointVal{}, Direction::Forward);
    PointVal v;
    *n = 0;
    while (c.next(v).ok())
        ++*n;
    return *n / (timer.nsecsElapsed() / 1e9);
}

double bareScan()
{
    PGconn* c = bare();
    const TableDecl& t = tableOf<PointVal>();
    QElapsedTimer timer;
    timer.start();
    exec(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    const QByteArray sql =
        "DECLARE c NO SCROLL CURSOR FOR " + ServerEngine::translate(t.sqlOf(POV_K_DATE_CARTE).readForward);
    const char* values[2] = {"0", "0"};
    PQclear(PQexecParams(c, sql.constData(), 2, nullptr, values, nullptr, nullptr, 0));
    qint64 n = 0;
    for (;;) {
        PGresult* r = PQexec(c, "FETCH FORWARD 2048 FROM c");
        const int rows = PQntuples(r);
        // The same work per row as the store's: every column read.
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < PQnfields(r); ++j)
                (void)PQgetvalue(r, i, j);
        PQclear(r);
        n += rows;
        if (rows < 2048)
            break;
    }
    exec(c, "COMMIT");
    const double s = timer.nsecsElapsed() / 1e9;
    PQfinish(c);
    return n / s;
}

// The transfer of the raw lines of a generated installation whose employees are copied onto the server.
void transfer(qint64 rawLines)
{
    QTemporaryDir tmp;
    gen::GenOptions o;
    o.dir = tmp.path() + QStringLiteral("/Kip");
    o.employees = 1000;
    o.today = Clock::today();
    o.rawLines = rawLines;
    const QString server = storeServer();
    setStoreServer(QString());
    if (!gen::generateInstallation(o).ok)
        return;
    setPaths(Paths::forInstallation(o.dir));
    std::vector<Personnel> employes;
    {
        Database files(paths().dataDir);
        RecordFile<Personnel> per(files);
        (void)per.open();
        Cursor<Personnel> c = per.readAll();
        Personnel p;
        while (c.next(p).ok())
            employes.push_back(p);
    }
    setStoreServer(server);
    Database db(paths().dataDir);
    {
        Transaction t(db, {FileId::Personnel, FileId::PointVal});
        (void)db.exec(QStringLiteral("DELETE FROM POINTVAL.POINTVAL"));
        (void)db.exec(QStringLiteral("DELETE FROM PERSONNEL.PERSONNEL"));
        RecordFile<Personnel> per(db);
        for (Personnel& p : employes)
            (void)per.addLater(p);
        (void)per.flush();
        (void)t.commit();
    }
    const qint64 avant = serverRoundTrips();
    QElapsedTimer timer;
    timer.start();
    const ResultatTransfert r = TransfererPointages(db, paths().origin(0), Clock::today());
    const double s = timer.nsecsElapsed() / 1e9;
    const qint64 allers = serverRoundTrips() - avant;
    std::printf("transfer of %lld raw lines: %d stored, %d rejected, %.2f s, %.0f lines/s (target 50,000), %lld "
                "round trips (%.1f s more at 20 ms each)%s\n",
                static_cast<long long>(rawLines), r.stockes, int(r.rejets.size()), s, r.lignes / s,
                static_cast<long long>(allers), allers * 0.020, r.erreur.ok() ? "" : " FAILED");
    std::fflush(stdout);
}

} // namespace

int main()
{
    const QString socket = qEnvironmentVariable("KIP_TEST_PGHOST");
    if (socket.isEmpty()) {
        std::fprintf(stderr, "KIP_TEST_PGHOST: the socket directory of a server (scripts/serveur-essai start)\n");
        return 2;
    }
    Clock::setToday(dayNumber(QDate::currentDate()));
    const QString nom = QStringLiteral("kip_bench_%1").arg(::getpid());
    const QString admin = QStringLiteral("host=%1 user=postgres dbname=postgres").arg(socket);
    PGconn* a = PQconnectdb(admin.toUtf8().constData());
    exec(a, QStringLiteral("CREATE DATABASE %1").arg(nom).toUtf8().constData());
    g_conninfo = QStringLiteral("host=%1 user=postgres dbname=%2").arg(socket, nom);
    setStoreServer(g_conninfo);
    {
        Database db(QString{});
        if (const FileError e = createServerTables(db); !e.ok()) {
            std::fprintf(stderr, "%s\n", e.description().toLocal8Bit().constData());
            return 1;
        }
    }
    const double si = storeInsert(0);
    const double bi = bareInsert(DayLines);
    row("bulk insert of day lines (1,000,000)", si, bi, "rows/s");
    exec(PQconnectdb(g_conninfo.toUtf8().constData()), "VACUUM ANALYZE");
    row("key reads (K_CARTE_DATE, one round trip each)", storeKeyReads(), bareKeyReads(), "reads/s");
    qint64 n = 0;
    const double ss = storeScan(&n);
    row("ordered scan (K_DATE_CARTE, 2,000,000 rows)", ss, bareScan(), "rows/s");
    transfer(10000);
    transfer(1000000);
    ServerConnection::closePool(g_conninfo);
    exec(a, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(nom).toUtf8().constData());
    PQfinish(a);
    return 0;
}
