// The manual backup of the utilities window run alone in an installation (the current directory), so that the
// kill tests can kill it: the one-program lock, the backup, its text on standard error, 0 when it was made.
#include "calendar/Clock.h"
#include "data/Files.h"
#include "shell/VerrouProgramme.h"
#include "utilities/SauvegardeManuelle.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const kip::Paths p = kip::Paths::forInstallation(QDir::currentPath());
    kip::setPaths(p);
    kip::VerrouProgramme verrou;
    if (verrou.prendre(p.dataDir) != kip::VerrouProgramme::Pris)
        return 2;
    std::fprintf(stderr, "Sauvegarde manuelle\n");
    std::fflush(stderr);
    const kip::ResultatSauvegardeManuelle r = kip::SauvegarderManuellement(p, kip::Clock::today(), 0);
    std::fprintf(stderr, "%s\n", r.texte().toUtf8().constData());
    return r.reussie() ? 0 : 1;
}
