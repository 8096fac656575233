#include "Purge.h"

#include "data/Base.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/Postes.h"
#include "data/ServerSetup.h"
#include "data/Transaction.h"
#include "soldes/FichierSoldes.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace kip {

FinPurge LimitePurge(qint32 aujourdhui)
{
    const Semaine s = NumeroSemaine(aujourdhui - JoursGardesAuMoins);
    return {s, DatesDeSemaine(s.numero, s.annee).dimanche};
}

FinPurge FinPurgeChoisie(Semaine choisie, const FinPurge& limite)
{
    const qint32 dimanche = DatesDeSemaine(choisie.numero, choisie.annee).dimanche;
    if (limite.dimanche < dimanche)
        return limite;
    return {choisie, dimanche};
}

QString TexteSemainePurge(Semaine semaine)
{
    return QStringLiteral("Sem.: %1/%2")
        .arg(semaine.numero, 2, 10, QLatin1Char('0'))
        .arg(semaine.annee, 4, 10, QLatin1Char('0'));
}

namespace {

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

ResultatPurge echec(ResultatPurge r, const FileError& e)
{
    r.etat = ResultatPurge::Etat::Echec;
    r.erreur = e;
    return r;
}

ResultatPurge refus(ResultatPurge r, const FileError& e = {})
{
    r.etat = ResultatPurge::Etat::Refusee;
    r.erreur = e;
    return r;
}

// On the server: the lines deleted in one transaction with POINTVAL held alone, then the space given back.
ResultatPurge purgerSurServeur(const QString& dataDir, qint32 finPurge, const ProgressionPurge& progression)
{
    ResultatPurge r;
    Database db(dataDir);
    if (const FileError droits = verifierRoleAdministrateur(db); !droits.ok())
        return echec(r, droits);
    if (const FileError seul = seulSurLeServeur(); !seul.ok())
        return refus(r, seul);
    const QString taille = QStringLiteral("SELECT pg_total_relation_size('POINTVAL.POINTVAL')");
    FileError e = db.run(taille, {}, &r.octetsAvant);
    if (!e.ok())
        return echec(r, e);
    {
        Transaction seule(db, {FileId::PointVal}, Transaction::Exclusif, AttenteFichierMs);
        if (seule.error().code == Locked)
            return refus(r, seule.error());
        e = seule.error();
        if (e.ok())
            e = db.run(QStringLiteral("DELETE FROM POINTVAL.POINTVAL WHERE DATE <= ?1"), {qint64(finPurge)});
        r.supprimees = db.changes();
        if (progression)
            progression(1, 3);
        if (e.ok())
            e = db.run(QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL"), {}, &r.gardees);
        if (e.ok())
            e = seule.commit();
        if (!e.ok())
            return echec(r, e);
    }
    if (progression)
        progression(2, 3);
    // The purge is done whatever the vacuum gives back.
    (void)db.exec(QStringLiteral("VACUUM POINTVAL.POINTVAL"));
    (void)db.run(taille, {}, &r.octetsApres);
    if (progression)
        progression(3, 3);
    r.etat = ResultatPurge::Etat::Faite;
    return r;
}

} // namespace

ResultatPurge Purger(const QString& dataDir, qint32 finPurge, const ProgressionPurge& progression)
{
    ResultatPurge r;
    // A window of this program that uses the day lines holds their open count.
    if (openCount(FileId::PointVal) > 0)
        return refus(r);
    {
        // The working-time account counts from its starting balance: set on the day after the purge end, it
        // keeps every balance as it was once the lines before it are gone (and if the purge then fails).
        Database db(dataDir);
        // A role that may not purge is refused before anything is written, the carried balances included.
        if (!storeServer().isEmpty())
            if (const FileError droits = verifierRoleAdministrateur(db); !droits.ok())
                return echec(r, droits);
        if (const Result<int> reportes = ReporterSoldesAvantPurge(db, finPurge); !reportes)
            return echec(r, reportes.error());
    }
    if (!storeServer().isEmpty())
        return purgerSurServeur(dataDir, finPurge, progression);
    const TableDecl& table = tableOf(FileId::PointVal);
    const QString chemin = QDir(dataDir).filePath(table.fileName);
    const QString provisoire = chemin + QStringLiteral(".purge");
    removeRecordFile(provisoire); // what a purge killed midway left
    if (!QFileInfo::exists(chemin)) {
        r.etat = ResultatPurge::Etat::Faite;
        return r;
    }
    r.octetsAvant = QFileInfo(chemin).size();

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
        return echec(r, e);
    // Held alone: no other connection, of this program or another, may read or write the day lines meanwhile.
    std::optional<Transaction> seule;
    seule.emplace(c, Transaction::Exclusif, AttenteFichierMs);
    e = seule->error();
    if (e.code == Locked)
        return refus(r, e);
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
        return echec(r, e);

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
        return echec(r, e);
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
        return echec(r, e);
    }
    synchroniserRepertoire(dataDir);
    r.etat = ResultatPurge::Etat::Faite;
    r.gardees = gardees;
    r.supprimees = lignes - gardees;
    r.octetsApres = QFileInfo(chemin).size();
    return r;
}

} // namespace kip
