// Making a database ready for the records, and who may do what on it: the tables owned by the administrator's
// role that makes them, a role for the stations that reads and writes records but changes no table and may only
// add to the journal of corrections and read it, the check that the work of the administrator (purge, restore,
// re-index) runs under the administrator's role, and the warning for a connection that may go in plain text.
#pragma once

#include "FileError.h"

#include <QMap>
#include <QString>

namespace kip {

class Database;

// The stations' role when none is named.
inline constexpr const char* RolePosteParDefaut = "kip_poste";

// What `creer` did: the tables made (or already there), and whether the stations' role was made or only given
// its rights.
struct ResultatCreation
{
    FileError erreur;
    int tablesCreees = 0;
    int tablesPresentes = 0;
    bool roleCree = false;
};

// On the program's engine, which is the server (setStoreServer): every record table made where missing, owned by
// the connection's role, and the stations' role made when missing and given its rights. A role name is a plain
// identifier (letters, digits, underscores).
ResultatCreation creerBaseServeur(const QString& rolePoste);

// Fails, with a French message naming the role (a clause, without a final stop), when the connection's role may not
// change the tables (it is not their owner nor a member of the owner's role): the purge, the restore and the re-index
// need that.
FileError verifierRoleAdministrateur(Database& db);

// The options that a connection actually uses (its own string, the service file's and the environment's), by
// keyword; empty with the error when the server cannot be reached.
QMap<QString, QString> optionsConnexion(const QString& conninfo, FileError* erreur);

// The French warning for options that let the connection go in plain text to a host that is not this machine:
// sslmode below verify-ca and a host that is neither a socket directory nor localhost. Empty otherwise.
QString avertissementTexteClair(const QMap<QString, QString>& options);

} // namespace kip
