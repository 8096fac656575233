// The deletion of the day lines up to a date. On the SQLite files the kept lines are copied into a new file of
// the same layout whose keys are built once from them, and the new file replaces PointVal.tps by a rename; on the
// server they go in one transaction and the space is given back.
#include "PurgeDayLines.h"

#include "Base.h"
#include "Database.h"
#include "FileAdmin.h"
#include "Files.h"
#include "Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace kip {

namespace {

using Progress = std::function<void(int done, int total)>;

constexpr int AttenteFichierMs = 500; // a file held elsewhere for longer than this is in use
constexpr int Tranches = 40;          // progress steps of the copy
constexpr qint64 CacheKo = 64 * 1024; // page cache of the key build, in KiB

// The declaration's SQL in the schema of a connection whose main database is the file itself.
QString sansSchema(QString sql, const QString& label)
{
    return sql.replace(label + QLatin1Char('.'), QString());
}

// The rename is made durable with its directory.
void synchroniserRepertoire(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// On the server: the lines deleted in one transaction with POINTVAL held alone, then the space given back.
Result<PurgeCounts> purgeOnServer(const QString& dataDir, qint32 finPurge, const Progress& progression)
{
    PurgeCounts r;
    Database db(dataDir);
    const QString taille = QStringLiteral("SELECT pg_total_relation_size('POINTVAL.POINTVAL')");
    FileError e = db.run(taille, {}, &r.bytesBefore);
    if (!e.ok())
        return e;
    {
        Transaction seule(db, {FileId::PointVal}, Transaction::Exclusif, AttenteFichierMs);
        if (seule.error().code == Locked)
            return seule.error();
        e = seule.error();
        if (e.ok())
            e = db.run(QStringLiteral("DELETE FROM POINTVAL.POINTVAL WHERE DATE <= ?1"), {qint64(finPurge)});
        r.removed = db.changes();
        if (progression)
            progression(1, 3);
        if (e.ok())
            e = db.run(QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL"), {}, &r.kept);
        if (e.ok())
            e = seule.commit();
        if (!e.ok())
            return e;
    }
    if (progression)
        progression(2, 3);
    // The purge is done whatever the vacuum gives back.
    (void)db.exec(QStringLiteral("VACUUM POINTVAL.POINTVAL"));
    (void)db.run(taille, {}, &r.bytesAfter);
    if (progression)
        progression(3, 3);
    return r;
}

} // namespace

Result<PurgeCounts> purgeDayLines(const QString& dataDir, qint32 finPurge, const Progress& progression)
{
    if (!storeServer().isEmpty())
        return purgeOnServer(dataDir, finPurge, progression);
    const TableDecl& table = tableOf(FileId::PointVal);
    const QString chemin = QDir(dataDir).filePath(table.fileName);
    const QString provisoire = chemin + QStringLiteral(".purge");
    removeRecordFile(provisoire); // what a purge killed midway left
    PurgeCounts r;
    if (!QFileInfo::exists(chemin))
        return r;
    r.bytesBefore = QFileInfo(chemin).size();

    // The new file is private until the rename: it needs no journal, and a purge that does not finish
    // simply leaves it behind.
    Database c(Database::PrivateFile{provisoire, QString(), false, AttenteFichierMs});
    FileError e = c.valid() ? FileError{} : c.errorFrom(0);
    if (e.ok())
        e = c.exec(QStringLiteral("PRAGMA main.journal_mode = OFF; PRAGMA main.synchronous = NORMAL; "
                                  "PRAGMA main.cache_size = -%1")
                       .arg(CacheKo));
    if (e.ok())
        e = c.attach("ANCIEN", chemin);
    if (!e.ok())
        return e;
    // Held alone: no other connection, of this program or another, may read or write the day lines meanwhile.
    std::optional<Transaction> seule;
    seule.emplace(c, Transaction::Exclusif, AttenteFichierMs);
    e = seule->error();
    if (e.code == Locked)
        return e;
    qint64 versionAncien = 0, lignes = 0, premier = 0, dernier = 0;
    if (e.ok())
        e = c.run(QStringLiteral("PRAGMA ANCIEN.data_version"), {}, &versionAncien);
    if (e.ok())
        e = c.run(QStringLiteral("SELECT count(*) FROM ANCIEN.%1").arg(table.label), {}, &lignes);
    if (e.ok())
        e = c.run(QStringLiteral("SELECT coalesce(min(rowid), 0) FROM ANCIEN.%1").arg(table.label), {}, &premier);
    if (e.ok())
        e = c.run(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM ANCIEN.%1").arg(table.label), {}, &dernier);
    if (e.ok())
        e = c.exec(sansSchema(table.createTableSql(), table.label));
    if (!e.ok())
        return e;

    const int total = Tranches + int(table.keys.size());
    int fait = 0;
    // The kept lines in the order of their positions, which they keep, with their row versions.
    const QString colonnes = QStringLiteral("rowid, %1, ROWVER").arg(table.columnList());
    const QString copie = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM ANCIEN.%1 "
                                         "WHERE rowid >= ?1 AND rowid < ?2 AND DATE > ?3")
                              .arg(table.label, colonnes);
    const qint64 pas = std::max<qint64>(1, (dernier - premier) / Tranches + 1);
    for (qint64 debut = premier; debut <= dernier && e.ok(); debut += pas) {
        e = c.run(copie, {debut, debut + pas, qint64(finPurge)});
        if (progression)
            progression(std::min(++fait, Tranches), total);
    }
    fait = Tranches;
    // Each key is sorted and built once from the kept lines, instead of being maintained line by line.
    for (const KeyDecl& key : table.keys) {
        if (!e.ok())
            break;
        e = c.exec(sansSchema(table.createIndexSql(key), table.label));
        if (progression)
            progression(++fait, total);
    }
    qint64 gardees = 0;
    if (e.ok())
        e = c.exec(QStringLiteral("PRAGMA main.user_version = %1").arg(LayoutVersion));
    if (e.ok())
        e = c.run(QStringLiteral("SELECT count(*) FROM main.%1").arg(table.label), {}, &gardees);
    if (e.ok())
        e = seule->commit();
    if (!e.ok()) {
        seule.reset();
        removeRecordFile(provisoire);
        return e;
    }
    // The new file must pass the check of the common open before it takes the place of the old one.
    e = checkRecordFile(table, provisoire);
    qint64 versionAvant = 0;
    seule.reset();
    if (e.ok()) {
        seule.emplace(c, Transaction::Exclusif, AttenteFichierMs);
        e = seule->error();
    }
    // The commit let the old file go for a moment: it must be as it was read.
    if (e.ok())
        e = c.run(QStringLiteral("PRAGMA ANCIEN.data_version"), {}, &versionAvant);
    if (e.ok() && versionAvant != versionAncien)
        e = makeError(ChangedElsewhere, 0, QStringLiteral("%1 modifié pendant la purge").arg(chemin));
    if (e.ok() && std::rename(QFile::encodeName(provisoire).constData(), QFile::encodeName(chemin).constData()) != 0)
        e = makeError(DriverError, 0, QStringLiteral("remplacement de %1 impossible").arg(chemin));
    seule.reset();
    if (!e.ok()) {
        removeRecordFile(provisoire);
        return e;
    }
    synchroniserRepertoire(dataDir);
    r.kept = gardees;
    r.removed = lignes - gardees;
    r.bytesAfter = QFileInfo(chemin).size();
    return r;
}

} // namespace kip
