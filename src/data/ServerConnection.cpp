#include "ServerConnection.h"

#include "Database.h"
#include "Postes.h"
#include "TableDecl.h"

#include <QMutex>
#include <atomic>
#include <iterator>
#include <libpq-fe.h>
#include <poll.h>
#include <pthread.h>

namespace kip {

namespace {

QMutex g_poolMutex;
QHash<QString, std::vector<ServerConnection*>> g_pool;
std::atomic<qint64> g_roundTrips{0};
constexpr size_t PoolSize = 4; // idle connections kept per server
// Rows come in the server's binary form: integers and arrays as they are, nothing to parse or decode.
constexpr int BinaryResults = 1;

// The server's notices (a collation already there) are of no use to the user.
void ignoreNotice(void*, const char*) {}

QString fieldOf(const PGresult* r, int field)
{
    return QString::fromUtf8(PQresultErrorField(r, field));
}

// The key named by the server's constraint (the index of the same name in the table's schema).
QString keyOfConstraint(const QString& schema, const QString& constraint)
{
    for (const TableDecl* t : allTables()) {
        if (t->label.compare(schema, Qt::CaseInsensitive) != 0)
            continue;
        for (const KeyDecl& k : t->keys)
            if (constraint.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
                return QLatin1String(k.fullName);
    }
    return QString();
}

// A child process (a fork) shares the sockets of the parent's connections: it must never use nor close them. It
// forgets the pooled ones and opens its own.
void forgetPoolInChild()
{
    for (auto& list : g_pool)
        list.clear(); // left to the parent, not freed: their destructor would close the parent's sessions
    g_pool.clear();
}

const int g_atFork = ::pthread_atfork(nullptr, nullptr, forgetPoolInChild);

// At the normal end of the process its idle connections are closed and freed (a forked child has forgotten its
// parent's, so it never closes them). Defined after the pool: destroyed before it.
struct ClosePoolAtExit
{
    ~ClosePoolAtExit()
    {
        for (auto& list : g_pool)
            for (ServerConnection* c : list)
                delete c;
        g_pool.clear();
    }
};
ClosePoolAtExit g_closePoolAtExit;

// Why a connection could not be made, in French, from libpq's reason (English, kept after it for the
// administrator).
QString unreachableCause(const QString& reason)
{
    if (reason.contains(QLatin1String("timeout expired")))
        return QStringLiteral("pas de réponse dans le délai de connexion");
    if (reason.contains(QLatin1String("No such file or directory")) ||
        reason.contains(QLatin1String("Connection refused")) || reason.contains(QLatin1String("shutting down")) ||
        reason.contains(QLatin1String("starting up")))
        return QStringLiteral("le serveur est arrêté ou ne prend pas de connexion");
    if (reason.contains(QLatin1String("authentication")) || reason.contains(QLatin1String("password")))
        return QStringLiteral("connexion refusée pour ce rôle");
    if (reason.contains(QLatin1String("does not exist")))
        return QStringLiteral("base ou rôle inconnu du serveur");
    return QStringLiteral("connexion impossible");
}

} // namespace

bool isConnectionError(const FileError& error)
{
    return !error.ok() && error.sqlState.startsWith(QLatin1String("08"));
}

PgResult& PgResult::operator=(PgResult&& o) noexcept
{
    if (this != &o) {
        PQclear(m_r);
        m_r = o.m_r;
        o.m_r = nullptr;
    }
    return *this;
}

PgResult::~PgResult()
{
    PQclear(m_r);
}

bool PgResult::ok() const
{
    const ExecStatusType s = m_r ? PQresultStatus(m_r) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

int PgResult::rows() const
{
    return m_r ? PQntuples(m_r) : 0;
}

const char* PgResult::value(int row, int column) const
{
    return PQgetvalue(m_r, row, column);
}

int PgResult::length(int row, int column) const
{
    return PQgetlength(m_r, row, column);
}

qint64 PgResult::affected() const
{
    return m_r ? QByteArray(PQcmdTuples(m_r)).toLongLong() : 0;
}

QString serverName(const QString& conninfo)
{
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), nullptr);
    QString host, db;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        if (qstrcmp(o->keyword, "host") == 0 || (host.isEmpty() && qstrcmp(o->keyword, "hostaddr") == 0))
            host = QString::fromUtf8(o->val);
        else if (qstrcmp(o->keyword, "dbname") == 0)
            db = QString::fromUtf8(o->val);
        else if (qstrcmp(o->keyword, "service") == 0 && host.isEmpty())
            host = QStringLiteral("service %1").arg(QString::fromUtf8(o->val));
    }
    PQconninfoFree(options);
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    return db.isEmpty() ? host : QStringLiteral("%1 (base %2)").arg(host, db);
}

qint64 serverRoundTrips()
{
    return g_roundTrips.load();
}

std::unique_ptr<ServerConnection> ServerConnection::take(const QString& conninfo, FileError* error)
{
    for (;;) {
        std::unique_ptr<ServerConnection> c;
        {
            QMutexLocker lock(&g_poolMutex);
            auto it = g_pool.find(conninfo);
            if (it == g_pool.end() || it->empty())
                break;
            c.reset(it->back());
            it->pop_back();
        }
        // One the server closed while it waited (a server stopped or started again) is closed here.
        if (c->alive())
            return c;
    }
    return open(conninfo, error);
}

std::unique_ptr<ServerConnection> ServerConnection::open(const QString& conninfo, FileError* error)
{
    const QByteArray info = conninfo.toUtf8();
    // Every session says which program of which station it serves: the server's list of sessions names them.
    const QByteArray application = nomApplication().toUtf8();
    // A server that does not answer must not freeze the program: the attempt gives up after a bounded wait, and
    // an idle session whose peer vanished is found by the system's keepalives. Given before the connection
    // string, which may set its own.
    const QByteArray timeout = QByteArray::number(ConnectTimeoutS);
    const char* keys[] = {"connect_timeout", "keepalives_idle",  "keepalives_interval", "keepalives_count",
                          "dbname",          "application_name", "client_encoding",     nullptr};
    const char* values[] = {timeout.constData(),     "60",   "10",   "3", info.constData(),
                            application.constData(), "UTF8", nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 1);
    // A write outside a transaction waits for a table's lock as long as one inside waits by default.
    bool ready = conn && PQstatus(conn) == CONNECTION_OK;
    if (ready) {
        const QByteArray wait = "SET lock_timeout = " + QByteArray::number(Database::DefaultWaitMs);
        PGresult* set = PQexec(conn, wait.constData());
        ready = PQresultStatus(set) == PGRES_COMMAND_OK;
        PQclear(set);
    }
    if (ready)
        PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    if (!ready || !PQenterPipelineMode(conn)) {
        // libpq's first line names the socket or host and the system's cause; the rest is advice in English.
        const QString reason = conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed().section(QLatin1Char('\n'), 0, 0)
                                    : QStringLiteral("mémoire");
        *error = makeError(DriverError, 0,
                           QStringLiteral("Serveur %1 injoignable: %2 (%3)")
                               .arg(serverName(conninfo), unreachableCause(reason), reason));
        error->text = error->fileText;
        error->sqlState = QStringLiteral("08001");
        PQfinish(conn);
        return nullptr;
    }
    return std::unique_ptr<ServerConnection>(new ServerConnection(conn, conninfo));
}

void ServerConnection::giveBack(std::unique_ptr<ServerConnection> c)
{
    if (!c)
        return;
    c->drain();
    // Preparations nobody ran: the next user of the connection must not meet their errors.
    for (const PgCommand& p : c->m_toPrepare)
        c->forgetPrepared(p.sql);
    c->m_toPrepare.clear();
    if (!c->healthy() || !c->idle())
        return;
    QMutexLocker lock(&g_poolMutex);
    std::vector<ServerConnection*>& list = g_pool[c->m_conninfo];
    if (list.size() < PoolSize)
        list.push_back(c.release());
}

void ServerConnection::closePool(const QString& conninfo)
{
    std::vector<ServerConnection*> list;
    {
        QMutexLocker lock(&g_poolMutex);
        list = g_pool.take(conninfo);
    }
    for (ServerConnection* c : list)
        delete c;
}

ServerConnection::~ServerConnection()
{
    PQfinish(m_conn);
}

bool ServerConnection::healthy() const
{
    return PQstatus(m_conn) == CONNECTION_OK;
}

bool ServerConnection::alive()
{
    // A closed session shows as readable: what is there is read (a last notice, then the end), a few times at
    // most, never waiting.
    for (int i = 0; i < 4 && healthy(); ++i) {
        pollfd p{PQsocket(m_conn), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR)))
            break;
        if (PQconsumeInput(m_conn) == 0)
            break;
    }
    return healthy();
}

int ServerConnection::backendPid() const
{
    return PQbackendPID(m_conn);
}

int ServerConnection::socket() const
{
    return PQsocket(m_conn);
}

bool ServerConnection::notifications(const QByteArray& channel, std::vector<QByteArray>* payloads)
{
    if (PQconsumeInput(m_conn) != 1 || !healthy())
        return false;
    while (PGnotify* n = PQnotifies(m_conn)) {
        if (channel == n->relname)
            payloads->push_back(QByteArray(n->extra));
        PQfreemem(n);
    }
    return true;
}

bool ServerConnection::idle() const
{
    return PQtransactionStatus(m_conn) == PQTRANS_IDLE;
}

QByteArray ServerConnection::preparedName(const QByteArray& sql, bool* isNew)
{
    auto it = m_prepared.find(sql);
    *isNew = it == m_prepared.end();
    if (!*isNew)
        return *it;
    const QByteArray name = "k" + QByteArray::number(++m_nextName);
    m_prepared.insert(sql, name);
    return name;
}

void ServerConnection::forgetPrepared(const QByteArray& sql)
{
    m_prepared.remove(sql);
}

void ServerConnection::prepareWithNextRun(const QByteArray& sql, const QByteArray& name)
{
    m_toPrepare.push_back(PgCommand{sql, name, true, {}, {}});
}

QByteArray ServerConnection::newCursorName()
{
    return "kc" + QByteArray::number(++m_nextName);
}

FileError ServerConnection::lostError() const
{
    // libpq's text says only that the socket closed, in English: the user reads what it means.
    FileError e = makeError(DriverError, 0,
                            QStringLiteral("Connexion au serveur %1 perdue: serveur arrêté ou réseau coupé, "
                                           "l'opération n'a pas abouti")
                                .arg(serverName(m_conninfo)));
    e.text = e.fileText;
    e.sqlState = QStringLiteral("08006");
    return e;
}

FileError ServerConnection::errorOf(const PgResult& result, pg_conn* conn)
{
    const PGresult* r = result.get();
    const QString state = r ? fieldOf(r, PG_DIAG_SQLSTATE) : QString();
    QString message = r ? fieldOf(r, PG_DIAG_MESSAGE_PRIMARY) : QString();
    if (message.isEmpty())
        message = QString::fromUtf8(conn ? PQerrorMessage(conn) : "").trimmed();
    FileError e;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001")) {
        e = makeError(Locked, 0, message);
    } else if (state == QLatin1String("23505")) {
        e = makeError(DuplicateKey, 0, message);
        e.key = keyOfConstraint(fieldOf(r, PG_DIAG_SCHEMA_NAME), fieldOf(r, PG_DIAG_CONSTRAINT_NAME));
    } else if (state == QLatin1String("42501")) {
        // A station's role reaching beyond its rights (a change of a table, a deletion from the journal).
        e = makeError(DriverError, 0, QStringLiteral("Droit refusé par le serveur à ce rôle: %1").arg(message));
        e.text = QStringLiteral("Opération non permise au rôle de connexion");
    } else if (state == QLatin1String("XX001") || state == QLatin1String("XX002")) {
        e = makeError(KeysInvalid, 0, message);
    } else {
        e = makeError(DriverError, 0, message.isEmpty() ? QStringLiteral("erreur du serveur") : message);
    }
    e.sqlState = state.isEmpty() ? QStringLiteral("08006") : state;
    return e;
}

bool ServerConnection::send(const PgCommand& c)
{
    const int n = int(c.values.size());
    std::vector<const char*> values(static_cast<size_t>(n));
    std::vector<int> lengths(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        values[size_t(i)] = c.values[size_t(i)].isNull() ? nullptr : c.values[size_t(i)].constData();
        lengths[size_t(i)] = int(c.values[size_t(i)].size());
    }
    const int* formats = c.formats.empty() ? nullptr : c.formats.data();
    if (c.prepare)
        return PQsendPrepare(m_conn, c.prepared.constData(), c.sql.constData(), 0, nullptr) == 1;
    if (!c.prepared.isEmpty())
        return PQsendQueryPrepared(m_conn, m_prepared.value(c.sql).constData(), n, values.data(), lengths.data(),
                                   formats, BinaryResults) == 1;
    return PQsendQueryParams(m_conn, c.sql.constData(), n, nullptr, values.data(), lengths.data(), formats,
                             BinaryResults) == 1;
}

// Reads and drops the results of the commands sent and forgotten, up to their synchronisations.
void ServerConnection::drain()
{
    while (m_pendingSyncs > 0 && healthy()) {
        PGresult* r = PQgetResult(m_conn);
        if (!r) {
            if (!healthy())
                break;
            continue; // the end of one command's results
        }
        if (PQresultStatus(r) == PGRES_PIPELINE_SYNC)
            --m_pendingSyncs;
        PQclear(r);
    }
    if (!healthy())
        m_pendingSyncs = 0;
}

void ServerConnection::sendAndForget(const std::vector<PgCommand>& commands)
{
    if (!healthy())
        return;
    for (const PgCommand& c : commands)
        if (!send(c))
            return;
    if (PQpipelineSync(m_conn) == 1) {
        ++m_pendingSyncs;
        ++m_roundTrips;
        ++g_roundTrips;
    }
}

std::vector<PgResult> ServerConnection::run(const std::vector<PgCommand>& commands, FileError* error)
{
    // A statement first prepared on another connection (the one before the server came back) is prepared here.
    for (const PgCommand& c : commands)
        if (!c.prepare && !c.prepared.isEmpty() && !m_prepared.contains(c.sql)) {
            bool isNew = false;
            prepareWithNextRun(c.sql, preparedName(c.sql, &isNew));
        }
    // In a failed transaction a preparation would fail too, and the ROLLBACK after it would not run: the
    // preparations wait for the transaction's end.
    if (m_toPrepare.empty() || PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        return runNow(commands, error);
    std::vector<PgCommand> all = std::move(m_toPrepare);
    m_toPrepare.clear();
    const size_t prepared = all.size();
    all.insert(all.end(), commands.begin(), commands.end());
    std::vector<PgResult> results = runNow(all, error);
    for (size_t i = 0; i < prepared; ++i)
        if (!results[i].ok())
            forgetPrepared(all[i].sql);
    return std::vector<PgResult>(std::make_move_iterator(results.begin() + std::ptrdiff_t(prepared)),
                                 std::make_move_iterator(results.end()));
}

std::vector<PgResult> ServerConnection::runNow(const std::vector<PgCommand>& commands, FileError* error)
{
    *error = {};
    std::vector<PgResult> results(commands.size());
    drain();
    bool sent = healthy();
    for (const PgCommand& c : commands)
        sent = sent && send(c);
    sent = sent && PQpipelineSync(m_conn) == 1;
    ++m_roundTrips;
    ++g_roundTrips;
    if (!sent) {
        *error = lostError();
        return results;
    }
    for (size_t i = 0; i < commands.size(); ++i) {
        // Each command gives one result (the last one kept), then a null.
        while (PGresult* r = PQgetResult(m_conn))
            results[i] = PgResult(r);
        if (!results[i].get()) {
            *error = lostError();
            return results;
        }
        const ExecStatusType s = PQresultStatus(results[i].get());
        if (error->ok() && s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
            *error = s == PGRES_PIPELINE_ABORTED ? lostError() : errorOf(results[i], m_conn);
    }
    PGresult* sync = PQgetResult(m_conn);
    const bool synced = sync && PQresultStatus(sync) == PGRES_PIPELINE_SYNC;
    PQclear(sync);
    // A server that went away in the middle says so its own way (a fatal error, a shutdown notice): the user
    // reads that the server is gone.
    if ((!synced && error->ok()) || (!error->ok() && !healthy()))
        *error = lostError();
    return results;
}

} // namespace kip
