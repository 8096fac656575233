// The engine of the program's records, chosen once at start-up: the SQLite files of Data, or the PostgreSQL
// database named by the one line of Data/Base.txt (a libpq connection string such as
// "host=serveur dbname=kip user=kip", or "service=kip"). The password never sits in that file: libpq finds it
// in ~/.pgpass or PGPASSFILE.
#pragma once

#include "Result.h"

#include <QString>

namespace kip {

// The connection string of the server holding the records, or empty for the SQLite files.
QString storeServer();
void setStoreServer(const QString& conninfo);

// The connection string of dataDir/Base.txt: empty when the file is absent (the SQLite files). An error when
// the file cannot be read, holds no connection string, or holds a password.
Result<QString> readBaseFile(const QString& dataDir);
// Why the connection string cannot go into Base.txt (empty, not a connection string, or holding a password), in
// French; empty when it can.
QString connectionStringRefusal(const QString& conninfo);
// The file of the engine's choice in a data directory.
inline constexpr const char* BaseFileName = "Base.txt";

// Reads Base.txt, sets the program's engine, and checks that the server answers: the error says, in French,
// which server could not be reached and libpq's reason. On the server, the program's session is registered under
// the station's name (Postes.h). Nothing is written anywhere.
FileError chooseStore(const QString& dataDir);

} // namespace kip
