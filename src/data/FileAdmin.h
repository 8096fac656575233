// Whole-file operations on record files: create, check against the declaration, rebuild the keys,
// copy as a consistent snapshot, delete.
#pragma once

#include "FileError.h"
#include "Result.h"
#include "TableDecl.h"

#include <functional>

namespace kip {

// Creates the file empty with its table and keys.
FileError createRecordFile(const TableDecl& table, const QString& path);

enum class FileCheck
{
    Declaration, // the table and keys against the declaration: reads the file's schema only
    Pages        // also every page of the file (milliseconds on the small files, seconds on a large POINTVAL)
};

// Checks the file: NotFound when missing, DeclarationMismatch when it is not a database or its table differs,
// KeysInvalid when a key is missing or differs or a page is damaged, Locked when it could not be read within
// the wait.
FileError checkRecordFile(const TableDecl& table, const QString& path, FileCheck depth = FileCheck::Declaration,
                          int waitMs = 2000);

// What a rebuild that could not rebuild the keys in place did instead.
struct RebuildAnew
{
    bool done = false; // the file was made anew from its readable records
    qint64 kept = 0;   // the records it kept
};

// Rebuilds every key of the file from its records, then checks every page of the file: KeysInvalid when the
// file is damaged beyond its keys.
// With exclusive, the file is held locked against every other user for the whole rebuild, waiting at most
// waitMs for the lock.
// With anew, a file that stays damaged (a key page that the rebuild cannot free, a damaged record page) is made
// anew from every record a scan can read, its keys built, and written over the damaged one in one transaction;
// the damaged bytes are kept as path.endommage. A file of which no record can be read stays damaged.
FileError rebuildRecordFileKeys(const TableDecl& table, const QString& path, bool exclusive, int waitMs = 2000,
                                RebuildAnew* anew = nullptr);

// Copies a record file as one committed state, even while another connection writes to it. progress, when
// given, is told the pages copied and the pages of the file as the copy goes (from the thread of the copy).
using CopyProgress = std::function<void(qint64 done, qint64 total)>;
FileError copyRecordFile(const QString& from, const QString& to, const CopyProgress& progress = {});

// Reads of a record file that is not the one the store opens (a backup's copy, a file set aside): its records,
// and the largest value of one of its integer columns (0 when it has none), opened read-only.
Result<qint64> recordsOfFile(const TableDecl& table, const QString& path, int waitMs = 2000);
Result<qint64> largestOfFile(const TableDecl& table, const QString& path, const QString& column, int waitMs = 2000);

// Deletes a record file and any journal it left.
bool removeRecordFile(const QString& path);

// Driver option strings: accepted and ignored by this store; the steps that follow them do what they ask.
inline void sendDriverOption(const QString& /*path*/, const QString& /*option*/) {}

} // namespace kip
