#include "Database.h"

#include "Base.h"
#include "ServerEngine.h"
#include "SqliteEngine.h"

#include <QDir>
#include <QFileInfo>

namespace kip {

// --- Statement --------------------------------------------------------------------------------------

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        release();
        m_db = other.m_db;
        m_key = std::move(other.m_key);
        m_stmt = std::move(other.m_stmt);
        m_error = std::move(other.m_error);
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
        m_db->giveBack(m_key, std::move(m_stmt));
    m_stmt.reset();
}

int Statement::step()
{
    if (!m_stmt)
        return SqliteMisuse;
    return m_stmt->step();
}

void Statement::reset()
{
    if (m_stmt)
        m_stmt->reset();
}

// --- Database ---------------------------------------------------------------------------------------

Database::Database(const QString& dataDir) : m_dataDir(dataDir)
{
    const QString server = storeServer();
    if (server.isEmpty())
        m_engine = std::make_unique<SqliteEngine>(dataDir);
    else
        m_engine = std::make_unique<ServerEngine>(server);
}

Database::Database(const PrivateFile& file)
    : m_engine(std::make_unique<SqliteEngine>(file.path, file.label, file.readOnly, file.waitMs))
{
    m_dataDir = QFileInfo(file.path).absolutePath();
    if (!file.label.isEmpty())
        m_attached.insert(file.label, file.path);
}

Database::~Database()
{
    if (inTransaction())
        rollback();
    m_cache.clear();
}

QString Database::pathOf(const char* fileName) const
{
    return QDir(m_dataDir).filePath(QLatin1String(fileName));
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
    FileError err = m_engine->attach(name, path);
    if (!err.ok()) {
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
    // Cached statements may refer to the schema; they go before it does.
    m_cache.clear();
    if (m_engine->detach(name))
        m_attached.remove(name);
}

void Database::detachAll()
{
    const QStringList labels = m_attached.keys();
    for (const QString& l : labels)
        detach(l.toLatin1().constData());
}

Statement Database::prepare(const QString& sql, Rows rows, Preparation preparation)
{
    const QString key = rows == Rows::Many ? QStringLiteral("*") + sql : sql;
    auto it = m_cache.find(key);
    if (it != m_cache.end() && !it->second.empty()) {
        std::unique_ptr<EngineStatement> s = std::move(it->second.back());
        it->second.pop_back();
        return Statement(this, key, std::move(s));
    }
    FileError err;
    std::unique_ptr<EngineStatement> s = m_engine->prepare(sql, rows, preparation, &err);
    if (!s)
        return Statement(err.ok() ? makeError(DriverError, 0, QStringLiteral("pas de connexion")) : err);
    return Statement(this, key, std::move(s));
}

void Database::giveBack(const QString& key, std::unique_ptr<EngineStatement> stmt)
{
    // Texts and blobs may be bound in place: their storage can be gone by the next use, so no binding
    // outlives the statement's checkout.
    stmt->reset();
    m_cache[key].push_back(std::move(stmt));
}

FileError Database::runTogether(const std::vector<Statement*>& reads)
{
    std::vector<EngineStatement*> statements;
    for (Statement* st : reads)
        if (st->valid())
            statements.push_back(st->engineStatement());
    return statements.empty() ? FileError{} : m_engine->runTogether(statements);
}

void Database::queue(Statement& st)
{
    m_engine->queue(*st.engineStatement());
}

FileError Database::exec(const QString& sql)
{
    return m_engine->exec(sql);
}

FileError Database::run(const QString& sql, const QVariantList& values, qint64* first)
{
    if (first)
        *first = 0;
    Statement st = prepare(sql);
    if (!st.valid())
        return st.error();
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString)
            st.bind(i + 1, values[i].toString());
        else
            st.bind(i + 1, values[i].toLongLong());
    }
    int rc = st.step();
    if (rc == SqliteRow && first)
        *first = st.columnInt(0);
    // A statement that returns rows is read to its end, so that it leaves no read pending.
    while (rc == SqliteRow)
        rc = st.step();
    return rc == SqliteDone ? FileError{} : errorFrom(rc);
}

FileError Database::begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs)
{
    return m_engine->begin(labels, lecture, exclusive, waitMs);
}

} // namespace kip
