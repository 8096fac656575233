// One connection to the records' PostgreSQL server, in pipeline mode: commands are queued and sent together,
// their results read back in order after one synchronisation, so that a batch costs one round trip. Idle
// connections are pooled per connection string and handed to the next Database of the process. A server that
// stops closes them: a closed one is never handed out again, its user opens a new one (the server back) or gets
// the French message naming the server; a connection attempt gives up after a bounded wait.
#pragma once

#include "FileError.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

namespace kip {

// A result owned, cleared on destruction.
class PgResult
{
public:
    PgResult() = default;
    explicit PgResult(pg_result* r) : m_r(r) {}
    PgResult(PgResult&& o) noexcept : m_r(o.m_r) { o.m_r = nullptr; }
    PgResult& operator=(PgResult&& o) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    ~PgResult();
    pg_result* get() const { return m_r; }
    bool ok() const; // a command or rows, not an error
    int rows() const;
    const char* value(int row, int column) const;
    int length(int row, int column) const;
    qint64 affected() const; // rows changed by an INSERT, UPDATE or DELETE

private:
    pg_result* m_r = nullptr;
};

// One command of a pipeline: a text with its parameters ($1, $2 ...), run as a prepared statement when prepared
// is given. A parameter is text, or bytes sent as they are (a bytea).
struct PgCommand
{
    QByteArray sql;
    // Not empty: sql runs as the statement prepared on the connection that runs it, under that connection's own
    // name for it, prepared first in the same round trip when that connection has not prepared it yet (a
    // statement outlives the connection it was first prepared on). With prepare, the name to prepare it under.
    QByteArray prepared;
    bool prepare = false; // prepares sql under the name prepared instead of running it
    std::vector<QByteArray> values;
    std::vector<int> formats; // 0 text, 1 bytes

    static PgCommand text(const QByteArray& sql) { return PgCommand{sql, {}, false, {}, {}}; }
};

class ServerConnection
{
public:
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // A pooled connection of the process to the server of conninfo that the server has not closed, or a new one;
    // the error says why there is none (the server named, a French cause, then libpq's reason).
    static std::unique_ptr<ServerConnection> take(const QString& conninfo, FileError* error);
    // A new connection of its own, never pooled (the session that registers the program).
    static std::unique_ptr<ServerConnection> open(const QString& conninfo, FileError* error);
    // Gives a healthy idle connection back to the pool; a broken one, or one inside a transaction, is closed.
    static void giveBack(std::unique_ptr<ServerConnection> connection);
    // Closes the pooled connections (a test's server database about to be dropped).
    static void closePool(const QString& conninfo);

    // Sends the commands and one synchronisation, and reads every result back in order: one round trip. After a
    // failed command the following ones are not run and get the failed one's error. error is the first failure.
    std::vector<PgResult> run(const std::vector<PgCommand>& commands, FileError* error);
    // Sends commands whose results nobody waits for (closing a cursor, ending a read): they are read and
    // dropped before the next run.
    void sendAndForget(const std::vector<PgCommand>& commands);
    // The name under which sql is prepared on this connection, and whether it still has to be.
    QByteArray preparedName(const QByteArray& sql, bool* isNew);
    void forgetPrepared(const QByteArray& sql);
    // Prepares sql under its name at the front of the next run, in the same round trip; a failed preparation
    // fails that run with its error and is forgotten.
    void prepareWithNextRun(const QByteArray& sql, const QByteArray& name);
    QByteArray newCursorName();

    bool healthy() const;
    // Whether the server still holds the session: what it already sent is read without waiting, so that a
    // session the server closed (stopped, restarted) is seen before a command is sent on it.
    bool alive();
    int backendPid() const;
    // The connection's socket, watched by a listener for the server's notifications.
    int socket() const;
    // Reads what the server sent and gives the payloads of the notifications of channel that came with it; false
    // when the connection is lost.
    bool notifications(const QByteArray& channel, std::vector<QByteArray>* payloads);
    bool idle() const; // no transaction open on the server
    const QString& conninfo() const { return m_conninfo; }
    // How many round trips this connection made (each run or sendAndForget is one).
    qint64 roundTrips() const { return m_roundTrips; }

    // The loss of this session, said in French with the server's name.
    FileError lostError() const;
    // The error of a failed result, mapped onto the record-file codes.
    static FileError errorOf(const PgResult& result, pg_conn* conn);
    // How long a connection attempt waits for the server, unless the connection string says otherwise.
    static constexpr int ConnectTimeoutS = 5;

private:
    ServerConnection(pg_conn* conn, const QString& conninfo) : m_conn(conn), m_conninfo(conninfo) {}
    bool send(const PgCommand& c);
    void drain();

    std::vector<PgResult> runNow(const std::vector<PgCommand>& commands, FileError* error);

    pg_conn* m_conn;
    QString m_conninfo;
    QHash<QByteArray, QByteArray> m_prepared; // sql -> statement name
    std::vector<PgCommand> m_toPrepare;       // with the next run
    int m_nextName = 0;
    int m_pendingSyncs = 0; // of sendAndForget, still to be read
    qint64 m_roundTrips = 0;
};

// The server named for the user: its host (or socket directory) and database, from the connection string.
QString serverName(const QString& conninfo);

// Whether the error is the loss of the server (a session it closed, or no session to be had): the work can be
// done again once the server is back, on a new connection (SQLSTATE class 08).
bool isConnectionError(const FileError& error);

// The total round trips of every connection of the process, for the measurements of batches.
qint64 serverRoundTrips();

} // namespace kip
