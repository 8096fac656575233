#include "FileWriter.h"

#include "ErrorTexts.h"
#include "WriteFaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kip {

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// A name of its own for every temporary file of the process, beside its target so that the rename stays on one
// file system.
QString temporaryName(const QString& path)
{
    static std::atomic<unsigned> next{0};
    return QStringLiteral("%1.%2-%3.tmp").arg(path).arg(::getpid()).arg(next.fetch_add(1));
}

} // namespace

int writeAllBytes(int fd, const char* data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        qsizetype length = size - done;
        if (const int injected = writeFaultBefore(&length))
            return injected;
        const ssize_t n = ::write(fd, data + done, size_t(length));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A write that takes nothing will take nothing the next time either: the disk is full.
        if (n == 0)
            return ENOSPC;
        done += n;
    }
    return 0;
}

int syncFile(int fd)
{
    if (const int injected = syncFaultBefore())
        return injected;
    return ::fsync(fd) == 0 ? 0 : errno;
}

int syncDirectoryOf(const QString& path)
{
    const int fd = ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int e = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return e;
}

AtomicFile::AtomicFile(const QString& path, Durability durability) : m_path(path), m_durability(durability)
{
    // A link keeps pointing where it did: the file it names is the one replaced.
    const QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        m_path = info.canonicalFilePath();
}

AtomicFile::~AtomicFile()
{
    cancel();
}

FileError AtomicFile::fail(int errnum)
{
    cancel();
    m_error = systemError(m_path, errnum);
    return m_error;
}

FileError AtomicFile::open()
{
    struct stat target = {};
    const bool exists = ::stat(encoded(m_path).constData(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return fail(EISDIR);
    m_temp = temporaryName(m_path);
    m_fd = ::open(encoded(m_temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        const int e = errno;
        m_temp.clear();
        return fail(e);
    }
    // The new file replaces the former one with its permissions, not the umask's.
    if (exists)
        (void)::fchmod(m_fd, target.st_mode & 07777);
    m_error = {};
    return {};
}

FileError AtomicFile::write(const char* data, qsizetype size)
{
    if (!m_error.ok())
        return m_error;
    if (m_fd < 0)
        return fail(EBADF);
    if (const int e = writeAllBytes(m_fd, data, size))
        return fail(e);
    return {};
}

FileError AtomicFile::commit()
{
    if (!m_error.ok())
        return m_error;
    if (m_fd < 0)
        return fail(EBADF);
    if (m_durability == Durability::Synced)
        if (const int e = syncFile(m_fd))
            return fail(e);
    const int fd = m_fd;
    m_fd = -1;
    // A network file system may report a failed write only at the close.
    if (::close(fd) != 0)
        return fail(errno);
    if (::rename(encoded(m_temp).constData(), encoded(m_path).constData()) != 0)
        return fail(errno);
    m_temp.clear();
    if (m_durability == Durability::Synced)
        if (const int e = syncDirectoryOf(m_path))
            return m_error = systemError(m_path, e);
    return {};
}

void AtomicFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(encoded(m_temp).constData());
        m_temp.clear();
    }
}

QString writeFailureText(const FileError& error, bool withCause)
{
    const QString texte =
        QStringLiteral("le fichier %1 n'a pas pu être écrit").arg(QDir::toNativeSeparators(error.path));
    return withCause ? texte + QStringLiteral(" (%1)").arg(error.description()) : texte;
}

FileError writeFileAtomically(const QString& path, const QByteArray& contents, Durability durability)
{
    AtomicFile f(path, durability);
    if (FileError e = f.open(); !e.ok())
        return e;
    if (FileError e = f.write(contents); !e.ok())
        return e;
    return f.commit();
}

Result<QByteArray> readWholeFile(const QString& path, bool missingIsEmpty)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && missingIsEmpty)
            return QByteArray();
        return systemError(path, errno);
    }
    QByteArray out;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return systemError(path, e);
        }
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    ::close(fd);
    return out;
}

} // namespace kip
