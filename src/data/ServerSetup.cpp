#include "ServerSetup.h"

#include "Base.h"
#include "Database.h"
#include "Journal.h"
#include "SauvegardeServeur.h"
#include "ServerAdmin.h"
#include "ServerConnection.h"
#include "TableDecl.h"
#include "Transaction.h"

#include <QRegularExpression>
#include <libpq-fe.h>

namespace kip {

namespace {

// The record tables' schemas, as an SQL list of names (constants of the program, never the user's text).
QString listeSchemas()
{
    QStringList noms;
    for (const TableDecl* t : allTables())
        noms << QStringLiteral("'%1'").arg(t->label.toLower());
    return noms.join(QStringLiteral(", "));
}

FileError texteUnique(Database& db, const QString& sql, QString* valeur)
{
    Statement st = db.prepare(sql);
    if (!st.valid())
        return st.error();
    const int rc = st.step();
    if (rc != SqliteRow)
        return db.errorFrom(rc);
    *valeur = st.columnText(0);
    st.reset();
    return {};
}

// The rights of the stations' role on one table: records read and written, the journal only added to and read.
QStringList droitsPoste(const TableDecl& table, const QString& role)
{
    const QString t = QStringLiteral("%1.%1").arg(table.label);
    QStringList sql{QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(table.label, role),
                    QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA %1 TO %2").arg(table.label, role)};
    if (table.label == QLatin1String(Journal::Label))
        sql << QStringLiteral("REVOKE UPDATE, DELETE, TRUNCATE ON %1 FROM %2").arg(t, role)
            << QStringLiteral("GRANT SELECT, INSERT ON %1 TO %2").arg(t, role);
    else
        sql << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2").arg(t, role);
    return sql;
}

} // namespace

ResultatCreation creerBaseServeur(const QString& rolePoste)
{
    ResultatCreation r;
    static const QRegularExpression identifiant(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    if (!identifiant.match(rolePoste).hasMatch()) {
        r.erreur =
            plainError(QStringLiteral("nom de rôle invalide: %1 (lettres, chiffres et _ seulement)").arg(rolePoste));
        return r;
    }
    const QString role = rolePoste.toLower();
    Database db(QString{});
    if (!db.valid()) {
        r.erreur = db.errorFrom(0);
        return r;
    }
    for (const TableDecl* table : allTables()) {
        qint64 n = 0;
        r.erreur = db.run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = ?1 AND tablename = ?1"),
                          {table->label.toLower()}, &n);
        if (r.erreur.ok())
            r.erreur = createServerTable(db, *table);
        if (r.erreur.ok())
            r.erreur = checkServerTable(db, *table);
        if (!r.erreur.ok()) {
            r.erreur.label = table->label;
            return r;
        }
        ++(n > 0 ? r.tablesPresentes : r.tablesCreees);
    }
    Transaction t(db, Transaction::Ecriture);
    r.erreur = t.error();
    qint64 existe = 0;
    if (r.erreur.ok())
        r.erreur = db.run(QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = ?1"), {role}, &existe);
    if (r.erreur.ok() && existe == 0) {
        // A login role without a password: the administrator gives it one (ALTER ROLE ... PASSWORD) or maps it
        // in pg_hba.conf, as the business's server is run.
        r.erreur = db.exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        r.roleCree = r.erreur.ok();
    }
    for (const TableDecl* table : allTables())
        for (const QString& sql : droitsPoste(*table, role))
            if (r.erreur.ok())
                r.erreur = db.exec(sql);
    // Made here too for a database whose tables are older than it.
    if (r.erreur.ok())
        r.erreur = creerTableSauvegardes(db, role);
    if (r.erreur.ok())
        r.erreur = t.commit();
    if (!r.erreur.ok())
        r.roleCree = false;
    return r;
}

FileError verifierRoleAdministrateur(Database& db)
{
    if (!db.isServer())
        return {};
    qint64 refusees = 0;
    FileError e = db.run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = tablename AND "
                                        "schemaname IN (%1) AND NOT pg_has_role(current_user, tableowner, 'USAGE')")
                             .arg(listeSchemas()),
                         {}, &refusees);
    if (!e.ok() || refusees == 0)
        return e;
    QString role;
    e = texteUnique(db, QStringLiteral("SELECT current_user::text"), &role);
    if (!e.ok())
        return e;
    return plainError(QStringLiteral("le rôle %1 n'a pas les droits de l'administrateur sur les tables de Kip du "
                                     "serveur %2: la purge, la restauration et la reconstruction des index demandent "
                                     "le rôle de l'administrateur, qui a créé les tables")
                          .arg(role, serverName(storeServer())));
}

QMap<QString, QString> optionsConnexion(const QString& conninfo, FileError* erreur)
{
    QMap<QString, QString> options;
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        *erreur = plainError(QStringLiteral("Serveur %1 injoignable: %2")
                                 .arg(serverName(conninfo), QString::fromUtf8(PQerrorMessage(c)).trimmed()));
        PQfinish(c);
        return options;
    }
    *erreur = {};
    PQconninfoOption* o = PQconninfo(c);
    for (PQconninfoOption* i = o; i && i->keyword; ++i)
        if (i->val && *i->val)
            options.insert(QString::fromUtf8(i->keyword), QString::fromUtf8(i->val));
    PQconninfoFree(o);
    PQfinish(c);
    return options;
}

QString avertissementTexteClair(const QMap<QString, QString>& options)
{
    const QString sslmode = options.value(QStringLiteral("sslmode"), QStringLiteral("prefer"));
    if (sslmode == QLatin1String("verify-ca") || sslmode == QLatin1String("verify-full"))
        return {};
    auto locale = [](const QString& h) {
        return h.isEmpty() || h.startsWith(u'/') || h.startsWith(u'@') ||
               h.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || h.startsWith(QLatin1String("127.")) ||
               h == QLatin1String("::1");
    };
    // hostaddr, when given, is where the connection goes; host then only names the server for its certificate.
    const QString adresses = options.value(QStringLiteral("hostaddr"), options.value(QStringLiteral("host")));
    QStringList distants;
    for (const QString& h : adresses.split(u',', Qt::SkipEmptyParts))
        if (!locale(h.trimmed()))
            distants << h.trimmed();
    if (distants.isEmpty())
        return {};
    return QStringLiteral("attention: la connexion à %1 peut passer en clair sur le réseau (sslmode=%2); sur un "
                          "réseau, indiquez sslmode=verify-full et le certificat du serveur (sslrootcert).")
        .arg(distants.join(QStringLiteral(", ")), sslmode);
}

} // namespace kip
