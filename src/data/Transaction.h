// The one way to write several records as a whole: a transaction over the record files it names, rolled
// back unless committed. Batch work (the day initialisation, the transfer, the purge) is one such
// transaction, committed once at its end.
//
// Lock order: every write transaction takes the write locks of its files at its start, in the order in
// which the files are declared (PARAMETRE, PERSONNEL, POINTVAL, DATESAVE, ONOFF, then the journal), whatever
// order the caller names them in. Two writers of the same files therefore never hold one file each while
// waiting for the other's: the second simply waits for the first, at most the given time.
#pragma once

#include "Database.h"
#include "Files.h"

#include <initializer_list>
#include <vector>

namespace kip {

class Transaction
{
public:
    enum Mode
    {
        Ecriture, // the write locks of every file, taken at the start
        Lecture,  // one consistent snapshot of every file, for the length of the transaction
        Exclusif  // the files held against every other user, readers included (a rebuild, a restore)
    };

    // Attaches the files to the connection when needed and starts the transaction; error() tells whether
    // it started (32 when a file could not be had within waitMs).
    Transaction(Database& db, std::initializer_list<FileId> files, Mode mode = Ecriture,
                int waitMs = Database::DefaultWaitMs);
    // A transaction of a private file (Database::PrivateFile), or of the server's database as a whole (the making
    // of its tables), taking no file's lock.
    Transaction(Database& db, Mode mode, int waitMs = Database::DefaultWaitMs);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const FileError& error() const { return m_error; }
    Database& database() const { return m_db; }
    // Whether the transaction was started over the file.
    bool holds(FileId id) const;
    bool ok() const { return m_error.ok() && m_open; }

    // Commits; on failure everything is rolled back. Committing a transaction that did not start returns the
    // error of its start.
    FileError commit();
    // Gives up every change made since the start. Done by the destructor unless committed.
    void rollback();

private:
    Database& m_db;
    FileError m_error;
    bool m_open = false;
    std::vector<FileId> m_files;
};

// The files in the one order in which transactions lock them.
std::vector<FileId> inLockOrder(std::initializer_list<FileId> files);

} // namespace kip
