#include "Poste.h"

#include "absences/windows/FenetresAbsences.h"
#include "correction/windows/FenetresCorrection.h"
#include "data/windows/MessageBoxPresenter.h"
#include "employees/windows/FenetresPersonnel.h"
#include "punch/windows/InitialiseJournee.h"
#include "reports/windows/Impression.h"
#include "shell/ArretSignal.h"
#include "shell/Demarrage.h"
#include "shell/TraductionsQt.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/DialogueRepertoire.h"
#include "soldes/windows/FenetreSoldes.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>
#include <csignal>
#include <cstdio>

namespace kip {

int lancerPoste(Program program, int argc, char** argv, const std::function<void()>& fenetresDuProgramme)
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
    // The end of the session is an orderly end, whenever it comes: before the frame it skips the frame, with the
    // frame it closes it as "Quitter" does, without the question.
    QPointer<Cadre> cadreOuvert;
    bool finDemandee = false;
    auto finSession = [&] {
        finDemandee = true;
        if (cadreOuvert)
            cadreOuvert->terminer();
    };
    ArretSignal arret({SIGTERM, SIGHUP, SIGINT}, [&](int) { finSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager&) { finSession(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] {
        if (cadreOuvert)
            cadreOuvert->terminerMaintenant();
    });
    installerTraductionsQt();
    installerPresentationFenetres();
    // Started from the desktop's menu: the user's installation directory.
    const std::optional<QString> repertoire = repertoireDeDepart(QApplication::arguments());
    if (!repertoire)
        return 0;
    Demarrage demarrage(program);
    int exitCode = 0;
    if (!demarrage.verifier(*repertoire, &exitCode))
        return exitCode;
    demarrage.ouvrir();
    if (finDemandee || ArretSignal::demande()) {
        demarrage.fermer();
        return 0;
    }
    enregistrerFenetresPointage(program);
    enregistrerFenetresPersonnel();
    enregistrerFenetresCorrection();
    enregistrerFenetresEditions();
    enregistrerFenetresAbsences(program);
    enregistrerFenetreSoldes(program);
    if (fenetresDuProgramme)
        fenetresDuProgramme();
    bool confirme = false;
    int code = 0;
    {
        Cadre cadre(program, demarrage.positionSommaire(), [&confirme] { confirme = true; });
        // The reader stays paused until the transfer ends, or until the frame closes without one.
        cadre.confierPause(demarrage.cederPause());
        if (!demarrage.incidentSauvegarde().isEmpty())
            cadre.afficherStatut(demarrage.incidentSauvegarde());
        else if (!demarrage.avisSauvegarde().isEmpty())
            cadre.afficherStatut(demarrage.avisSauvegarde());
        cadre.show();
        cadreOuvert = &cadre;
        if (finDemandee)
            QTimer::singleShot(0, &cadre, &Cadre::terminer);
        code = app.exec();
    }
    // The frame and its windows are gone, and with them any job still writing (each committed or rolled back)
    // and the reader's pause: only now is the run over.
    if (confirme)
        demarrage.fermer();
    return code;
}

} // namespace kip
