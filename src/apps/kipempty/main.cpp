// kipempty: brings the punch data up to date and ends by itself. Without a display it runs headless, its
// progress and messages on standard error, so that a scheduler can start it.
#include "ExecutionKipempty.h"
#include "data/windows/MessageBoxPresenter.h"
#include "shell/ArretSignal.h"
#include "shell/Demarrage.h"
#include "shell/TraductionsQt.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <memory>

int main(int argc, char** argv)
{
    const bool fenetres = kip::affichageDisponible();
    std::unique_ptr<QCoreApplication> app(fenetres ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("kipempty"));
    // SIGTERM, SIGHUP and SIGINT end the run as closing its window does: the job in hand commits, the transfer
    // does not start if it had not, and the end is the ordinary one (the reader resumed, the marker cleared).
    kip::ArretSignal arret({SIGTERM, SIGHUP, SIGINT}, [](int) {});
    if (fenetres) {
        kip::installerTraductionsQt();
        kip::installerPresentationFenetres();
    }
    kip::Demarrage demarrage(kip::Program::KipEmpty);
    int exitCode = 0;
    if (!demarrage.verifier(QDir::currentPath(), &exitCode))
        return exitCode;
    demarrage.ouvrir();
    kip::ExecutionKipempty execution(demarrage, fenetres);
    QObject::connect(&execution, &kip::ExecutionKipempty::terminee, app.get(),
                     [](int code) { QCoreApplication::exit(code); });
    if (auto* gui = qobject_cast<QGuiApplication*>(app.get()))
        QObject::connect(gui, &QGuiApplication::commitDataRequest, &execution, [&execution] {
            if (QWidget* f = execution.fenetre())
                f->close();
        });
    QTimer::singleShot(0, &execution, &kip::ExecutionKipempty::demarrer);
    return app->exec();
}
