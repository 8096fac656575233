// The archive of the raw file and the unattended transfer that decides it.
//
// The archive is ordered so that a kill at any instant leaves every raw line in at least one named file
// (a line in two is harmless: a second transfer stores nothing twice):
//   1. the older generations move up one place by renames (the former Origin10.txt is dropped);
//   2. Origin01.txt is made a second name (hard link) of Origin00.txt;
//   3. what follows the lines read is written to a temporary file, synced, and renamed over Origin00.txt;
//   4. only then is it cut off Origin01.txt, which keeps exactly the lines that were read.
#include "FichierOrigine.h"
#include "TransfertPointages.h"
#include "data/FileWriter.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kip {

namespace {

QByteArray generation(const QDir& dir, int k)
{
    return QFile::encodeName(dir.filePath(QStringLiteral("Origin%1.txt").arg(k, 2, 10, QLatin1Char('0'))));
}

FileError echec(const QString& quoi, const QByteArray& chemin, int errnum = errno)
{
    return systemError(QFile::decodeName(chemin), errnum, quoi);
}

// The bytes of an open file from an offset to its end.
bool lireDepuis(int fd, qint64 depuis, QByteArray& out)
{
    out.clear();
    char tampon[64 * 1024];
    qint64 pos = depuis;
    for (;;) {
        const ssize_t n = ::pread(fd, tampon, sizeof tampon, off_t(pos));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(tampon, n);
        pos += n;
    }
}

void synchroniserRepertoire(const QDir& dir)
{
    const int fd = ::open(QFile::encodeName(dir.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileError ArchiverOrigine(const QString& dataDir, qint64 octetsLus)
{
    const QDir dir(dataDir);
    const QByteArray origine = generation(dir, 0);
    const QByteArray premiere = generation(dir, 1);
    // 1. Each generation moves up; rename replaces the one above in one step.
    for (int k = 10; k >= 2; --k) {
        if (::rename(generation(dir, k - 1).constData(), generation(dir, k).constData()) != 0 && errno != ENOENT)
            return echec(QStringLiteral("Impossible de renommer"), generation(dir, k - 1));
    }
    // 2. The lines read get their archive name while they keep their own.
    if (::link(origine.constData(), premiere.constData()) != 0)
        return echec(QStringLiteral("Impossible d'archiver"), origine);
    // 3. What follows the lines read becomes the new raw file, in place in one rename.
    const int ancien = ::open(premiere.constData(), O_RDWR | O_CLOEXEC);
    if (ancien < 0)
        return echec(QStringLiteral("Impossible d'ouvrir"), premiere);
    QByteArray suite;
    const QByteArray temporaire = origine + ".nouveau";
    int e = lireDepuis(ancien, octetsLus, suite) ? 0 : errno;
    const int neuf = e ? -1 : ::open(temporaire.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (!e && neuf < 0)
        e = errno;
    if (!e)
        e = writeAllBytes(neuf, suite.constData(), suite.size());
    if (!e)
        e = syncFile(neuf);
    if (neuf >= 0 && ::close(neuf) != 0 && !e)
        e = errno;
    if (!e && ::rename(temporaire.constData(), origine.constData()) != 0)
        e = errno;
    if (e) {
        ::close(ancien);
        ::unlink(temporaire.constData());
        return echec(QStringLiteral("Impossible de créer"), origine, e);
    }
    synchroniserRepertoire(dir);
    // 4. The archive keeps the lines read. Anything the reader appended to the old file after the copy (it
    // should not, being paused) stays in the archive rather than be cut off.
    struct stat info = {};
    if (::fstat(ancien, &info) == 0 && info.st_size == octetsLus + suite.size())
        (void)::ftruncate(ancien, off_t(octetsLus));
    ::close(ancien);
    return {};
}

ResultatSansSurveillance TransfertSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui,
                                                   const ProgressionTransfert& progression)
{
    ResultatSansSurveillance r;
    const QString origine = QDir(dataDir).filePath(QStringLiteral("Origin00.txt"));
    r.lecture.erreurOrigine = ouvrirOrigine(origine);
    if (!r.lecture.erreurOrigine.ok())
        return r;
    r.lecture = TransfererPointages(db, origine, aujourdhui, progression);
    // Archived only once the day lines of the reading are committed, and only when nothing was rejected.
    if (!archivageAutomatique(r.lecture))
        return r;
    r.erreurArchive = ArchiverOrigine(dataDir, r.lecture.octetsLus);
    r.archive = r.erreurArchive.ok();
    return r;
}

} // namespace kip
