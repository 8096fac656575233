// Shows Kip's frame on the installation of the current directory with the settings form or the utilities
// window in front, for a look or a screenshot (not a test):
//   utilities_preview SaisieParametre|Utilitaires [purge|restaurer|sauvegarder|indexer] [seconds]
// The optional step presses that section's first button once the window is up. An installation whose Data/Base.txt
// names a server is shown on that server.
#include "calendar/Clock.h"
#include "data/Base.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "data/windows/MessageBoxPresenter.h"
#include "punch/windows/SaisieParametre.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "utilities/windows/Utilitaires.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>

using namespace kip;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString fenetre = args.value(1, QStringLiteral("Utilitaires"));
    const QString etape = args.value(2);
    const int secondes = args.value(3, QStringLiteral("8")).toInt();
    installerPresentationFenetres();
    setPaths(Paths::forInstallation(QDir::currentPath()));
    if (!chooseStore(paths().dataDir).ok())
        return 1;
    enregistrerSaisieParametre();
    enregistrerUtilitaires();

    Cadre cadre(Program::Kip, 0, [] {});
    cadre.resize(1180, 760);
    cadre.move(10, 10);
    cadre.show();
    cadre.afficherStatut(QStringLiteral("Données: %1").arg(QDir::toNativeSeparators(paths().dataDir)));
    QTimer::singleShot(1500, &cadre, [&cadre, fenetre, etape] {
        FenetreTravail* w = ouvrirFenetre(fenetre, cadre);
        auto* u = qobject_cast<Utilitaires*>(w);
        if (!u)
            return;
        QTimer::singleShot(500, u, [u, etape] {
            if (etape == QLatin1String("purge"))
                u->boutonLancerPurge()->click();
            else if (etape == QLatin1String("restaurer"))
                u->boutonRestaurer()->click();
            else if (etape == QLatin1String("sauvegarder"))
                u->boutonSauvegarder()->click();
            else if (etape == QLatin1String("indexer"))
                u->boutonIndexer()->click();
        });
    });
    // The exit question of the frame is answered by its default button.
    QTimer::singleShot(secondes * 1000, &app, [] {
        setMessagePresenter(nullptr);
        QApplication::quit();
    });
    return app.exec();
}
