#include "Database.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace kip {

namespace {
const char* const AnchorName = "Topspeed.tcf";

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}
} // namespace

// --- Statement --------------------------------------------------------------------------------------

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db), m_sql(std::move(other.m_sql)), m_stmt(other.m_stmt), m_bindRc(other.m_bindRc),
      m_error(std::move(other.m_error))
{
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        release();
        m_db = other.m_db;
        m_sql = std::move(other.m_sql);
        m_stmt = other.m_stmt;
        m_bindRc = other.m_bindRc;
        m_error = std::move(other.m_error);
        other.m_stmt = nullptr;
    }
    return *this;
}

Statement::~Statement()
{
    release();
}

void Statement::release()
{
    if (m_stmt && m_db)
        m_db->giveBack(m_sql, m_stmt);
    else if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

// A binding that fails (a value too big, no memory) is remembered and answers the next step.
void Statement::noteBinding(int rc)
{
    if (rc != SQLITE_OK && m_bindRc == SQLITE_OK)
        m_bindRc = rc;
}

void Statement::bind(int index, qint64 value)
{
    noteBinding(sqlite3_bind_int64(m_stmt, index, value));
}

void Statement::bind(int index, const QString& text)
{
    noteBinding(sqlite3_bind_text16(m_stmt, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT));
}

void Statement::bindBlob(int index, const void* data, int size)
{
    noteBinding(sqlite3_bind_blob(m_stmt, index, data, size, SQLITE_TRANSIENT));
}

void Statement::bindStatic(int index, const QString& text)
{
    noteBinding(sqlite3_bind_text16(m_stmt, index, text.utf16(), int(text.size() * 2), SQLITE_STATIC));
}

void Statement::bindBlobStatic(int index, const void* data, int size)
{
    noteBinding(sqlite3_bind_blob(m_stmt, index, data, size, SQLITE_STATIC));
}

int Statement::step()
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    if (m_bindRc != SQLITE_OK)
        return m_bindRc;
    return sqlite3_step(m_stmt);
}

void Statement::reset()
{
    // A reset reports the error of the last step, already handled by whoever stepped.
    (void)sqlite3_reset(m_stmt);
    (void)sqlite3_clear_bindings(m_stmt);
    m_bindRc = SQLITE_OK;
}

qint64 Statement::columnInt(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

QString Statement::columnText(int index) const
{
    const auto* p = static_cast<const QChar*>(sqlite3_column_text16(m_stmt, index));
    const int bytes = sqlite3_column_bytes16(m_stmt, index);
    return p ? QString(p, bytes / 2) : QString();
}

// --- Database ---------------------------------------------------------------------------------------

Database::Database(const QString& dataDir) : m_dataDir(dataDir)
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
            return;
        }
    }
    sqlite3_busy_timeout(m_db, DefaultWaitMs);
    sqlite3_extended_result_codes(m_db, 1);
}

Database::~Database()
{
    if (inTransaction())
        rollback();
    for (auto& list : m_cache)
        for (sqlite3_stmt* s : list)
            sqlite3_finalize(s);
    m_cache.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
}

QString Database::pathOf(const char* fileName) const
{
    return QDir(m_dataDir).filePath(QLatin1String(fileName));
}

FileError Database::errorFrom(int rc) const
{
    return errorOfSqlite(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

FileError Database::attach(const char* label, const QString& path)
{
    return attach(QString::fromLatin1(label), path);
}

FileError Database::attach(const QString& name, const QString& path)
{
    if (m_attached.contains(name)) {
        if (m_attached.value(name) == path)
            return {};
        detach(name.toLatin1().constData());
    }
    Statement st = prepare(QStringLiteral("ATTACH DATABASE ?1 AS ") + quoted(name));
    if (!st.valid()) {
        FileError err = st.error();
        err.label = name;
        return err;
    }
    st.bind(1, path);
    const int rc = st.step();
    if (rc != SQLITE_DONE) {
        FileError err = errorFrom(sqlite3_extended_errcode(m_db));
        err.label = name;
        return err;
    }
    m_attached.insert(name, path);
    return {};
}

void Database::detach(const char* label)
{
    const QString name = QLatin1String(label);
    if (!m_attached.contains(name))
        return;
    // Cached statements may refer to the schema; finalise them before it goes.
    for (auto& list : m_cache)
        for (sqlite3_stmt* s : list)
            sqlite3_finalize(s);
    m_cache.clear();
    // A file in use by the transaction in force stays attached; it is detached with the connection.
    if (sqlite3_exec(m_db, (QStringLiteral("DETACH DATABASE ") + quoted(name)).toUtf8().constData(), nullptr, nullptr,
                     nullptr) == SQLITE_OK)
        m_attached.remove(name);
}

void Database::detachAll()
{
    const QStringList labels = m_attached.keys();
    for (const QString& l : labels)
        detach(l.toLatin1().constData());
}

Statement Database::prepare(const QString& sql)
{
    auto it = m_cache.find(sql);
    if (it != m_cache.end() && !it->empty()) {
        sqlite3_stmt* s = it->back();
        it->pop_back();
        return Statement(this, sql, s);
    }
    if (!m_db)
        return Statement(makeError(DriverError, SQLITE_NOMEM, QStringLiteral("pas de connexion")));
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr) !=
        SQLITE_OK)
        return Statement(errorFrom(sqlite3_errcode(m_db)));
    return Statement(this, sql, s);
}

void Database::giveBack(const QString& sql, sqlite3_stmt* stmt)
{
    // Texts and blobs may be bound in place: their storage can be gone by the next use, so no binding
    // outlives the statement's checkout.
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    m_cache[sql].push_back(stmt);
}

FileError Database::exec(const QString& sql)
{
    if (!m_db)
        return makeError(DriverError, SQLITE_NOMEM, QStringLiteral("pas de connexion"));
    char* msg = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    return rc == SQLITE_OK ? FileError{} : errorFrom(sqlite3_extended_errcode(m_db));
}

bool Database::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

FileError Database::begin(const QStringList& labels, bool lecture, int waitMs)
{
    if (!m_db)
        return makeError(DriverError, SQLITE_NOMEM, QStringLiteral("pas de connexion"));
    if (inTransaction())
        return makeError(DriverError, SQLITE_ERROR, QStringLiteral("transaction déjà ouverte"));
    sqlite3_busy_timeout(m_db, waitMs);
    FileError err = exec(QStringLiteral("BEGIN"));
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
    sqlite3_busy_timeout(m_db, DefaultWaitMs);
    if (!err.ok())
        rollback();
    return err;
}

FileError Database::commit()
{
    const FileError err = exec(QStringLiteral("COMMIT"));
    if (!err.ok())
        rollback();
    return err;
}

void Database::rollback()
{
    // A failed rollback leaves nothing to do: SQLite has already rolled back when it reports one.
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace kip
