// One connection to the record files with its cached statements and its transactions. Every thread that reads or
// writes record files owns its own Database. Below it runs the engine chosen for the program (Base.h): the SQLite
// files of the data directory, or the tables of a PostgreSQL server; nothing above the store knows which.
//
// On SQLite each record file is its own database at the file's own name, attached under its label, with one
// table named after the label; on the server each table sits in a schema of its label, so that the same
// statement (POINTVAL.POINTVAL, parameters ?1 or $1 numbered in order of first use) serves both engines.
#pragma once

#include "Engine.h"
#include "FileError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kip {

class Database;

// What Statement::step() returns when a row is ready or the statement is done (SQLite's own codes, which the
// server's statements return too).
inline constexpr int SqliteRow = 100;
inline constexpr int SqliteDone = 101;
inline constexpr int SqliteMisuse = 21; // a step of a statement that could not be prepared

// A prepared statement checked out of a Database's cache; returned to it on destruction. A statement that could
// not be prepared is invalid and carries the error that says why: it is a resource with an empty state already,
// like a cursor, and its error travels with it to whoever checks valid().
class [[nodiscard]] Statement
{
public:
    Statement() = default;
    Statement(Database* db, const QString& key, std::unique_ptr<EngineStatement> stmt)
        : m_db(db), m_key(key), m_stmt(std::move(stmt))
    {
    }
    explicit Statement(FileError error) : m_error(std::move(error)) {}
    Statement(Statement&& other) noexcept = default;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool valid() const { return m_stmt != nullptr; }
    // Why the statement could not be prepared (NoError for a valid one).
    const FileError& error() const { return m_error; }

    void bind(int index, qint64 value) { m_stmt->bindInt(index, value); }
    void bind(int index, const QString& text) { m_stmt->bindText(index, text, false); }
    void bindBlob(int index, const void* data, int size) { m_stmt->bindBlob(index, data, size, false); }
    // Binds without a copy: the text or bytes must stay unchanged until the statement is reset.
    void bindStatic(int index, const QString& text) { m_stmt->bindText(index, text, true); }
    void bindBlobStatic(int index, const void* data, int size) { m_stmt->bindBlob(index, data, size, true); }
    EngineStatement* engineStatement() const { return m_stmt.get(); }
    int step(); // SqliteRow, SqliteDone, or an error result: Database::errorFrom() says which
    void reset();
    qint64 columnInt(int index) const { return m_stmt->columnInt(index); }
    QString columnText(int index) const { return m_stmt->columnText(index); }
    // The bytes of an array column, valid until the next step.
    const void* columnBlob(int index, int* size) const { return m_stmt->columnBlob(index, size); }

private:
    void release();
    Database* m_db = nullptr;
    QString m_key;
    std::unique_ptr<EngineStatement> m_stmt;
    FileError m_error;
};

class Database
{
public:
    // The connection of the installation's record files in dataDir, on the program's engine.
    explicit Database(const QString& dataDir);
    // A private file outside the installation's set (a backup being read or written, the purge's new file),
    // always an SQLite file, reached under the label as an installation file is; created when missing unless
    // readOnly. Its transactions are its own; exclusive ones (Transaction::Exclusif) keep every reader out.
    struct PrivateFile
    {
        QString path;
        QString label;
        bool readOnly = false;
        int waitMs = 2000;
    };
    explicit Database(const PrivateFile& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& dataDir() const { return m_dataDir; }
    QString pathOf(const char* fileName) const;
    bool valid() const { return m_engine->valid(); }
    // Whether the records are on the server (the tables exist there; no file to attach or rebuild).
    bool isServer() const { return m_engine->isServer(); }

    // Attaches the record file under its label; attaching it again is not an error.
    FileError attach(const char* label, const QString& path);
    FileError attach(const QString& label, const QString& path);
    bool isAttached(const char* label) const { return m_attached.contains(QLatin1String(label)); }
    void detach(const char* label);
    void detachAll();

    // A statement from the cache, prepared on first use. An invalid statement that carries the error when the
    // SQL cannot be prepared. A statement of many rows (an ordered read to the end of a large file) is read in
    // batches on the server instead of at once. A statement prepared WithNextRun is valid at once on the server,
    // its errors given by the connection's next round trip (the reads run together with it, or the first step).
    Statement prepare(const QString& sql, Rows rows = Rows::Few, Preparation preparation = Preparation::Now);
    FileError exec(const QString& sql);
    // Runs one statement whose parameters ?1, ?2 ... take the values in order (integers or texts) to its end;
    // first, when given, receives the first column of its first row (0 without rows).
    FileError run(const QString& sql, const QVariantList& values = {}, qint64* first = nullptr);

    bool inTransaction() const { return m_engine->inTransaction(); }

    // Batches of writes (RecordFile's addLater and putLater): queued, then sent together by flush, which gives
    // the rows changed by each and the first error. On SQLite each runs when queued.
    void queue(Statement& st);
    FileError flush(std::vector<qint64>* changes) { return m_engine->flush(changes); }
    // Reads of few rows, bound and not yet stepped, run together: on the server in one round trip (a page and
    // the ends of its order), their rows then stepped as usual; on SQLite each runs at its first step. The
    // invalid statements are left out.
    FileError runTogether(const std::vector<Statement*>& reads);
    // The connection keeps state of its session (a session lock) until the matching release: it is not replaced
    // meanwhile when the server closes it (Engine::holdSession).
    void holdSession(bool hold) { m_engine->holdSession(hold); }

    // The error of the last failed step or call of this connection; rc is the failed step's result.
    FileError errorFrom(int rc) const { return m_engine->lastError(rc); }
    // Rows changed by the last write.
    int changes() const { return m_engine->changes(); }

    // The wait of every lock, two seconds unless a transaction asked for another.
    static constexpr int DefaultWaitMs = 2000;

    Engine& engine() { return *m_engine; }

private:
    friend class Statement;
    friend class Transaction;
    // Used by Transaction only: every multi-statement write goes through its guard.
    FileError begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs);
    FileError commit() { return m_engine->commit(); }
    void rollback() { m_engine->rollback(); }
    void giveBack(const QString& key, std::unique_ptr<EngineStatement> stmt);

    QString m_dataDir;
    std::unique_ptr<Engine> m_engine;
    QHash<QString, QString> m_attached; // label -> path
    std::unordered_map<QString, std::vector<std::unique_ptr<EngineStatement>>> m_cache;
};

} // namespace kip
