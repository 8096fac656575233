// The employees' reads that go beyond a key read of RecordFile: the whole file in a key's order (the reports),
// the first and the last employee of an order (the report selection's bounds), and the stretches of the
// employee list's orders read by key range from a key value (the list's pages, its letter locator and its
// scroll positions).
//
// Each statement is written once for both engines: parameters $1, $2 ... numbered in the order of their first
// use, tables named by schema (PERSONNEL.PERSONNEL), texts compared by the columns' case-blind collation, row
// values compared as a whole. What each read needs of an engine beyond that is said at the read.
#pragma once

#include "Database.h"
#include "RecordFile.h"
#include "Records.h"
#include "Result.h"

#include <optional>
#include <vector>

namespace kip {

// The three orders of the employees and of the reports' groups: card; name and first name; matricule.
enum class EmployeeKey
{
    Card,
    Name,
    Matricule
};

// Every employee, in the key's order (ties left to the engine, as ORDER BY leaves them).
// Needs: an ordered read of the whole table.
Cursor<Personnel> readEmployeesInOrder(Database& db, EmployeeKey key);

// The first (Forward) or the last (Backward) employee in the key's order; nothing when the file is empty.
// Needs: ORDER BY ... LIMIT 1, descending on every column for the last one.
Result<std::optional<Personnel>> endEmployee(Database& db, EmployeeKey key, Direction direction);

// A stretch of one of the list's orders that one index reads. The name and card orders are one stretch each; in
// matricule order the employees without a matricule come first, by their position in the file, then the others
// by matricule (the stretch whose condition is the matricule key's own, so that it can use it).
enum class EmployeeStretch
{
    Name,
    Card,
    BlankMatricule,
    Matricule
};

// How a stretch is read: after or before a key value (excluded), from it (included), or from either end.
enum class StretchRead
{
    After,
    Before,
    From,
    First,
    Last
};

// Checks that every read of the stretch can be made on the file; the error otherwise.
FileError checkEmployeeStretch(Database& db, EmployeeStretch stretch);

// Appends up to limit employees of the stretch to out, nearest first: after, before or from the key of key
// (its name and first name, its card, its matricule, or its position in the file for BlankMatricule), or the
// first or last ones (key unused). The positions are read through the index, then each record at its
// position; an employee deleted by another station in between is passed over.
// Needs: row values compared as a whole ((NOM, PRENOM) > ($1, $2)), LIMIT with a parameter, rowid.
FileError readEmployeeStretch(Database& db, EmployeeStretch stretch, StretchRead read, const Personnel* key,
                              qint64 limit, std::vector<Personnel>& out);

} // namespace kip
