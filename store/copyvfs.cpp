// An SQLite file layer for writing a safety copy: the pages SQLite writes
// one by one are gathered into large writes, so that copying a catalogue of
// thousands of pages costs one system call per 64 KiB instead of one a page.
// Everything else is handed to the system's own layer unchanged.
#include "store/copyvfs.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The system layer writes at most 128 KiB - 1 in one call.
constexpr sqlite3_int64 kGatherBytes = 64 * 1024;
// Every so many bytes written, the system is asked to start putting them on
// disk, so that the sync at the end has little left to wait for.
constexpr sqlite3_int64 kStartWritingBytes = 4 << 20;

struct GatherFile {
    sqlite3_file base;        // must come first
    sqlite3_file *real;       // the system layer's file, allocated after this struct
    char *buffer;             // bytes waiting to be written, from offset `start`
    sqlite3_int64 start;
    sqlite3_int64 length;
    int watch;                    // the same file opened again, to start writing back; or -1
    sqlite3_int64 unstarted;      // bytes written since writing back was last started
};

sqlite3_vfs *systemVfs()
{
    static sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

GatherFile *asGather(sqlite3_file *file) { return reinterpret_cast<GatherFile *>(file); }

int flush(GatherFile *f)
{
    if (f->length == 0)
        return SQLITE_OK;
    const int rc = f->real->pMethods->xWrite(f->real, f->buffer, int(f->length), f->start);
    f->unstarted += f->length;
    f->length = 0;
#ifdef __linux__
    if (rc == SQLITE_OK && f->watch >= 0 && f->unstarted >= kStartWritingBytes) {
        ::sync_file_range(f->watch, 0, 0, SYNC_FILE_RANGE_WRITE);
        f->unstarted = 0;
    }
#endif
    return rc;
}

int gatherWrite(sqlite3_file *file, const void *data, int amount, sqlite3_int64 offset)
{
    GatherFile *f = asGather(file);
    const bool follows = f->length > 0 && offset == f->start + f->length;
    if (!follows || f->length + amount > kGatherBytes) {
        if (const int rc = flush(f))
            return rc;
        if (amount >= kGatherBytes)
            return f->real->pMethods->xWrite(f->real, data, amount, offset);
        f->start = offset;
    }
    std::memcpy(f->buffer + f->length, data, size_t(amount));
    f->length += amount;
    return SQLITE_OK;
}

// The calls that look at or change what is on disk see the gathered bytes written first.
int gatherRead(sqlite3_file *file, void *data, int amount, sqlite3_int64 offset)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xRead(f->real, data, amount, offset);
}

int gatherTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xTruncate(f->real, size);
}

int gatherSync(sqlite3_file *file, int flags)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xSync(f->real, flags);
}

int gatherFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xFileSize(f->real, size);
}

int gatherClose(sqlite3_file *file)
{
    GatherFile *f = asGather(file);
    const int flushed = flush(f);
    const int closed = f->real->pMethods->xClose(f->real);
    std::free(f->buffer);
    f->buffer = nullptr;
    if (f->watch >= 0)
        ::close(f->watch);
    f->watch = -1;
    return flushed != SQLITE_OK ? flushed : closed;
}

int gatherLock(sqlite3_file *file, int level) { return asGather(file)->real->pMethods->xLock(asGather(file)->real, level); }

int gatherUnlock(sqlite3_file *file, int level)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xUnlock(f->real, level);
}

int gatherCheckReservedLock(sqlite3_file *file, int *out)
{
    return asGather(file)->real->pMethods->xCheckReservedLock(asGather(file)->real, out);
}

int gatherFileControl(sqlite3_file *file, int op, void *arg)
{
    GatherFile *f = asGather(file);
    if (const int rc = flush(f))
        return rc;
    return f->real->pMethods->xFileControl(f->real, op, arg);
}

int gatherSectorSize(sqlite3_file *file) { return asGather(file)->real->pMethods->xSectorSize(asGather(file)->real); }

int gatherDeviceCharacteristics(sqlite3_file *file)
{
    return asGather(file)->real->pMethods->xDeviceCharacteristics(asGather(file)->real);
}

// Version 1: no shared memory and no memory mapping, which a copy written
// without a journal never asks for.
const sqlite3_io_methods kGatherMethods = {
    1, gatherClose, gatherRead, gatherWrite, gatherTruncate, gatherSync, gatherFileSize, gatherLock, gatherUnlock,
    gatherCheckReservedLock, gatherFileControl, gatherSectorSize, gatherDeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int gatherOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    GatherFile *f = asGather(file);
    std::memset(f, 0, sizeof(GatherFile));
    f->real = reinterpret_cast<sqlite3_file *>(f + 1);
    const int rc = systemVfs()->xOpen(systemVfs(), name, f->real, flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;   // the system layer leaves nothing to close
    f->buffer = static_cast<char *>(std::malloc(size_t(kGatherBytes)));
    if (!f->buffer) {
        f->real->pMethods->xClose(f->real);
        return SQLITE_NOMEM;
    }
    f->watch = name ? ::open(name, O_RDONLY | O_CLOEXEC) : -1;
    f->base.pMethods = &kGatherMethods;
    return SQLITE_OK;
}

} // namespace

const char *gatheringVfsName()
{
    static const char *name = [] {
        static sqlite3_vfs vfs = *systemVfs();
        vfs.szOsFile = int(sizeof(GatherFile)) + systemVfs()->szOsFile;
        vfs.zName = "zx_gather";
        vfs.pNext = nullptr;
        vfs.xOpen = gatherOpen;
        return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? vfs.zName : nullptr;
    }();
    return name;
}
