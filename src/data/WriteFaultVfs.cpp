// The SQLite side of the write-fault seam: a VFS that passes everything to the default one, except that each
// write and each sync first asks the seam, so that a record file, its journal or a backup copy meets the same
// full disk as the text files.
#include "WriteFaults.h"

#include <cerrno>
#include <mutex>
#include <sqlite3.h>

namespace kip {

namespace {

sqlite3_vfs* g_real = nullptr;

// Our header, then the real VFS's own file structure.
struct FaultFile
{
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* realFile(sqlite3_file* f)
{
    return reinterpret_cast<FaultFile*>(f)->real;
}

int faultClose(sqlite3_file* f)
{
    sqlite3_file* r = realFile(f);
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int faultRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    return realFile(f)->pMethods->xRead(realFile(f), buffer, amount, offset);
}
int faultWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset)
{
    qsizetype allowed = amount;
    const int errnum = writeFaultBefore(&allowed);
    if (errnum != 0)
        return errnum == EIO ? SQLITE_IOERR_WRITE : SQLITE_FULL;
    if (allowed < amount) {
        // What the default VFS says of a write the disk cut short.
        (void)realFile(f)->pMethods->xWrite(realFile(f), data, int(allowed), offset);
        return SQLITE_FULL;
    }
    return realFile(f)->pMethods->xWrite(realFile(f), data, amount, offset);
}
int faultTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return realFile(f)->pMethods->xTruncate(realFile(f), size);
}
int faultSync(sqlite3_file* f, int flags)
{
    if (syncFaultBefore() != 0)
        return SQLITE_IOERR_FSYNC;
    return realFile(f)->pMethods->xSync(realFile(f), flags);
}
int faultFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return realFile(f)->pMethods->xFileSize(realFile(f), size);
}
int faultLock(sqlite3_file* f, int level)
{
    return realFile(f)->pMethods->xLock(realFile(f), level);
}
int faultUnlock(sqlite3_file* f, int level)
{
    return realFile(f)->pMethods->xUnlock(realFile(f), level);
}
int faultCheckReservedLock(sqlite3_file* f, int* out)
{
    return realFile(f)->pMethods->xCheckReservedLock(realFile(f), out);
}
int faultFileControl(sqlite3_file* f, int op, void* arg)
{
    return realFile(f)->pMethods->xFileControl(realFile(f), op, arg);
}
int faultSectorSize(sqlite3_file* f)
{
    return realFile(f)->pMethods->xSectorSize(realFile(f));
}
int faultDeviceCharacteristics(sqlite3_file* f)
{
    return realFile(f)->pMethods->xDeviceCharacteristics(realFile(f));
}
int faultShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    return realFile(f)->pMethods->xShmMap(realFile(f), region, size, extend, out);
}
int faultShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return realFile(f)->pMethods->xShmLock(realFile(f), offset, n, flags);
}
void faultShmBarrier(sqlite3_file* f)
{
    realFile(f)->pMethods->xShmBarrier(realFile(f));
}
int faultShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return realFile(f)->pMethods->xShmUnmap(realFile(f), deleteFlag);
}
int faultFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    return realFile(f)->pMethods->xFetch(realFile(f), offset, amount, out);
}
int faultUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
{
    return realFile(f)->pMethods->xUnfetch(realFile(f), offset, p);
}

// Version 3 of the methods, as the default VFS's files have: shared memory and memory mapping pass through.
const sqlite3_io_methods g_methods = {
    3,
    faultClose,
    faultRead,
    faultWrite,
    faultTruncate,
    faultSync,
    faultFileSize,
    faultLock,
    faultUnlock,
    faultCheckReservedLock,
    faultFileControl,
    faultSectorSize,
    faultDeviceCharacteristics,
    faultShmMap,
    faultShmLock,
    faultShmBarrier,
    faultShmUnmap,
    faultFetch,
    faultUnfetch,
};

int faultOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* ff = reinterpret_cast<FaultFile*>(f);
    ff->real = reinterpret_cast<sqlite3_file*>(ff + 1);
    ff->real->pMethods = nullptr;
    const int rc = g_real->xOpen(g_real, name, ff->real, flags, outFlags);
    // A file the default VFS could not open has no methods, so that SQLite does not close it.
    ff->base.pMethods = ff->real->pMethods ? &g_methods : nullptr;
    return rc;
}

sqlite3_vfs g_vfs;

} // namespace

bool installWriteFaultVfs()
{
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        g_real = sqlite3_vfs_find(nullptr);
        if (!g_real)
            return;
        // Everything but the opening and the size of a file is the default VFS's own, which reads nothing of its
        // VFS structure but the fields copied here.
        g_vfs = *g_real;
        g_vfs.zName = "kip-pannes";
        g_vfs.szOsFile = int(sizeof(FaultFile)) + g_real->szOsFile;
        g_vfs.pNext = nullptr;
        g_vfs.xOpen = faultOpen;
        installed = sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
    });
    return installed;
}

} // namespace kip
