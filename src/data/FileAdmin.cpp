#include "FileAdmin.h"

#include "Database.h"
#include "SqliteEngine.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

namespace kip {

namespace {

using Connection = std::unique_ptr<Database>;

FileError errorOf(sqlite3* db, int rc)
{
    return errorOfSqlite(rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

// The file alone on a connection of its own (created when missing unless readOnly): nothing of the
// installation's set is attached, and its transactions are the one guard's.
Connection connect(const QString& path, bool readOnly, int waitMs, FileError* err)
{
    auto db = std::make_unique<Database>(Database::PrivateFile{path, QString(), readOnly, waitMs});
    if (!db->valid()) {
        *err = db->errorFrom(0);
        return nullptr;
    }
    return db;
}

sqlite3* raw(const Connection& db)
{
    return SqliteEngine::handleOf(*db);
}

FileError run(const Connection& db, const QString& sql)
{
    return db->exec(sql);
}

// A statement finalised on every path.
struct Query
{
    sqlite3_stmt* st = nullptr;
    ~Query() { sqlite3_finalize(st); }
    FileError prepare(sqlite3* db, const char* sql)
    {
        const int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        return rc == SQLITE_OK ? FileError{} : errorOf(db, sqlite3_extended_errcode(db));
    }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)));
    }
};

// The declaration's SQL as SQLite keeps it in its schema, for comparison with what the file holds.
QString unqualified(QString sql, const QString& label)
{
    return sql.replace(label + QLatin1Char('.'), QString());
}

// The SQL of each key as the file holds it (empty for a key it does not have), in the order of the keys.
FileError storedKeys(sqlite3* db, const TableDecl& table, QStringList* out)
{
    for (const KeyDecl& key : table.keys) {
        Query q;
        if (FileError e = q.prepare(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1"); !e.ok())
            return e;
        if (const int rc = sqlite3_bind_text(q.st, 1, key.name, -1, SQLITE_STATIC); rc != SQLITE_OK)
            return errorOf(db, rc);
        const int rc = sqlite3_step(q.st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return errorOf(db, sqlite3_extended_errcode(db));
        *out << (rc == SQLITE_ROW ? q.text(0) : QString());
    }
    return {};
}

FileError checkKeys(sqlite3* db, const TableDecl& table)
{
    QStringList stored;
    if (FileError e = storedKeys(db, table, &stored); !e.ok())
        return e;
    for (size_t k = 0; k < table.keys.size(); ++k)
        if (stored[qsizetype(k)] != unqualified(table.createIndexSql(table.keys[k]), table.label))
            return makeError(KeysInvalid, 0, QStringLiteral("clé %1").arg(QLatin1String(table.keys[k].fullName)));
    return {};
}

// The columns of the table as the file holds them; none when the file holds no table of that name.
FileError storedColumns(sqlite3* db, const TableDecl& table, QStringList* have)
{
    Query q;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(%1)").arg(table.label).toUtf8();
    if (FileError e = q.prepare(db, sql.constData()); !e.ok())
        return e;
    int rc;
    while ((rc = sqlite3_step(q.st)) == SQLITE_ROW)
        *have << q.text(1);
    return rc == SQLITE_DONE ? FileError{} : errorOf(db, sqlite3_extended_errcode(db));
}

FileError checkColumns(sqlite3* db, const TableDecl& table)
{
    QStringList have;
    if (FileError e = storedColumns(db, table, &have); !e.ok())
        return e;
    QStringList want;
    for (const ColumnDecl& c : table.columns)
        want << c.name;
    want << QStringLiteral("ROWVER");
    if (have != want)
        return makeError(DeclarationMismatch, 0, QStringLiteral("table %1").arg(table.label));
    return {};
}

// The number of objects in the file's schema (0 for a database never written).
FileError schemaSize(sqlite3* db, int* count)
{
    Query q;
    if (FileError e = q.prepare(db, "SELECT count(*) FROM sqlite_master"); !e.ok())
        return e;
    if (sqlite3_step(q.st) != SQLITE_ROW)
        return errorOf(db, sqlite3_extended_errcode(db));
    *count = sqlite3_column_int(q.st, 0);
    return {};
}

FileError userVersion(sqlite3* db, int* version)
{
    Query q;
    if (FileError e = q.prepare(db, "PRAGMA user_version"); !e.ok())
        return e;
    if (sqlite3_step(q.st) != SQLITE_ROW)
        return errorOf(db, sqlite3_extended_errcode(db));
    *version = sqlite3_column_int(q.st, 0);
    return {};
}

// Reads every page of the file and checks the structure of each tree and of the free list, and the records'
// constraints; the agreement of keys and records is not compared. A damaged file is error 46.
FileError checkPages(sqlite3* db)
{
    Query q;
    if (FileError e = q.prepare(db, "PRAGMA quick_check(1)"); !e.ok())
        return e;
    if (sqlite3_step(q.st) != SQLITE_ROW)
        return errorOf(db, sqlite3_extended_errcode(db));
    const QString result = q.text(0);
    if (result != QLatin1String("ok"))
        return makeError(KeysInvalid, SQLITE_CORRUPT, result);
    return {};
}

// Makes the file's writes durable in its directory: the new name of a file renamed there.
void syncDirectory(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return; // the rename is done; only its durability across a power cut is left to the system
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace

FileError createRecordFile(const TableDecl& table, const QString& path)
{
    FileError err;
    Connection db = connect(path, false, Database::DefaultWaitMs, &err);
    if (!db)
        return err;
    err = run(db, QStringLiteral("PRAGMA journal_mode = DELETE"));
    if (!err.ok())
        return err;
    Transaction t(*db, Transaction::Ecriture);
    if (!t.ok())
        return t.error();
    // Two threads may create the same missing file at once: the second finds the first one's table.
    int objects = 0;
    err = schemaSize(raw(db), &objects);
    if (err.ok() && objects > 0)
        return {};
    QString sql = unqualified(table.createTableSql(), table.label) + QStringLiteral("; ");
    for (const KeyDecl& key : table.keys)
        sql += unqualified(table.createIndexSql(key), table.label) + QStringLiteral("; ");
    sql += QStringLiteral("PRAGMA user_version = %1;").arg(LayoutVersion);
    if (err.ok())
        err = run(db, sql);
    return err.ok() ? t.commit() : err;
}

FileError checkRecordFile(const TableDecl& table, const QString& path, FileCheck depth, int waitMs)
{
    const QFileInfo info(path);
    if (!info.exists())
        return makeError(NotFound);
    FileError err;
    Connection db = connect(path, false, waitMs, &err);
    if (!db)
        return err;
    // A file of no bytes is a database without a table: a file that was never written.
    if (info.size() == 0)
        return makeError(NotFound);
    // A read only: nothing to keep, given up at the end.
    const Transaction t(*db, Transaction::Lecture, waitMs);
    err = t.error();
    int objects = -1;
    if (err.ok())
        err = schemaSize(raw(db), &objects);
    // A database without any table is a file that was never written (or is being created by another thread).
    if (err.ok() && objects == 0)
        err = makeError(NotFound);
    if (err.ok())
        err = checkColumns(raw(db), table);
    int version = -1;
    if (err.ok())
        err = userVersion(raw(db), &version);
    if (err.ok() && version != LayoutVersion)
        err = makeError(DeclarationMismatch, 0, QStringLiteral("version de la structure"));
    if (err.ok())
        err = checkKeys(raw(db), table);
    if (err.ok() && depth == FileCheck::Pages)
        err = checkPages(raw(db));
    return err;
}

namespace {

// Copies every record that a scan of the table can read, in the order of the positions, which the records
// keep with their row versions. A damaged stretch is passed over: the scan starts again at the first position
// beyond it that can be read, found by probing further and further, then back.
FileError copyReadableRecords(sqlite3* from, sqlite3* to, const TableDecl& table, qint64* kept)
{
    const QString columns = QStringLiteral("rowid, %1, ROWVER").arg(table.columnList());
    const QByteArray select = QStringLiteral("SELECT %1 FROM %2 NOT INDEXED WHERE rowid > ?1 ORDER BY rowid")
                                  .arg(columns, table.label)
                                  .toUtf8();
    QStringList marks;
    for (size_t i = 0; i < table.columns.size() + 2; ++i)
        marks << QStringLiteral("?");
    const QByteArray insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table.label, columns, marks.join(u',')).toUtf8();
    Query read, write;
    if (FileError e = read.prepare(from, select.constData()); !e.ok())
        return e;
    if (FileError e = write.prepare(to, insert.constData()); !e.ok())
        return e;
    const int count = sqlite3_column_count(read.st);
    // Whether a scan that starts after position after can read its first record (or finds none).
    auto startAt = [&](qint64 after) {
        sqlite3_reset(read.st);
        sqlite3_bind_int64(read.st, 1, after);
        return sqlite3_step(read.st);
    };
    qint64 last = std::numeric_limits<qint64>::min();
    int rc = startAt(last);
    while (rc != SQLITE_DONE) {
        // Positions come in increasing order; one that does not is a damaged tree leading back on itself.
        if (rc == SQLITE_ROW && sqlite3_column_int64(read.st, 0) <= last)
            rc = SQLITE_CORRUPT;
        if (rc == SQLITE_ROW) {
            last = sqlite3_column_int64(read.st, 0);
            for (int c = 0; c < count; ++c)
                sqlite3_bind_value(write.st, c + 1, sqlite3_column_value(read.st, c));
            if (sqlite3_step(write.st) != SQLITE_DONE)
                return errorOf(to, sqlite3_extended_errcode(to));
            sqlite3_reset(write.st);
            ++*kept;
            rc = sqlite3_step(read.st);
            continue;
        }
        // A damaged stretch after last: the first readable start beyond it, by doubling, then halving back.
        constexpr int Doublings = 62; // positions are below 2^63
        const qint64 base = std::max<qint64>(last, 0);
        qint64 bad = base, good = -1;
        for (int d = 0; d <= Doublings && good < 0; ++d) {
            const qint64 stride = qint64(1) << d;
            if (base > std::numeric_limits<qint64>::max() - stride)
                break;
            const int r = startAt(base + stride);
            (r == SQLITE_ROW || r == SQLITE_DONE ? good : bad) = base + stride;
        }
        if (good < 0)
            break; // nothing beyond can be read
        while (good - bad > 1) {
            const qint64 middle = bad + (good - bad) / 2;
            const int r = startAt(middle);
            (r == SQLITE_ROW || r == SQLITE_DONE ? good : bad) = middle;
        }
        last = good;
        rc = startAt(good);
    }
    return {};
}

// The file made anew beside itself from its readable records, keys built, then written over itself through
// SQLite's page copy: one transaction of the file's own, so that a kill leaves the damaged file whole, and every
// connection that has the file open sees the new one.
FileError rebuildAnew(const TableDecl& table, const QString& path, int waitMs, const FileError& damage, qint64* kept)
{
    const QString temp = path + QStringLiteral(".reconstruction");
    (void)removeRecordFile(temp);
    FileError err;
    {
        Connection fresh = connect(temp, false, waitMs, &err);
        if (!fresh)
            return err;
        Connection damaged = connect(path, true, waitMs, &err);
        if (!damaged)
            return err;
        err = run(fresh, QStringLiteral("PRAGMA journal_mode = OFF"));
        std::optional<Transaction> t;
        if (err.ok()) {
            t.emplace(*fresh, Transaction::Ecriture, waitMs);
            err = t->error();
        }
        if (err.ok())
            err = run(fresh, unqualified(table.createTableSql(), table.label));
        *kept = 0;
        if (err.ok())
            err = copyReadableRecords(raw(damaged), raw(fresh), table, kept);
        for (const KeyDecl& key : table.keys)
            if (err.ok())
                err = run(fresh, unqualified(table.createIndexSql(key), table.label));
        if (err.ok())
            err = run(fresh, QStringLiteral("PRAGMA user_version = %1").arg(LayoutVersion));
        if (err.ok())
            err = t->commit();
    }
    if (err.ok())
        err = checkRecordFile(table, temp, FileCheck::Pages, waitMs);
    // A file of which no record can be read is no file to go on with: a restore is the way.
    if (err.ok() && *kept == 0)
        err = damage;
    // The damaged bytes stay at hand beside the file, for whoever wants to look for what was lost.
    const QString aside = path + QStringLiteral(".endommage");
    if (err.ok() && ((QFile::exists(aside) && !QFile::remove(aside)) || !QFile::copy(path, aside)))
        err = plainError(QStringLiteral("copie de %1 vers %2 impossible").arg(path, aside));
    if (err.ok()) {
        Connection source = connect(temp, true, waitMs, &err);
        Connection target = source ? connect(path, false, waitMs, &err) : nullptr;
        sqlite3_backup* b = target ? sqlite3_backup_init(raw(target), "main", raw(source), "main") : nullptr;
        if (target && !b)
            err = errorOf(raw(target), sqlite3_extended_errcode(raw(target)));
        if (b) {
            const int rc = sqlite3_backup_step(b, -1);
            const int finished = sqlite3_backup_finish(b);
            if (rc != SQLITE_DONE)
                err = errorOf(raw(target), rc);
            else if (finished != SQLITE_OK)
                err = errorOf(raw(target), finished);
        }
    }
    (void)removeRecordFile(temp);
    return err;
}

FileError rebuildKeysInPlace(const TableDecl& table, const QString& path, bool exclusive, int waitMs)
{
    constexpr int RebuildCacheKiB = 64 * 1024;
    if (!QFileInfo::exists(path))
        return makeError(NotFound);
    FileError err;
    Connection db = connect(path, false, waitMs, &err);
    if (!db)
        return err;
    // The rebuild rewrites every key in one transaction: a cache of its own size keeps the key pages in memory
    // instead of spilling them halfway. A smaller cache only makes it slower.
    (void)run(db, QStringLiteral("PRAGMA cache_size = %1").arg(-RebuildCacheKiB));
    Transaction t(*db, exclusive ? Transaction::Exclusif : Transaction::Ecriture, waitMs);
    if (!t.ok())
        return t.error();
    err = checkColumns(raw(db), table);
    QStringList stored;
    if (err.ok())
        err = storedKeys(raw(db), table, &stored);
    // Each key is rebuilt from the records as they stand; one that is missing or no longer matches its
    // declaration is made again. Building a key reads every record: a damaged record fails it.
    for (size_t k = 0; k < table.keys.size() && err.ok(); ++k) {
        const KeyDecl& key = table.keys[k];
        const QString declared = unqualified(table.createIndexSql(key), table.label);
        if (stored[qsizetype(k)] == declared) {
            err = run(db, QStringLiteral("REINDEX %1").arg(QLatin1String(key.name)));
            continue;
        }
        err = run(db, QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(key.name)));
        if (err.ok())
            err = run(db, declared);
    }
    // The keys now agree with the records by construction: what is left to check is every page of the file,
    // records and keys alike, and the free list. A file still damaged is refused.
    if (err.ok())
        err = checkPages(raw(db));
    return err.ok() ? t.commit() : err;
}

} // namespace

FileError rebuildRecordFileKeys(const TableDecl& table, const QString& path, bool exclusive, int waitMs,
                                RebuildAnew* anew)
{
    FileError err = rebuildKeysInPlace(table, path, exclusive, waitMs);
    if (err.code != KeysInvalid || !anew)
        return err;
    qint64 kept = 0;
    err = rebuildAnew(table, path, waitMs, err, &kept);
    if (err.ok()) {
        anew->done = true;
        anew->kept = kept;
    }
    return err;
}

FileError copyRecordFile(const QString& from, const QString& to, const CopyProgress& progress)
{
    FileError err;
    Connection src = connect(from, true, Database::DefaultWaitMs, &err);
    if (!src)
        return err;
    // The copy is made beside the former one and takes its name only once it is whole and on disk: at every
    // instant the name holds either the former copy or the new one.
    const QString temp = to + QStringLiteral(".part");
    (void)removeRecordFile(temp);
    {
        Connection dst = connect(temp, false, Database::DefaultWaitMs, &err);
        if (!dst)
            return err;
        // One read transaction over the whole copy: a committed state, copied in steps that can tell their
        // progress. A writer's lock is waited for by the source's busy timeout.
        Transaction snapshot(*src, Transaction::Lecture);
        sqlite3_backup* b = snapshot.ok() ? sqlite3_backup_init(raw(dst), "main", raw(src), "main") : nullptr;
        int rc = SQLITE_OK;
        if (!snapshot.ok()) {
            err = snapshot.error();
        } else if (!b) {
            err = errorOf(raw(dst), sqlite3_extended_errcode(raw(dst)));
        } else {
            constexpr int PagesParEtape = 1024;
            while ((rc = sqlite3_backup_step(b, progress ? PagesParEtape : -1)) == SQLITE_OK)
                progress(sqlite3_backup_pagecount(b) - sqlite3_backup_remaining(b), sqlite3_backup_pagecount(b));
            const int finished = sqlite3_backup_finish(b);
            if (rc != SQLITE_DONE)
                err = errorOf(raw(dst), rc);
            else if (finished != SQLITE_OK)
                err = errorOf(raw(dst), finished);
        }
    }
    if (err.ok() && std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) != 0)
        err = makeError(DriverError, SQLITE_CANTOPEN, QStringLiteral("copie vers %1 impossible").arg(to));
    if (!err.ok()) {
        (void)removeRecordFile(temp);
        return err;
    }
    syncDirectory(QFileInfo(to).absolutePath());
    return {};
}

bool removeRecordFile(const QString& path)
{
    QFile::remove(path + QStringLiteral("-journal"));
    return !QFileInfo::exists(path) || QFile::remove(path);
}

namespace {

Result<qint64> readOfFile(const TableDecl& table, const QString& path, const QString& what, int waitMs)
{
    Database file(Database::PrivateFile{path, table.label, true, waitMs});
    if (!file.valid())
        return file.errorFrom(0);
    qint64 value = 0;
    if (const FileError e = file.run(QStringLiteral("SELECT %1 FROM %2.%2").arg(what, table.label), {}, &value);
        !e.ok())
        return e;
    return value;
}

} // namespace

Result<qint64> recordsOfFile(const TableDecl& table, const QString& path, int waitMs)
{
    return readOfFile(table, path, QStringLiteral("count(*)"), waitMs);
}

Result<qint64> largestOfFile(const TableDecl& table, const QString& path, const QString& column, int waitMs)
{
    return readOfFile(table, path, QStringLiteral("coalesce(max(%1), 0)").arg(column), waitMs);
}

} // namespace kip
