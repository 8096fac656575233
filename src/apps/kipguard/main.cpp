// kipguard, the card-reader program: reads the swipes of the reader of KipGuard.txt and appends one line per
// swipe to Data/Origin00.txt, paused and resumed by Kip and kipempty through its socket. With a display it
// shows its small window; without one (or with --service) it runs headless, its journal on standard error.
#include "reader/Options.h"
#include "reader/ServeurMessages.h"
#include "reader/Sons.h"
#include "reader/Surveillance.h"
#include "reader/windows/FenetreLecteur.h"
#include "shell/ArretSignal.h"
#include "shell/Demarrage.h"
#include "shell/LecteurCartes.h"
#include "shell/Program.h"
#include "shell/TraductionsQt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <csignal>
#include <memory>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kip::Result<kip::OptionsKipguard> lues = kip::lireOptions(arguments);
    if (!lues) {
        QTextStream(stderr) << lues.error().text << '\n';
        return 2;
    }
    const kip::OptionsKipguard& options = *lues;
    if (!options.aide.isEmpty()) {
        QTextStream(stdout) << options.aide << '\n';
        return 0;
    }
    const bool fenetre = !options.service && kip::affichageDisponible();
    std::unique_ptr<QCoreApplication> app(fenetre ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("kipguard"));
    if (fenetre)
        kip::installerTraductionsQt();
    QTextStream err(stderr);

    const QString repertoire = QDir(options.repertoire).absolutePath();
    if (!kip::Demarrage::estRepertoireInstallation(repertoire)) {
        err << QStringLiteral("Le répertoire d'installation doit s'appeler Kip: ") << repertoire << '\n';
        return 1;
    }
    const kip::Paths chemins = kip::Paths::forInstallation(repertoire);
    if (!QFileInfo(chemins.dataDir).isDir()) {
        err << QStringLiteral("Répertoire introuvable: ") << chemins.dataDir << '\n';
        return 1;
    }

    kip::SonsQt sons;
    kip::Surveillance surveillance(chemins, options.surveillance, sons);
    QObject::connect(&surveillance, &kip::Surveillance::journal,
                     [](const QString& ligne) { QTextStream(stderr) << ligne << '\n'; });
    kip::ServeurMessages serveur([&surveillance](int numero) { return surveillance.message(numero); });
    if (const kip::FileError e = serveur.ecouter(kip::LecteurCartes::nomSocket()); !e.ok()) {
        if (e.code == kip::Locked)
            err << kip::LecteurCartes::titreFenetre() << QStringLiteral(": déjà en cours d'exécution (") << e.text
                << ")\n";
        else
            err << QStringLiteral("Écoute impossible: ") << e.text << '\n';
        return 1;
    }
    if (!surveillance.demarrer())
        return 1;
    std::unique_ptr<kip::FenetreLecteur> vue;
    if (fenetre) {
        vue = std::make_unique<kip::FenetreLecteur>(surveillance);
        vue->show();
    }
    kip::ArretSignal arret({SIGTERM, SIGINT});
    // A simulation ends with its input (a file, a pipe, Ctrl-D in a terminal): every line read is written.
    QObject::connect(&surveillance, &kip::Surveillance::entreeTerminee, app.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return app->exec();
}
