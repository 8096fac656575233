// The PostgreSQL engine: the record files are tables of one database, each in a schema named after its label
// (POINTVAL.POINTVAL), with the same columns, keys and positions (an identity column rowid) as the SQLite files.
//
// Per statement: prepared once per connection (kept with the pooled connection), run with its parameters in
// one round trip; a write inside a transaction runs between a savepoint and its release in that same round
// trip, so that a failed write (a duplicate key) leaves the transaction usable, as on SQLite. A statement of
// many rows is a server-side cursor read in batches. Per transaction: BEGIN, the lock wait and the tables'
// locks in lock order, in one round trip; one more for COMMIT. Reads run together (a page of a list and the
// ends of its order) and the statements still to prepare: one round trip. Per batch (Database::queue and flush,
// RecordFile's addLater, putLater and flush): every queued write and one synchronisation, one round trip.
//
// A server that stops and comes back: work on a connection at rest (outside a transaction, no cursor open on
// it) first checks that the server still holds its session; a closed one is replaced by a new connection, its
// statements prepared again there as they are used, so the next action works once the server is back, without a
// new Database. A transaction or a read in flight when the server went fails with the loss, never reported done.
#pragma once

#include "Engine.h"
#include "ServerConnection.h"

namespace kip {

class ServerEngine final : public Engine
{
public:
    explicit ServerEngine(const QString& conninfo);
    ~ServerEngine() override;

    bool valid() const override { return m_main.conn != nullptr; }
    bool isServer() const override { return true; }
    FileError attach(const QString&, const QString&) override { return valid() ? FileError{} : m_openError; }
    bool detach(const QString&) override { return true; }
    void dropStatements() override {}
    std::unique_ptr<EngineStatement> prepare(const QString& sql, Rows rows, Preparation preparation,
                                             FileError* error) override;
    FileError exec(const QString& sql) override;
    bool inTransaction() const override { return m_block != Block::None; }
    FileError begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs) override;
    FileError commit() override;
    void rollback() override;
    FileError lastError(int) const override { return m_lastError; }
    int changes() const override { return int(m_changes); }
    void queue(EngineStatement& statement) override;
    FileError flush(std::vector<qint64>* changes) override;
    FileError runTogether(const std::vector<EngineStatement*>& reads) override;
    void holdSession(bool hold) override { m_sessionHolds += hold ? 1 : -1; }

    // Used by the statements.
    enum class Block
    {
        None,    // each command commits on its own
        Explicit // a Transaction's
    };
    Block block() const { return m_block; }
    // A connection with the cursors open on it: the transaction's own inside a transaction; outside one, a
    // reading connection of the engine's, whose cursors share one read-only snapshot ended with the last of
    // them, so that a write made while a cursor is open commits at once as on SQLite. A cursor opened after such
    // a write takes a snapshot that sees it (another reading connection while the older cursors last).
    struct Channel
    {
        std::unique_ptr<ServerConnection> conn;
        int openCursors = 0;
        int generation = 0;    // the transaction's count: a cursor of an ended transaction is gone
        qint64 snapshotOf = 0; // the writes of this engine that its snapshot sees
    };
    // Runs the commands in one round trip on the channel (the main one by default); the first failure is kept
    // as the last error and returned.
    FileError run(const std::vector<PgCommand>& commands, std::vector<PgResult>* results, Channel* channel = nullptr);
    void noteError(const FileError& e) { m_lastError = e; }
    void noteChanges(qint64 n) { m_changes = n; }
    void noteWrite() { ++m_writes; }
    // A write changed notified tables (Notifications.h): inside a transaction they are notified with its commit,
    // outside one by commands added to the write's own.
    void noteNotified(int tables, std::vector<PgCommand>* commands);
    // The channel of a cursor about to be declared; before receives what must run before the declaration.
    Channel* cursorOpened(std::vector<PgCommand>* before, FileError* error);
    void cursorClosed(Channel* channel, int generation, const QByteArray& name);
    ServerConnection& connection() { return *m_main.conn; }
    // A connection the server closed, on a channel at rest, replaced by a new one (the program's registration
    // made again with it); the error when the server cannot be reached.
    FileError resume(Channel& channel);
    qint64 roundTrips() const;

    // SQLite's parameters (?1, ?) as the server's ($1, $2), outside quoted texts.
    static QByteArray translate(const QString& sql);

private:
    QString m_conninfo;
    Channel m_main;
    std::vector<std::unique_ptr<Channel>> m_readers;
    qint64 m_writes = 0; // writes committed by this engine
    FileError m_openError;
    FileError m_lastError;
    qint64 m_changes = 0;
    Block m_block = Block::None;
    int m_sessionHolds = 0;
    std::vector<PgCommand> m_queue;
    int m_queuedNotifies = 0;
    int m_notifies = 0; // the notified tables changed by the open transaction

    void appendNotifications(int tables, std::vector<PgCommand>* commands);
};

} // namespace kip
