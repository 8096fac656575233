#include "EcritureDurable.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kip {

namespace {

QString raison()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

Resultat echecSur(const QString& quoi, const QString& chemin)
{
    return Resultat::echec(QStringLiteral("%1 %2: %3").arg(quoi, QFileInfo(chemin).fileName(), raison()));
}

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
    // Closes now, so that an error of the close itself is seen.
    bool fermer()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool toutEcrire(int fd, const QByteArray& octets)
{
    qsizetype fait = 0;
    while (fait < octets.size()) {
        const ssize_t n = ::write(fd, octets.constData() + fait, size_t(octets.size() - fait));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        fait += n;
    }
    return true;
}

Resultat synchroniserRepertoire(const QString& chemin)
{
    const QString repertoire = QFileInfo(chemin).absolutePath();
    Descripteur d(::open(QFile::encodeName(repertoire).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd() < 0 || ::fsync(d.fd()) != 0)
        return echecSur(QStringLiteral("Synchronisation du répertoire de"), chemin);
    return Resultat::reussi();
}

} // namespace

Resultat ajouterDurablement(const QString& chemin, const QByteArray& octets)
{
    const bool nouveau = !fichierExiste(chemin);
    Descripteur d(::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (d.fd() < 0)
        return echecSur(QStringLiteral("Ouverture de"), chemin);
    if (!toutEcrire(d.fd(), octets))
        return echecSur(QStringLiteral("Écriture dans"), chemin);
    if (::fsync(d.fd()) != 0 || !d.fermer())
        return echecSur(QStringLiteral("Synchronisation de"), chemin);
    // A file just made exists for good only once its directory entry is on disk too.
    return nouveau ? synchroniserRepertoire(chemin) : Resultat::reussi();
}

Resultat ecrireDurablement(const QString& chemin, const QByteArray& octets, mode_t mode)
{
    Descripteur d(::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (d.fd() < 0)
        return echecSur(QStringLiteral("Création de"), chemin);
    // The creation mode passes through the umask; a mode given is the one of the file this one replaces, and
    // a file that cannot take it is still better written than lost.
    if (mode != 0)
        (void)::fchmod(d.fd(), mode);
    if (!toutEcrire(d.fd(), octets))
        return echecSur(QStringLiteral("Écriture dans"), chemin);
    if (::fsync(d.fd()) != 0 || !d.fermer())
        return echecSur(QStringLiteral("Synchronisation de"), chemin);
    return synchroniserRepertoire(chemin);
}

Resultat renommerDurablement(const QString& de, const QString& vers)
{
    if (::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData()) != 0)
        return echecSur(QStringLiteral("Renommage de"), de);
    return synchroniserRepertoire(vers);
}

Resultat supprimerDurablement(const QString& chemin)
{
    if (::unlink(QFile::encodeName(chemin).constData()) != 0) {
        if (errno == ENOENT)
            return Resultat::reussi();
        return echecSur(QStringLiteral("Suppression de"), chemin);
    }
    return synchroniserRepertoire(chemin);
}

Resultat couperDurablement(const QString& chemin, qint64 taille)
{
    Descripteur d(::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_CLOEXEC));
    if (d.fd() < 0 || ::ftruncate(d.fd(), off_t(taille)) != 0 || ::fsync(d.fd()) != 0 || !d.fermer())
        return echecSur(QStringLiteral("Réduction de"), chemin);
    return Resultat::reussi();
}

bool lireFichier(const QString& chemin, QByteArray* contenu, QString* erreur)
{
    contenu->clear();
    QFile f(chemin);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        if (erreur)
            *erreur = QStringLiteral("Lecture de %1: %2").arg(QFileInfo(chemin).fileName(), f.errorString());
        return false;
    }
    *contenu = f.readAll();
    return true;
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

} // namespace kip
