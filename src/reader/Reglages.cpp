#include "Reglages.h"

#include "data/TextFiles.h"

#include <QFile>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kip {

namespace {
constexpr unsigned MajeurSaisie = 13; // INPUT_MAJOR of the kernel
} // namespace

ReglagesLecteur ReglagesLecteur::lire(const QString& cheminKipGuard)
{
    const KipGuard k = KipGuard::read(cheminKipGuard);
    ReglagesLecteur r;
    bool nombre = false;
    const int port = k.port.trimmed().toInt(&nombre);
    r.port = nombre && port >= PortMin && port <= PortMax ? port : 0;
    r.sonCarteLue = k.sonCarteLue.trimmed();
    r.sonMauvaiseCarte = k.sonMauvaiseCarte.trimmed();
    r.marque = marqueDe(k.typeLecteur);
    return r;
}

QString peripheriquePort(int port, const PeripheriquesImposes& imposes)
{
    if (port < PortMin || port > PortMax)
        return {};
    if (imposes.contains(port))
        return imposes.value(port);
    const QString nomme = QStringLiteral("/dev/kip-port%1").arg(port);
    if (QFile::exists(nomme))
        return nomme;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

bool estPeripheriqueSaisie(const QString& peripherique)
{
    struct stat st;
    if (::stat(QFile::encodeName(peripherique).constData(), &st) != 0)
        return false;
    return S_ISCHR(st.st_mode) && major(st.st_rdev) == MajeurSaisie;
}

} // namespace kip
