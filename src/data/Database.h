// One SQLite connection with the record files it has attached, its cached statements and its
// transactions. Every thread that reads or writes record files owns its own Database.
//
// Each record file is its own SQLite database at the file's own name, attached under its label, with
// one table named after the label. The connection's main database is the transaction control file
// Topspeed.tcf of the data directory: SQLite commits a transaction over several attached files
// atomically only when the main database is a named file, and no table ever lives in it.
#pragma once

#include "FileError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kip {

class Database;

// What Statement::step() returns when a row is ready or the statement is done (SQLite's own codes).
inline constexpr int SqliteRow = 100;
inline constexpr int SqliteDone = 101;

// A prepared statement checked out of a Database's cache; returned to it on destruction. A statement that could
// not be prepared is invalid and carries the error that says why: it is a resource with an empty state already,
// like a cursor, and its error travels with it to whoever checks valid().
class [[nodiscard]] Statement
{
public:
    Statement() = default;
    Statement(Database* db, const QString& sql, sqlite3_stmt* stmt) : m_db(db), m_sql(sql), m_stmt(stmt) {}
    explicit Statement(FileError error) : m_error(std::move(error)) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool valid() const { return m_stmt != nullptr; }
    // Why the statement could not be prepared (NoError for a valid one).
    const FileError& error() const { return m_error; }
    sqlite3_stmt* handle() const { return m_stmt; }

    void bind(int index, qint64 value);
    void bind(int index, const QString& text);
    void bindBlob(int index, const void* data, int size);
    // Binds without a copy: the text or bytes must stay unchanged until the statement is reset.
    void bindStatic(int index, const QString& text);
    void bindBlobStatic(int index, const void* data, int size);
    int step(); // SQLite's result code
    void reset();
    qint64 columnInt(int index) const;
    QString columnText(int index) const;

private:
    void release();
    void noteBinding(int rc);
    Database* m_db = nullptr;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
    int m_bindRc = 0; // the first binding that failed since the last reset
    FileError m_error;
};

class Database
{
public:
    // dataDir holds the record files and the transaction control file.
    explicit Database(const QString& dataDir);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& dataDir() const { return m_dataDir; }
    QString pathOf(const char* fileName) const;
    bool valid() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Attaches the record file under its label; attaching it again is not an error.
    FileError attach(const char* label, const QString& path);
    FileError attach(const QString& label, const QString& path);
    bool isAttached(const char* label) const { return m_attached.contains(QLatin1String(label)); }
    void detach(const char* label);
    void detachAll();

    // A statement from the cache, prepared on first use. An invalid statement that carries the error when the
    // SQL cannot be prepared.
    Statement prepare(const QString& sql);
    FileError exec(const QString& sql);

    bool inTransaction() const;

    // The record-file error for an SQLite result code of this connection, with its message.
    FileError errorFrom(int rc) const;

    // The wait of every lock, two seconds unless a transaction asked for another.
    static constexpr int DefaultWaitMs = 2000;

private:
    friend class Statement;
    friend class Transaction;
    // Used by Transaction only: every multi-statement write goes through its guard.
    FileError begin(const QStringList& labels, bool lecture, int waitMs);
    FileError commit();
    void rollback();
    void giveBack(const QString& sql, sqlite3_stmt* stmt);

    QString m_dataDir;
    sqlite3* m_db = nullptr;
    QHash<QString, QString> m_attached; // label -> path
    QHash<QString, std::vector<sqlite3_stmt*>> m_cache;
};

} // namespace kip
