#include "Poste.h"

#include "data/windows/MessageBoxPresenter.h"
#include "shell/Demarrage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>

namespace kip {

namespace {

// The frame until the button bar and the work windows take their place.
class CadreProvisoire : public QMainWindow
{
public:
    explicit CadreProvisoire(Demarrage& demarrage) : m_demarrage(demarrage)
    {
        setWindowTitle(frameTitle());
        resize(1024, 700);
        statusBar()->showMessage(demarrage.incidentSauvegarde());
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (showBox(QStringLiteral("Sortie Kip"), QStringLiteral("Confirmez la sortie !"), MessageIcon::Question,
                    ButtonYes | ButtonNo, ButtonYes) != ButtonYes) {
            event->ignore();
            return;
        }
        m_demarrage.fermer();
        event->accept();
    }

private:
    Demarrage& m_demarrage;
};

} // namespace

bool affichageDisponible()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int lancerPoste(Program program, int argc, char** argv)
{
    if (!affichageDisponible()) {
        std::fprintf(stderr,
                     "%s a besoin d'un affichage graphique (variable DISPLAY ou WAYLAND_DISPLAY).\n"
                     "Pour un transfert sans affichage, utilisez kipempty.\n",
                     programName(program).toLocal8Bit().constData());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(programName(program));
    QApplication::setApplicationVersion(QStringLiteral(KIP_VERSION_TEXT));
    installerPresentationFenetres();
    Demarrage demarrage(program);
    int exitCode = 0;
    if (!demarrage.verifier(QDir::currentPath(), &exitCode))
        return exitCode;
    demarrage.ouvrir();
    CadreProvisoire cadre(demarrage);
    cadre.show();
    return app.exec();
}

} // namespace kip
