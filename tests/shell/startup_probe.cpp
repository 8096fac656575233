// Runs the start-up of one program in the current directory, as a separate process for the tests of the
// one-program rule and of the repair after a killed run. With --hold it keeps the data until its standard
// input closes; with --arret it stops at once by a stopping message; "pret" on standard output says that
// the start-up is done.
#include "data/Messages.h"
#include "shell/Demarrage.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Kip");
    const bool hold = argc > 2 && std::string(argv[2]) == "--hold";
    const bool arret = argc > 2 && std::string(argv[2]) == "--arret";
    const kip::Program program = name == QLatin1String("kipempty")   ? kip::Program::KipEmpty
                                 : name == QLatin1String("kipother") ? kip::Program::KipOther
                                                                     : kip::Program::Kip;
    kip::Demarrage demarrage(program);
    demarrage.setAttentePause(0);
    int exitCode = 0;
    if (!demarrage.verifier(QDir::currentPath(), &exitCode))
        return exitCode;
    demarrage.ouvrir();
    std::printf("pret\n");
    std::fflush(stdout);
    if (arret)
        kip::stopProgram(QStringLiteral("Erreur disque"));
    if (hold) {
        std::string line;
        while (std::getline(std::cin, line)) {
        }
    }
    demarrage.fermer();
    return 0;
}
