#include "WriteFaults.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kip {

namespace {

// Read by every writer of every thread: plain atomics, set before the work under test starts.
std::atomic<bool> g_armed{false};
std::atomic<int> g_kind{0};
std::atomic<int> g_at{0};
std::atomic<int> g_count{0};
std::atomic<int> g_seen{0};

enum class Verdict
{
    Go,
    Short,
    Fail
};

Verdict nextOperation(int* errnum)
{
    if (!g_armed.load(std::memory_order_acquire))
        return Verdict::Go;
    const int n = g_seen.fetch_add(1) + 1;
    const int at = g_at.load();
    const int count = g_count.load();
    if (at <= 0 || n < at || (count > 0 && n >= at + count))
        return Verdict::Go;
    const auto kind = WriteFaultKind(g_kind.load());
    *errnum = kind == WriteFaultKind::IoError ? EIO : ENOSPC;
    return n == at && kind == WriteFaultKind::ShortWrite ? Verdict::Short : Verdict::Fail;
}

// A child process run by a test gets its fault from its environment.
bool armFromEnvironment()
{
    WriteFault f;
    if (!parseWriteFault(std::getenv("KIP_PANNE_ECRITURE"), &f))
        return false;
    setWriteFault(f);
    return installWriteFaultVfs();
}

[[maybe_unused]] const bool g_fromEnvironment = armFromEnvironment();

} // namespace

void setWriteFault(const WriteFault& fault)
{
    g_armed = false;
    g_kind = int(fault.kind);
    g_at = fault.at;
    g_count = fault.count;
    g_seen = 0;
    g_armed.store(true, std::memory_order_release);
}

void countWriteOperations()
{
    setWriteFault(WriteFault{WriteFaultKind::NoSpace, 0, 0});
}

void clearWriteFault()
{
    g_armed = false;
    g_seen = 0;
}

int writeOperationsSeen()
{
    return g_seen.load();
}

bool parseWriteFault(const char* text, WriteFault* fault)
{
    if (!text || !*text)
        return false;
    const char* colon = std::strchr(text, ':');
    if (!colon)
        return false;
    const size_t length = size_t(colon - text);
    WriteFault f;
    if (length == 5 && std::strncmp(text, "court", 5) == 0)
        f.kind = WriteFaultKind::ShortWrite;
    else if (length == 5 && std::strncmp(text, "plein", 5) == 0)
        f.kind = WriteFaultKind::NoSpace;
    else if (length == 2 && std::strncmp(text, "es", 2) == 0)
        f.kind = WriteFaultKind::IoError;
    else
        return false;
    char* end = nullptr;
    f.at = int(std::strtol(colon + 1, &end, 10));
    if (end == colon + 1 || f.at < 1)
        return false;
    if (*end == ':') {
        const char* from = end + 1;
        f.count = int(std::strtol(from, &end, 10));
        if (end == from || f.count < 0)
            return false;
    }
    if (*end != '\0')
        return false;
    *fault = f;
    return true;
}

int writeFaultBefore(qsizetype* length)
{
    int errnum = 0;
    switch (nextOperation(&errnum)) {
    case Verdict::Go:
        return 0;
    case Verdict::Short:
        if (*length > 1) {
            *length /= 2;
            return 0;
        }
        return errnum;
    case Verdict::Fail:
        return errnum;
    }
    return 0;
}

int syncFaultBefore()
{
    int errnum = 0;
    return nextOperation(&errnum) == Verdict::Go ? 0 : errnum;
}

} // namespace kip
