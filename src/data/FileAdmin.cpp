#include "FileAdmin.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>

namespace kip {

namespace {

struct Closer
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

FileError errorOf(sqlite3* db, int rc)
{
    return errorOfSqlite(rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

// Gives up the connection's transaction; there is nothing left to report when that fails.
void rollBack(sqlite3* db)
{
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

Connection connect(const QString& path, int flags, int waitMs, FileError* err)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK) {
        *err = errorOf(raw, rc);
        return nullptr;
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, waitMs);
    return db;
}

FileError run(sqlite3* db, const QString& sql)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? FileError{} : errorOf(db, sqlite3_extended_errcode(db));
}

// The declaration's SQL as SQLite keeps it in its schema, for comparison with what the file holds.
QString unqualified(QString sql, const QString& label)
{
    return sql.replace(label + QLatin1Char('.'), QString());
}

FileError checkKeys(sqlite3* db, const TableDecl& table)
{
    for (const KeyDecl& key : table.keys) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, key.name, -1, SQLITE_STATIC);
        const int rc = sqlite3_step(st);
        QString sql;
        if (rc == SQLITE_ROW)
            sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return errorOf(db, rc);
        if (sql != unqualified(table.createIndexSql(key), table.label))
            return makeError(KeysInvalid, 0, QStringLiteral("clé %1").arg(QLatin1String(key.fullName)));
    }
    return {};
}

FileError checkColumns(sqlite3* db, const TableDecl& table)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(%1)").arg(table.label).toUtf8();
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return errorOf(db, sqlite3_extended_errcode(db));
    QStringList have;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        have << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return errorOf(db, sqlite3_extended_errcode(db));
    QStringList want;
    for (const ColumnDecl& c : table.columns)
        want << c.name;
    want << QStringLiteral("ROWVER");
    if (have != want)
        return makeError(DeclarationMismatch, 0, QStringLiteral("table %1").arg(table.label));
    return {};
}

int userVersion(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr);
    int v = -1;
    if (sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return v;
}

} // namespace

FileError createRecordFile(const TableDecl& table, const QString& path)
{
    FileError err;
    Connection db = connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 2000, &err);
    if (!db)
        return err;
    QString sql = QStringLiteral("PRAGMA journal_mode = DELETE; BEGIN IMMEDIATE; ") +
                  unqualified(table.createTableSql(), table.label) + QStringLiteral("; ");
    for (const KeyDecl& key : table.keys)
        sql += unqualified(table.createIndexSql(key), table.label) + QStringLiteral("; ");
    sql += QStringLiteral("PRAGMA user_version = %1; COMMIT;").arg(LayoutVersion);
    err = run(db.get(), sql);
    if (!err.ok())
        rollBack(db.get());
    return err;
}

FileError checkRecordFile(const TableDecl& table, const QString& path, int waitMs)
{
    const QFileInfo info(path);
    if (!info.exists())
        return makeError(NotFound);
    FileError err;
    Connection db = connect(path, SQLITE_OPEN_READWRITE, waitMs, &err);
    if (!db)
        return err;
    // A file of no bytes is a database without a table: a file that was never written.
    if (info.size() == 0)
        return makeError(NotFound);
    err = run(db.get(), QStringLiteral("BEGIN"));
    if (err.ok())
        err = checkColumns(db.get(), table);
    if (err.ok() && userVersion(db.get()) != LayoutVersion)
        err = makeError(DeclarationMismatch, 0, QStringLiteral("version de la structure"));
    if (err.ok())
        err = checkKeys(db.get(), table);
    rollBack(db.get()); // a read only: nothing to keep
    return err;
}

FileError rebuildRecordFileKeys(const TableDecl& table, const QString& path, bool exclusive, int waitMs)
{
    if (!QFileInfo::exists(path))
        return makeError(NotFound);
    FileError err;
    Connection db = connect(path, SQLITE_OPEN_READWRITE, waitMs, &err);
    if (!db)
        return err;
    err = run(db.get(), exclusive ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"));
    if (!err.ok())
        return err;
    err = checkColumns(db.get(), table);
    // A key that is missing or no longer matches its declaration is made again; the others are rebuilt
    // from the records as they stand.
    for (const KeyDecl& key : table.keys) {
        if (!err.ok())
            break;
        err = run(db.get(), QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(key.name)));
        if (err.ok())
            err = run(db.get(), unqualified(table.createIndexSql(key), table.label));
    }
    if (err.ok() && table.keys.empty())
        err = run(db.get(), QStringLiteral("REINDEX %1").arg(table.label));
    if (err.ok()) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check(1)", -1, &st, nullptr);
        const int rc = sqlite3_step(st);
        const QString result =
            rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) : QString();
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW)
            err = errorOf(db.get(), sqlite3_extended_errcode(db.get()));
        else if (result != QLatin1String("ok"))
            err = makeError(KeysInvalid, SQLITE_CORRUPT, result);
    }
    if (err.ok())
        err = run(db.get(), QStringLiteral("COMMIT"));
    if (!err.ok())
        rollBack(db.get());
    return err;
}

FileError copyRecordFile(const QString& from, const QString& to)
{
    FileError err;
    Connection src = connect(from, SQLITE_OPEN_READONLY, 2000, &err);
    if (!src)
        return err;
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    Connection dst = connect(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 2000, &err);
    if (!dst)
        return err;
    sqlite3_backup* b = sqlite3_backup_init(dst.get(), "main", src.get(), "main");
    if (!b)
        return errorOf(dst.get(), sqlite3_extended_errcode(dst.get()));
    int rc;
    int waits = 0;
    // One step of all pages reads the source inside a single read transaction: a committed state.
    do {
        rc = sqlite3_backup_step(b, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
    } while (rc == SQLITE_OK || ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++waits < 100));
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) {
        err = errorOf(dst.get(), rc);
        dst.reset();
        QFile::remove(temp);
        return err;
    }
    dst.reset();
    // The copy keeps the file's name: it replaces the former copy only once it is whole.
    QFile::remove(to);
    if (!QFile::rename(temp, to)) {
        QFile::remove(temp);
        return makeError(DriverError, SQLITE_CANTOPEN, QStringLiteral("copie vers %1 impossible").arg(to));
    }
    return {};
}

bool removeRecordFile(const QString& path)
{
    QFile::remove(path + QStringLiteral("-journal"));
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace kip
