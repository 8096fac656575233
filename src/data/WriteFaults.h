// Faults of the disk, on demand: the seam through which a test makes the n-th write of the program fail as a
// full or failing disk would, without mounts or root.
//
// Every byte the project writes to its own files goes through FileWriter (writeAllBytes, syncFile), and every
// SQLite write through the wrapper VFS once installWriteFaultVfs() has run; each write and each sync is one
// operation, numbered from 1 from the moment a fault is set. At operation `at`:
//   - ShortWrite writes half of what was asked (a sync fails), and the operations after it fail with ENOSPC;
//   - NoSpace fails with ENOSPC (SQLITE_FULL);
//   - IoError fails with EIO (SQLITE_IOERR).
// `count` operations fail from `at` on; 0 means every one after it, as a disk that stays full.
//
// A child process takes its fault from the environment: KIP_PANNE_ECRITURE=court|plein|es:AT[:COUNT] sets it
// at start and installs the VFS. Nothing is injected when the variable is absent.
#pragma once

#include <QtGlobal>

namespace kip {

enum class WriteFaultKind
{
    ShortWrite,
    NoSpace,
    IoError
};

struct WriteFault
{
    WriteFaultKind kind = WriteFaultKind::NoSpace;
    int at = 1;    // the operation that fails first; 0 or less only counts the operations
    int count = 0; // how many fail; 0: all from `at` on
};

// Arms a fault and restarts the count of operations.
void setWriteFault(const WriteFault& fault);
// Counts the operations without failing any (to size a loop over every operation).
void countWriteOperations();
// Injects nothing any more.
void clearWriteFault();
// The operations seen since the fault was set.
int writeOperationsSeen();
// The fault of KIP_PANNE_ECRITURE ("plein:3"); false when the text is not one.
bool parseWriteFault(const char* text, WriteFault* fault);

// For the duration of a scope (a test).
class ScopedWriteFault
{
public:
    explicit ScopedWriteFault(const WriteFault& fault) { setWriteFault(fault); }
    ~ScopedWriteFault() { clearWriteFault(); }
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
};

// What the writers ask before each operation. 0: go on, with *length possibly cut short (a short write);
// otherwise the errno to fail with.
int writeFaultBefore(qsizetype* length);
int syncFaultBefore();

// Makes the wrapper VFS SQLite's default, so that SQLite's writes (the record files, their journals, the
// backup copies) count and fail with the others. Idempotent; false when SQLite refused it.
bool installWriteFaultVfs();

} // namespace kip
