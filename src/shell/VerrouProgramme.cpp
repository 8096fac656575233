#include "VerrouProgramme.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSet>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kip {

namespace {

QMutex g_mutex;
QSet<QString> g_tenus; // the data directories locked by this process

QString cle(const QString& dataDir)
{
    return QDir(dataDir).absolutePath();
}

} // namespace

bool VerrouProgramme::tenuParCeProcessus(const QString& dataDir)
{
    QMutexLocker lock(&g_mutex);
    return g_tenus.contains(cle(dataDir));
}

VerrouProgramme::~VerrouProgramme()
{
    rendre();
}

int verrouillerFichier(const QString& chemin, VerrouProgramme::Resultat* resultat)
{
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *resultat = VerrouProgramme::Erreur;
        return -1;
    }
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // the whole file
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const int err = errno;
        ::close(fd);
        *resultat = (err == EAGAIN || err == EACCES) ? VerrouProgramme::Occupe : VerrouProgramme::Erreur;
        return -1;
    }
    *resultat = VerrouProgramme::Pris;
    return fd;
}

VerrouProgramme::Resultat VerrouProgramme::prendre(const QString& dataDir)
{
    if (m_fd >= 0)
        return Pris;
    Resultat r = Erreur;
    const int fd = verrouillerFichier(QDir(dataDir).filePath(QStringLiteral("OnOff.lck")), &r);
    if (fd < 0)
        return r;
    m_fd = fd;
    m_dataDir = cle(dataDir);
    QMutexLocker registre(&g_mutex);
    g_tenus.insert(m_dataDir);
    return Pris;
}

void VerrouProgramme::rendre()
{
    if (m_fd >= 0) {
        ::close(m_fd); // closing the only descriptor of the description releases its lock
        QMutexLocker registre(&g_mutex);
        g_tenus.remove(m_dataDir);
    }
    m_fd = -1;
}

} // namespace kip
