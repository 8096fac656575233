// Whole-table operations of the records' server: the tables made from their declarations, checked against them,
// and their keys rebuilt. The SQLite files have theirs in FileAdmin.
#pragma once

#include "FileAdmin.h"
#include "FileError.h"
#include "TableDecl.h"

namespace kip {

class Database;

// Makes the record file's table and keys on the server when it has none: one transaction, serialised with any
// other creator, who finds the table made.
FileError createServerTable(Database& db, const TableDecl& table);

// NotFound when the server has no such table, DeclarationMismatch when its columns differ from the declaration,
// KeysInvalid when one of its keys is missing.
FileError checkServerTable(Database& db, const TableDecl& table);

// Every table of allTables() made when missing (an empty database made ready for the records).
FileError createServerTables(Database& db);

// Rebuilds the table's keys (REINDEX): the server's log keeps them whole through a crash, so this is the
// utilities' re-index only, never the start-up's repair.
FileError reindexServerTable(Database& db, const TableDecl& table);

// Writes the server's table as an SQLite record file at to (a backup): one snapshot of the table, every record
// at its position with its version, the file whole under its name or not there (the former copy kept).
// progress is told the records copied and the records of the table.
FileError copyServerTable(const TableDecl& table, const QString& to, const CopyProgress& progress = {});

} // namespace kip
