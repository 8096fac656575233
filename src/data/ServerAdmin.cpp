#include "ServerAdmin.h"

#include "Database.h"
#include "Records.h"
#include "SauvegardeServeur.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace kip {

namespace {

// Every creation on the server waits for this lock: two programs opening an empty database at once do not
// both make the same table.
const QString CreationLock = QStringLiteral("SELECT pg_advisory_xact_lock(4242)");

// Text keys compare ignoring case as on the SQLite files (NOCASE); the name lets a statement say COLLATE
// NOCASE on both engines. A nondeterministic collation: equal ignoring case, ordered by the root locale.
const QString Collation = QStringLiteral("CREATE COLLATION IF NOT EXISTS public.nocase "
                                         "(provider = icu, locale = 'und-u-ks-level2', deterministic = false)");

FileError tableExists(Database& db, const TableDecl& table, bool* exists)
{
    qint64 n = 0;
    const FileError e =
        db.run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = ?1 AND tablename = ?1"),
               {table.label.toLower()}, &n);
    *exists = n > 0;
    return e;
}

} // namespace

FileError createServerTable(Database& db, const TableDecl& table)
{
    Transaction t(db, Transaction::Ecriture);
    if (!t.ok())
        return t.error();
    FileError e = db.run(CreationLock);
    bool exists = false;
    if (e.ok())
        e = tableExists(db, table, &exists);
    if (!e.ok() || exists)
        return e;
    QStringList sql{Collation, QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(table.label),
                    table.createTableSqlServer()};
    for (const KeyDecl& key : table.keys)
        sql << table.createIndexSqlServer(key);
    for (const QString& s : sql)
        if (e = db.exec(s); !e.ok()) {
            e.label = table.label;
            return e;
        }
    // The days of the installation's daily backup sit beside the dates of the backups.
    if (table.label == QLatin1String(DateSave::Label))
        if (e = creerTableSauvegardes(db); !e.ok())
            return e;
    return t.commit();
}

FileError createServerTables(Database& db)
{
    for (const TableDecl* table : allTables())
        if (const FileError e = createServerTable(db, *table); !e.ok())
            return e;
    return {};
}

FileError checkServerTable(Database& db, const TableDecl& table)
{
    bool exists = false;
    if (const FileError e = tableExists(db, table, &exists); !e.ok() || !exists)
        return e.ok() ? makeError(NotFound) : e;
    Statement st = db.prepare(QStringLiteral("SELECT column_name FROM information_schema.columns "
                                             "WHERE table_schema = ?1 AND table_name = ?1 ORDER BY ordinal_position"));
    if (!st.valid())
        return st.error();
    st.bind(1, table.label.toLower());
    QStringList have;
    int rc;
    while ((rc = st.step()) == SqliteRow)
        have << st.columnText(0);
    if (rc != SqliteDone)
        return db.errorFrom(rc);
    QStringList want{QStringLiteral("rowid")};
    for (const ColumnDecl& c : table.columns)
        want << c.name.toLower();
    want << QStringLiteral("rowver");
    if (have != want)
        return makeError(DeclarationMismatch, 0, QStringLiteral("table %1").arg(table.label));
    for (const KeyDecl& key : table.keys) {
        qint64 n = 0;
        const FileError e = db.run(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = ?1 AND "
                                                  "tablename = ?1 AND indexname = ?2"),
                                   {table.label.toLower(), QString::fromLatin1(key.name).toLower()}, &n);
        if (!e.ok())
            return e;
        if (n == 0)
            return makeError(KeysInvalid, 0, QStringLiteral("clé %1").arg(QLatin1String(key.fullName)));
    }
    return {};
}

FileError reindexServerTable(Database& db, const TableDecl& table)
{
    return db.exec(QStringLiteral("REINDEX TABLE %1.%1").arg(table.label));
}

FileError copyServerTable(const TableDecl& table, const QString& to, const CopyProgress& progress)
{
    constexpr int Etape = 4096; // records between two progress reports
    const QString temp = to + QStringLiteral(".part");
    (void)removeRecordFile(temp);
    FileError e = createRecordFile(table, temp);
    if (!e.ok())
        return e;
    {
        Database server(QString{});
        Database copie(Database::PrivateFile{temp, table.label, false, Database::DefaultWaitMs});
        const Transaction lecture(server, Transaction::Lecture);
        Transaction ecriture(copie, Transaction::Ecriture);
        e = !lecture.ok() ? lecture.error() : ecriture.error();
        qint64 total = 0;
        if (e.ok())
            e = server.run(QStringLiteral("SELECT count(*) FROM %1.%1").arg(table.label), {}, &total);
        // The copy's keys are built once from its records, by a sort, rather than kept up to date record by record.
        if (e.ok())
            e = copie.exec(QStringLiteral("PRAGMA %1.cache_size = -65536").arg(table.label));
        for (const KeyDecl& key : table.keys)
            if (e.ok())
                e = copie.exec(QStringLiteral("DROP INDEX %1.%2").arg(table.label, QLatin1String(key.name)));
        const QString colonnes = QStringLiteral("rowid, ROWVER, %1").arg(table.columnList());
        QStringList marques;
        for (size_t i = 0; i < table.columns.size() + 2; ++i)
            marques << QStringLiteral("?%1").arg(i + 1);
        Statement lu = server.prepare(QStringLiteral("SELECT %2 FROM %1.%1 ORDER BY rowid").arg(table.label, colonnes),
                                      Rows::Many);
        Statement ecrit = copie.prepare(QStringLiteral("INSERT INTO %1.%1 (%2) VALUES (%3)")
                                            .arg(table.label, colonnes, marques.join(QStringLiteral(", "))));
        if (e.ok() && !lu.valid())
            e = lu.error();
        if (e.ok() && !ecrit.valid())
            e = ecrit.error();
        qint64 fait = 0;
        int rc = SqliteDone;
        while (e.ok() && (rc = lu.step()) == SqliteRow) {
            ecrit.bind(1, lu.columnInt(0));
            ecrit.bind(2, lu.columnInt(1));
            for (size_t i = 0; i < table.columns.size(); ++i) {
                const int c = int(i) + 2;
                switch (table.columns[i].kind) {
                case ColumnDecl::Integer:
                    ecrit.bind(c + 1, lu.columnInt(c));
                    break;
                case ColumnDecl::Text:
                    ecrit.bind(c + 1, lu.columnText(c));
                    break;
                case ColumnDecl::Blob: {
                    int taille = 0;
                    const void* octets = lu.columnBlob(c, &taille);
                    ecrit.bindBlob(c + 1, octets, taille);
                    break;
                }
                }
            }
            const int ok = ecrit.step();
            ecrit.reset();
            if (ok != SqliteDone)
                e = copie.errorFrom(ok);
            if (progress && ++fait % Etape == 0)
                progress(fait, total);
        }
        if (e.ok() && rc != SqliteDone)
            e = server.errorFrom(rc);
        for (const KeyDecl& key : table.keys)
            if (e.ok())
                e = copie.exec(table.createIndexSql(key));
        if (e.ok())
            e = ecriture.commit();
    }
    // The copy takes its name only once whole, as a copy of a file does.
    if (e.ok() && std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) != 0)
        e = plainError(QStringLiteral("copie vers %1 impossible").arg(to));
    if (!e.ok()) {
        (void)removeRecordFile(temp);
        e.label = table.label;
        return e;
    }
    if (progress)
        progress(1, 1);
    return {};
}

} // namespace kip
