#include "SqliteEngine.h"

#include "Database.h"

#include <QDir>
#include <sqlite3.h>
#include <utility>

namespace kip {

namespace {

const char* const AnchorName = "Topspeed.tcf";

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

class SqliteStatement final : public EngineStatement
{
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* st) : m_db(db), m_st(st) {}
    ~SqliteStatement() override { sqlite3_finalize(m_st); }

    void bindInt(int index, qint64 value) override { note(sqlite3_bind_int64(m_st, index, value)); }
    void bindText(int index, const QString& text, bool stable) override
    {
        note(sqlite3_bind_text16(m_st, index, text.utf16(), int(text.size() * 2),
                                 stable ? SQLITE_STATIC : SQLITE_TRANSIENT));
    }
    void bindBlob(int index, const void* data, int size, bool stable) override
    {
        note(sqlite3_bind_blob(m_st, index, data, size, stable ? SQLITE_STATIC : SQLITE_TRANSIENT));
    }
    int step() override
    {
        if (m_bindRc != SQLITE_OK)
            return m_bindRc;
        const int rc = sqlite3_step(m_st);
        return rc == SQLITE_ROW || rc == SQLITE_DONE ? rc : sqlite3_extended_errcode(m_db);
    }
    void reset() override
    {
        // A reset reports the error of the last step, already handled by whoever stepped. Texts and blobs may be
        // bound in place: no binding outlives the run.
        (void)sqlite3_reset(m_st);
        (void)sqlite3_clear_bindings(m_st);
        m_bindRc = SQLITE_OK;
    }
    qint64 columnInt(int index) const override { return sqlite3_column_int64(m_st, index); }
    QString columnText(int index) const override
    {
        const auto* p = static_cast<const QChar*>(sqlite3_column_text16(m_st, index));
        const int bytes = sqlite3_column_bytes16(m_st, index);
        return p ? QString(p, bytes / 2) : QString();
    }
    const void* columnBlob(int index, int* size) const override
    {
        const void* p = sqlite3_column_blob(m_st, index);
        *size = sqlite3_column_bytes(m_st, index);
        return p;
    }

private:
    // A binding that fails (a value too big, no memory) is remembered and answers the next step.
    void note(int rc)
    {
        if (rc != SQLITE_OK && m_bindRc == SQLITE_OK)
            m_bindRc = rc;
    }
    sqlite3* m_db;
    sqlite3_stmt* m_st;
    int m_bindRc = SQLITE_OK;
};

} // namespace

SqliteEngine::SqliteEngine(const QString& dataDir)
{
    const QString anchor = QDir(dataDir).filePath(QLatin1String(AnchorName));
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(anchor.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        // Without a writable data directory the connection still serves reads of attached files.
        sqlite3_close(m_db);
        m_db = nullptr;
        if (sqlite3_open_v2(":memory:", &m_db, flags, nullptr) != SQLITE_OK) {
            // No connection at all (no memory): valid() says so and every call fails.
            sqlite3_close(m_db);
            m_db = nullptr;
            m_openError = makeError(DriverError, SQLITE_NOMEM, QStringLiteral("pas de connexion"));
            return;
        }
    }
    sqlite3_busy_timeout(m_db, Database::DefaultWaitMs);
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteEngine::SqliteEngine(const QString& path, const QString& label, bool readOnly, int waitMs)
{
    // The file is the connection's main database, so that its transactions and pragmas need no schema name; the
    // label names it as well, so that the statements written for attached files serve it unchanged.
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        m_openError =
            errorOfSqlite(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_extended_result_codes(m_db, 1);
    m_waitMs = waitMs;
    sqlite3_busy_timeout(m_db, waitMs);
    m_mainName = label.toUtf8();
    if (!m_mainName.isEmpty())
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_MAINDBNAME, m_mainName.constData());
}

sqlite3* SqliteEngine::handleOf(Database& db)
{
    return db.isServer() ? nullptr : static_cast<SqliteEngine&>(db.engine()).handle();
}

SqliteEngine::~SqliteEngine()
{
    rollback();
    if (m_db)
        sqlite3_close_v2(m_db);
}

FileError SqliteEngine::errorOf(int rc) const
{
    if (!m_db)
        return m_openError;
    return errorOfSqlite(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

FileError SqliteEngine::lastError(int rc) const
{
    if (!m_db)
        return m_openError;
    const FileError e = errorOf(rc == SQLITE_MISUSE ? rc : sqlite3_extended_errcode(m_db));
    return e.ok() ? makeError(DriverError, rc, QStringLiteral("erreur inattendue")) : e;
}

int SqliteEngine::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

void SqliteEngine::queue(EngineStatement& statement)
{
    // Nothing to gain by waiting on a file of the same process: the write runs now, its result kept for the flush.
    const int rc = statement.step();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW && m_queueError.ok())
        m_queueError = lastError(rc);
    m_queuedChanges.push_back(rc == SQLITE_DONE || rc == SQLITE_ROW ? changes() : 0);
    statement.reset();
}

FileError SqliteEngine::flush(std::vector<qint64>* changes)
{
    *changes = std::move(m_queuedChanges);
    m_queuedChanges.clear();
    return std::exchange(m_queueError, FileError{});
}

FileError SqliteEngine::attach(const QString& label, const QString& path)
{
    FileError err;
    std::unique_ptr<EngineStatement> st =
        prepare(QStringLiteral("ATTACH DATABASE ?1 AS ") + quoted(label), Rows::Few, Preparation::Now, &err);
    if (!st)
        return err;
    st->bindText(1, path, false);
    const int rc = st->step();
    return rc == SQLITE_DONE ? FileError{} : lastError(rc);
}

bool SqliteEngine::detach(const QString& label)
{
    // A file in use by the transaction in force stays attached; it is detached with the connection.
    return sqlite3_exec(m_db, (QStringLiteral("DETACH DATABASE ") + quoted(label)).toUtf8().constData(), nullptr,
                        nullptr, nullptr) == SQLITE_OK;
}

std::unique_ptr<EngineStatement> SqliteEngine::prepare(const QString& sql, Rows, Preparation, FileError* error)
{
    if (!m_db) {
        *error = m_openError;
        return nullptr;
    }
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr) !=
        SQLITE_OK) {
        *error = errorOf(sqlite3_extended_errcode(m_db));
        return nullptr;
    }
    return std::make_unique<SqliteStatement>(m_db, s);
}

FileError SqliteEngine::exec(const QString& sql)
{
    if (!m_db)
        return m_openError;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? FileError{} : errorOf(sqlite3_extended_errcode(m_db));
}

bool SqliteEngine::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

FileError SqliteEngine::begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs)
{
    if (!m_db)
        return m_openError;
    if (inTransaction())
        return makeError(DriverError, SQLITE_ERROR, QStringLiteral("transaction déjà ouverte"));
    sqlite3_busy_timeout(m_db, waitMs);
    // A private file's write lock is taken at the start as well; its read takes its snapshot at once.
    const bool alone = labels.isEmpty();
    FileError err = exec(exclusive           ? QStringLiteral("BEGIN EXCLUSIVE")
                         : alone && !lecture ? QStringLiteral("BEGIN IMMEDIATE")
                         : alone             ? QStringLiteral("BEGIN; SELECT 1 FROM sqlite_schema LIMIT 1")
                                             : QStringLiteral("BEGIN"));
    // Each file's lock is taken now, in the order given, so that the wait happens at the start and not
    // halfway through: the write lock for a write, a shared lock (one snapshot of all files) for a read.
    for (const QString& label : labels) {
        if (!err.ok())
            break;
        err = exec(lecture ? QStringLiteral("SELECT 1 FROM %1.%1 WHERE 0").arg(quoted(label))
                           : QStringLiteral("UPDATE %1.%1 SET ROWVER = ROWVER WHERE 0").arg(quoted(label)));
        // The file that could not be had is the one to name (a read-only or locked file among several).
        if (!err.ok())
            err.label = label;
    }
    sqlite3_busy_timeout(m_db, m_waitMs);
    if (!err.ok())
        rollback();
    return err;
}

FileError SqliteEngine::commit()
{
    const FileError err = exec(QStringLiteral("COMMIT"));
    if (!err.ok())
        rollback();
    return err;
}

void SqliteEngine::rollback()
{
    // A failed rollback leaves nothing to do: SQLite has already rolled back when it reports one.
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace kip
