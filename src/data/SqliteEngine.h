// The SQLite engine: each record file is its own SQLite database, attached under its label to one connection
// whose main database is the transaction control file Topspeed.tcf of the data directory (SQLite commits a
// transaction over several attached files atomically only when the main database is a named file; no table
// ever lives in it). A private file (a backup being read or written, the purge's new file) is opened alone.
#pragma once

#include "Engine.h"

#include <QHash>

struct sqlite3;

namespace kip {

class SqliteEngine final : public Engine
{
public:
    // The connection of the installation's files, anchored in dataDir.
    explicit SqliteEngine(const QString& dataDir);
    // A connection of one private file at path, attached under label; readOnly opens it for reading only,
    // otherwise it is created when missing.
    SqliteEngine(const QString& path, const QString& label, bool readOnly, int waitMs);
    ~SqliteEngine() override;

    bool valid() const override { return m_db != nullptr; }
    bool isServer() const override { return false; }
    FileError attach(const QString& label, const QString& path) override;
    bool detach(const QString& label) override;
    void dropStatements() override {}
    std::unique_ptr<EngineStatement> prepare(const QString& sql, Rows rows, Preparation preparation,
                                             FileError* error) override;
    FileError exec(const QString& sql) override;
    bool inTransaction() const override;
    FileError begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs) override;
    FileError commit() override;
    void rollback() override;
    FileError lastError(int rc) const override;
    int changes() const override;
    void queue(EngineStatement& statement) override;
    FileError flush(std::vector<qint64>* changes) override;
    FileError runTogether(const std::vector<EngineStatement*>&) override { return {}; }
    void holdSession(bool) override {}

    sqlite3* handle() const { return m_db; }
    // The connection of a Database on this engine (a private file's always is), for SQLite's own interfaces: the
    // online backup, the values copied as they are.
    static sqlite3* handleOf(class Database& db);
    // The error of a failed call whose result code was rc, with the connection's message.
    FileError errorOf(int rc) const;

private:
    sqlite3* m_db = nullptr;
    FileError m_openError;
    std::vector<qint64> m_queuedChanges;
    FileError m_queueError;
    int m_waitMs = 2000;   // the wait of every lock outside a transaction's own
    QByteArray m_mainName; // SQLite keeps a pointer to it for the connection's life
};

} // namespace kip
