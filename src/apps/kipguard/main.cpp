// kipguard, the card-reader program: reads the swipes of the reader of KipGuard.txt and appends one line per
// swipe to Data/Origin00.txt, paused and resumed by Kip and kipempty through its socket. With a display it
// shows its small window; without one (or with --service) it runs headless, its journal on standard error.
#include "reader/ArretSignal.h"
#include "reader/Options.h"
#include "reader/ServeurMessages.h"
#include "reader/Sons.h"
#include "reader/Surveillance.h"
#include "reader/windows/FenetreLecteur.h"
#include "shell/Demarrage.h"
#include "shell/LecteurCartes.h"
#include "shell/Program.h"
#include "shell/TraductionsQt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <memory>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    kip::OptionsKipguard options;
    QString texte;
    bool aide = false;
    if (!kip::lireOptions(arguments, &options, &texte, &aide)) {
        QTextStream(aide ? stdout : stderr) << texte << '\n';
        return aide ? 0 : 2;
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
    QString erreur;
    switch (serveur.ecouter(kip::LecteurCartes::nomSocket(), &erreur)) {
    case kip::ServeurMessages::Ecoute::Ok:
        break;
    case kip::ServeurMessages::Ecoute::DejaLance:
        err << kip::LecteurCartes::titreFenetre() << QStringLiteral(": déjà en cours d'exécution\n");
        return 1;
    case kip::ServeurMessages::Ecoute::Erreur:
        err << QStringLiteral("Écoute impossible sur ") << kip::LecteurCartes::nomSocket() << ": " << erreur << '\n';
        return 1;
    }
    if (!surveillance.demarrer())
        return 1;
    std::unique_ptr<kip::FenetreLecteur> vue;
    if (fenetre) {
        vue = std::make_unique<kip::FenetreLecteur>(surveillance);
        vue->show();
    }
    kip::ArretSignal arret;
    return app->exec();
}
