#include "EcritureDurable.h"

#include "data/FileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kip {

namespace {

// A descriptor closed when its holder goes out of scope.
class Descripteur
{
public:
    explicit Descripteur(int fd) : m_fd(fd) {}
    ~Descripteur()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    int fd() const { return m_fd; }
    // Closes now, so that an error of the close itself is seen: 0 or the errno.
    int fermer()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

FileError synchroniserRepertoire(const QString& chemin)
{
    if (const int e = syncDirectoryOf(chemin))
        return systemError(QFileInfo(chemin).absolutePath(), e);
    return {};
}

int ouvrir(const QString& chemin, int drapeaux)
{
    return ::open(QFile::encodeName(chemin).constData(), drapeaux | O_CLOEXEC, 0666);
}

// Whether the file ends on a line end (an empty file does).
bool finitSurUneLigne(int fd, off_t taille)
{
    char dernier = '\n';
    return taille == 0 || (::pread(fd, &dernier, 1, taille - 1) == 1 && dernier == '\n');
}

} // namespace

FileError ajouterDurablement(const QString& chemin, const QByteArray& octets)
{
    const bool nouveau = !fichierExiste(chemin);
    Descripteur d(ouvrir(chemin, O_RDWR | O_APPEND | O_CREAT));
    if (d.fd() < 0)
        return systemError(chemin, errno);
    struct stat avant = {};
    if (::fstat(d.fd(), &avant) != 0)
        return systemError(chemin, errno);
    // A fragment left by an append whose cut-back failed too stays a line of its own, which the transfer
    // rejects, instead of swallowing the start of this one.
    const QByteArray ajout = finitSurUneLigne(d.fd(), avant.st_size) ? octets : "\r\n" + octets;
    int e = writeAllBytes(d.fd(), ajout.constData(), ajout.size());
    if (e == 0)
        e = syncFile(d.fd());
    if (e != 0) {
        // Nobody else appends to these files (one reader runs at a time): what follows the former size is ours.
        if (::ftruncate(d.fd(), avant.st_size) == 0)
            (void)::fsync(d.fd());
        return systemError(chemin, e);
    }
    if (const int fermeture = d.fermer())
        return systemError(chemin, fermeture);
    // A file just made exists for good only once its directory entry is on disk too.
    return nouveau ? synchroniserRepertoire(chemin) : FileError{};
}

FileError ecrireDurablement(const QString& chemin, const QByteArray& octets, mode_t mode)
{
    Descripteur d(ouvrir(chemin, O_WRONLY | O_CREAT | O_TRUNC));
    if (d.fd() < 0)
        return systemError(chemin, errno);
    // The creation mode passes through the umask; a mode given is the one of the file this one replaces, and
    // a file that cannot take it is still better written than lost.
    if (mode != 0)
        (void)::fchmod(d.fd(), mode);
    if (const int e = writeAllBytes(d.fd(), octets.constData(), octets.size()))
        return systemError(chemin, e);
    if (const int e = syncFile(d.fd()))
        return systemError(chemin, e);
    if (const int e = d.fermer())
        return systemError(chemin, e);
    return synchroniserRepertoire(chemin);
}

FileError renommerDurablement(const QString& de, const QString& vers)
{
    if (::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData()) != 0)
        return systemError(de, errno);
    return synchroniserRepertoire(vers);
}

FileError supprimerDurablement(const QString& chemin)
{
    if (::unlink(QFile::encodeName(chemin).constData()) != 0) {
        if (errno == ENOENT)
            return {};
        return systemError(chemin, errno);
    }
    return synchroniserRepertoire(chemin);
}

FileError couperDurablement(const QString& chemin, qint64 taille)
{
    Descripteur d(ouvrir(chemin, O_WRONLY));
    if (d.fd() < 0 || ::ftruncate(d.fd(), off_t(taille)) != 0)
        return systemError(chemin, errno);
    if (const int e = syncFile(d.fd()))
        return systemError(chemin, e);
    if (const int e = d.fermer())
        return systemError(chemin, e);
    return {};
}

Result<QByteArray> lireFichier(const QString& chemin)
{
    return readWholeFile(chemin, true);
}

bool fichierExiste(const QString& chemin)
{
    struct stat st;
    return ::stat(QFile::encodeName(chemin).constData(), &st) == 0;
}

mode_t modeFichier(const QString& chemin)
{
    struct stat st;
    if (::stat(QFile::encodeName(chemin).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

QString texteEchec(const FileError& erreur)
{
    if (erreur.path.isEmpty())
        return erreur.description();
    return QStringLiteral("%1: %2").arg(QFileInfo(erreur.path).fileName(), erreur.description());
}

} // namespace kip
