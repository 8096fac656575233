#include "FichierOrigine.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kip {

namespace {

constexpr qsizetype TailleTampon = 64 * 1024;

} // namespace

LecteurOrigine::~LecteurOrigine()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileError LecteurOrigine::ouvrir(const QString& path)
{
    // Non-blocking, so that a FIFO without writer or a device named Origin00.txt is refused, not waited on.
    const QByteArray nom = QFile::encodeName(path);
    m_chemin = path;
    m_fd = ::open(nom.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        return errno == ENOENT ? makeError(NotFound) : systemError(path, errno);
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(m_fd);
        m_fd = -1;
        return makeError(DriverError, code, QStringLiteral("n'est pas un fichier ordinaire"));
    }
    m_tampon.resize(TailleTampon);
    return {};
}

bool LecteurOrigine::remplir()
{
    if (m_fd < 0)
        return false;
    m_consommes += m_fin;
    m_pos = m_fin = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_tampon.data(), size_t(m_tampon.size()));
        if (n > 0) {
            m_fin = qsizetype(n);
            return true;
        }
        if (n == 0)
            return false;
        if (errno != EINTR) {
            m_erreur = systemError(m_chemin, errno);
            return false;
        }
    }
}

inline int LecteurOrigine::lireOctet()
{
    if (m_pos == m_fin && !remplir())
        return -1;
    return static_cast<unsigned char>(m_tampon[m_pos++]);
}

bool LecteurOrigine::suivante(LigneBrute& ligne)
{
    for (;;) {
        qint64 longueur = 0;
        bool finDeLigne = false;
        int c;
        while ((c = lireOctet()) >= 0) {
            if (c == '\n') {
                finDeLigne = true;
                break;
            }
            if (c == '\r') {
                // CR LF is one line end; a CR followed by anything else (or by the end) ends the line alone.
                const int suivant = lireOctet();
                if (suivant >= 0 && suivant != '\n')
                    rendreOctet();
                finDeLigne = true;
                break;
            }
            if (longueur < LigneBrute::Gardes)
                ligne.debut[longueur] = char(c);
            ++longueur;
        }
        if (!finDeLigne)
            return false; // the end, or a last line still being written: left for the next reading
        m_octetsLus = m_consommes + m_pos;
        if (longueur == 0)
            continue; // an empty line holds no punch
        ligne.longueur = longueur;
        return true;
    }
}

FileError ouvrirOrigine(const QString& path)
{
    {
        LecteurOrigine lecteur;
        const FileError e = lecteur.ouvrir(path);
        if (e.code != NotFound)
            return e;
    }
    // Missing: created empty, as the common open creates a missing record file.
    const QByteArray nom = QFile::encodeName(path);
    const int fd = ::open(nom.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST)
        return systemError(path, errno);
    if (fd >= 0)
        ::close(fd);
    LecteurOrigine lecteur;
    return lecteur.ouvrir(path);
}

int compterLignesOrigine(const QString& path)
{
    LecteurOrigine lecteur;
    if (!lecteur.ouvrir(path).ok())
        return 0;
    int n = 0;
    LigneBrute ligne;
    while (lecteur.suivante(ligne))
        ++n;
    return n;
}

} // namespace kip
