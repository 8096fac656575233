#include "ServerImport.h"

#include "Database.h"
#include "Files.h"
#include "ServerConnection.h"
#include "TableDecl.h"
#include "Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <libpq-fe.h>
#include <memory>

namespace kip {

namespace {

constexpr qsizetype Paquet = 1 << 20; // bytes of COPY data sent at once
constexpr qint64 EtapeCopie = 65536;  // records between two progress reports

// A plain connection of its own (COPY needs one outside pipeline mode), closed on destruction: a transaction
// not committed is rolled back by the server.
struct Connexion
{
    PGconn* c = nullptr;
    ~Connexion() { PQfinish(c); }
};

FileError erreurServeur(PGconn* c, PGresult* r, const QString& label)
{
    FileError e = ServerConnection::errorOf(PgResult(r), c);
    e.label = label;
    return e;
}

// Runs a command; the first column of its first row goes to valeur when asked.
FileError executer(PGconn* c, const QString& sql, const QString& label = {}, qint64* valeur = nullptr)
{
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType s = PQresultStatus(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        return erreurServeur(c, r, label);
    if (valeur)
        *valeur = PQntuples(r) > 0 ? QByteArray(PQgetvalue(r, 0, 0)).toLongLong() : 0;
    PQclear(r);
    return {};
}

// A text field of COPY's text format: the backslash and the line and field separators escaped.
void ajouterTexte(QByteArray& ligne, const QString& texte)
{
    for (const char ch : texte.toUtf8()) {
        switch (ch) {
        case '\\':
            ligne += "\\\\";
            break;
        case '\t':
            ligne += "\\t";
            break;
        case '\n':
            ligne += "\\n";
            break;
        case '\r':
            ligne += "\\r";
            break;
        default:
            ligne += ch;
        }
    }
}

FileError envoyer(PGconn* c, QByteArray& donnees, const QString& label)
{
    if (PQputCopyData(c, donnees.constData(), int(donnees.size())) != 1) {
        FileError e = plainError(QString::fromUtf8(PQerrorMessage(c)).trimmed());
        e.label = label;
        return e;
    }
    donnees.clear();
    return {};
}

// One table: the SQLite file read in one snapshot by position, its records sent through COPY, the count of the
// table on the server compared with the file's.
FileError copierTable(PGconn* c, const TableDecl& table, const QString& chemin, qint64* copiees,
                      const std::function<void(const QString&, qint64)>& progress)
{
    Database fichier(Database::PrivateFile{chemin, table.label, true, Database::DefaultWaitMs});
    if (!fichier.valid())
        return fichier.errorFrom(0);
    const Transaction lecture(fichier, Transaction::Lecture);
    if (!lecture.ok())
        return lecture.error();
    const QString colonnes = QStringLiteral("rowid, ROWVER, %1").arg(table.columnList());
    Statement lu =
        fichier.prepare(QStringLiteral("SELECT %2 FROM %1.%1 ORDER BY rowid").arg(table.label, colonnes), Rows::Many);
    if (!lu.valid())
        return lu.error();
    PGresult* debut =
        PQexec(c, QStringLiteral("COPY %1.%1 (%2) FROM STDIN").arg(table.label, colonnes).toUtf8().constData());
    if (PQresultStatus(debut) != PGRES_COPY_IN)
        return erreurServeur(c, debut, table.label);
    PQclear(debut);
    QByteArray donnees;
    qint64 n = 0;
    int rc = SqliteDone;
    FileError e;
    while (e.ok() && (rc = lu.step()) == SqliteRow) {
        donnees += QByteArray::number(lu.columnInt(0));
        donnees += '\t';
        donnees += QByteArray::number(lu.columnInt(1));
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const int col = int(i) + 2;
            donnees += '\t';
            switch (table.columns[i].kind) {
            case ColumnDecl::Integer:
                donnees += QByteArray::number(lu.columnInt(col));
                break;
            case ColumnDecl::Text:
                ajouterTexte(donnees, lu.columnText(col));
                break;
            case ColumnDecl::Blob: {
                int taille = 0;
                const char* octets = static_cast<const char*>(lu.columnBlob(col, &taille));
                donnees += "\\\\x";
                donnees += QByteArray::fromRawData(octets, taille).toHex();
                break;
            }
            }
        }
        donnees += '\n';
        if (donnees.size() >= Paquet)
            e = envoyer(c, donnees, table.label);
        if (++n % EtapeCopie == 0 && progress)
            progress(table.label, n);
    }
    if (e.ok() && rc != SqliteDone)
        e = fichier.errorFrom(rc);
    if (e.ok() && !donnees.isEmpty())
        e = envoyer(c, donnees, table.label);
    // A failure ends the COPY with an error, so that nothing of it is kept.
    PQputCopyEnd(c, e.ok() ? nullptr : "lecture du fichier interrompue");
    for (PGresult* r; (r = PQgetResult(c));) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && e.ok())
            e = erreurServeur(c, r, table.label);
        else
            PQclear(r);
    }
    if (!e.ok())
        return e;
    qint64 surServeur = -1;
    e = executer(c, QStringLiteral("SELECT count(*) FROM %1.%1").arg(table.label), table.label, &surServeur);
    if (e.ok() && surServeur != n)
        e = plainError(QStringLiteral("%1: %2 enregistrement(s) lus dans %3, %4 sur le serveur")
                           .arg(table.label)
                           .arg(n)
                           .arg(chemin)
                           .arg(surServeur));
    // The next position given by the server follows the last one copied.
    if (e.ok())
        e = executer(c,
                     QStringLiteral("SELECT setval(pg_get_serial_sequence('%1.%1', 'rowid'), "
                                    "greatest(max(rowid), 1), max(rowid) IS NOT NULL) FROM %1.%1")
                         .arg(table.label),
                     table.label);
    *copiees = n;
    if (progress)
        progress(table.label, n);
    return e;
}

} // namespace

namespace {

// The copy of the files onto their tables in one transaction, the tables held alone in lock order. vides: refused
// when one of the tables holds records, unless remplacer.
FileError copier(const QString& conninfo, const std::vector<FichierTable>& fichiers, bool vides, bool remplacer,
                 int attenteMs, std::vector<CompteTable>* comptes,
                 const std::function<void(const QString&, qint64)>& progress)
{
    std::vector<CompteTable> sansCompte; // a caller that wants no counts passes none
    if (!comptes)
        comptes = &sansCompte;
    comptes->clear();
    Connexion connexion;
    const QByteArray info = conninfo.toUtf8();
    const char* cles[] = {"dbname", "fallback_application_name", "client_encoding", nullptr};
    const char* valeurs[] = {info.constData(), "Kip", "UTF8", nullptr};
    connexion.c = PQconnectdbParams(cles, valeurs, 1);
    PGconn* c = connexion.c;
    if (PQstatus(c) != CONNECTION_OK)
        return plainError(QStringLiteral("Serveur %1 injoignable: %2")
                              .arg(serverName(conninfo), QString::fromUtf8(PQerrorMessage(c)).trimmed()));
    PQsetNoticeProcessor(
        c, [](void*, const char*) {}, nullptr);
    FileError e = executer(c, QStringLiteral("BEGIN"));
    if (e.ok())
        e = executer(c, QStringLiteral("SET LOCAL lock_timeout = %1").arg(std::max(attenteMs, 1)));
    for (const FichierTable& f : fichiers) {
        qint64 existe = 0;
        if (e.ok())
            e = executer(c,
                         QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = '%1' AND tablename = '%1'")
                             .arg(f.table->label.toLower()),
                         f.table->label, &existe);
        if (e.ok() && existe == 0)
            return plainError(QStringLiteral("la table %1 n'existe pas sur le serveur %2: kiptool serveur creer la "
                                             "crée.")
                                  .arg(f.table->label, serverName(conninfo)));
        if (e.ok())
            e = executer(c, QStringLiteral("LOCK TABLE %1.%1 IN ACCESS EXCLUSIVE MODE").arg(f.table->label),
                         f.table->label);
    }
    QStringList pleines;
    for (const FichierTable& f : fichiers) {
        qint64 n = 0;
        if (e.ok())
            e = executer(c, QStringLiteral("SELECT count(*) FROM %1.%1").arg(f.table->label), f.table->label, &n);
        if (n > 0)
            pleines << QStringLiteral("%1 (%2)").arg(f.table->label).arg(n);
    }
    if (e.ok() && vides && !pleines.isEmpty() && !remplacer)
        return plainError(QStringLiteral("les tables du serveur %1 contiennent déjà des enregistrements: %2. "
                                         "--remplacer les remplace.")
                              .arg(serverName(conninfo), pleines.join(QStringLiteral(", "))));
    if (e.ok() && !pleines.isEmpty()) {
        QStringList toutes;
        for (const FichierTable& f : fichiers)
            toutes << QStringLiteral("%1.%1").arg(f.table->label);
        e = executer(c, QStringLiteral("TRUNCATE %1 RESTART IDENTITY").arg(toutes.join(QStringLiteral(", "))));
    }
    // Each key is built once from the records copied, by a sort, rather than kept up to date record by record:
    // dropped before the copy and made again after it, in the same transaction.
    if (e.ok())
        e = executer(c, QStringLiteral("SET LOCAL maintenance_work_mem = '256MB'"));
    for (const FichierTable& f : fichiers) {
        if (!e.ok())
            break;
        for (const KeyDecl& key : f.table->keys)
            if (e.ok())
                e = executer(c, QStringLiteral("DROP INDEX %1.%2").arg(f.table->label, QLatin1String(key.name)),
                             f.table->label);
        CompteTable compte{f.table->label, 0};
        if (e.ok() && QFileInfo::exists(f.chemin))
            e = copierTable(c, *f.table, f.chemin, &compte.lignes, progress);
        for (const KeyDecl& key : f.table->keys)
            if (e.ok())
                e = executer(c, f.table->createIndexSqlServer(key), f.table->label);
        comptes->push_back(compte);
    }
    if (e.ok())
        e = executer(c, QStringLiteral("COMMIT"));
    if (!e.ok())
        comptes->clear();
    return e;
}

} // namespace

FileError copierFichiersVersServeur(const QString& dataDir, const QString& conninfo, bool remplacer,
                                    std::vector<CompteTable>* comptes,
                                    const std::function<void(const QString&, qint64)>& progress)
{
    std::vector<FichierTable> fichiers;
    for (FileId id : TousLesFichiers)
        fichiers.push_back({&tableOf(id), QDir(dataDir).filePath(tableOf(id).fileName)});
    return copier(conninfo, fichiers, true, remplacer, Database::DefaultWaitMs, comptes, progress);
}

FileError remplacerTablesServeur(const QString& conninfo, std::vector<FichierTable> fichiers, int attenteMs,
                                 std::vector<CompteTable>* comptes)
{
    std::sort(fichiers.begin(), fichiers.end(), [](const FichierTable& a, const FichierTable& b) {
        FileId ia, ib;
        return labelToFile(a.table->label, &ia) && labelToFile(b.table->label, &ib) && ia < ib;
    });
    return copier(conninfo, fichiers, false, true, attenteMs, comptes, {});
}

} // namespace kip
