#include "VerrouProgramme.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kip {

VerrouProgramme::~VerrouProgramme()
{
    rendre();
}

VerrouProgramme::Resultat VerrouProgramme::prendre(const QString& dataDir)
{
    if (m_fd >= 0)
        return Pris;
    const QByteArray path = QDir(dataDir).filePath(QStringLiteral("OnOff.lck")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return Erreur;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // the whole file
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const int err = errno;
        ::close(fd);
        return (err == EAGAIN || err == EACCES) ? Occupe : Erreur;
    }
    m_fd = fd;
    return Pris;
}

void VerrouProgramme::rendre()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the only descriptor of the description releases its lock
    m_fd = -1;
}

} // namespace kip
