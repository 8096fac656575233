// Shows the report selection in the frame on an installation, for a look or screenshots under a display:
//   reports_shots INSTALLATION ROW PREFIX [GRID]
// opens Impression, chooses the row, takes PREFIX-impression.png, opens the start name list and takes
// PREFIX-liste.png, runs the report (held a moment at 40 % for PREFIX-progression.png), takes
// PREFIX-apercu.png of the preview (with a grid of GRID x GRID pages when given), then PREFIX-zoom.png after
// a click on the first page, and ends. Screenshots of the whole screen are taken with `import -window root`.
#include "reports/windows/Impression.h"
#include "reports/windows/Previsualisation.h"
#include "reports/windows/VuePage.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <cstdio>

using namespace kip;

namespace {

void photo(const QString& fichier)
{
    QApplication::processEvents();
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), fichier});
    std::printf("%s\n", qPrintable(fichier));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: reports_shots INSTALLATION ROW PREFIX [GRID]\n");
        return 2;
    }
    setPaths(Paths::forInstallation(QDir(args[1]).absolutePath()));
    const int ligne = args[2].toInt();
    const QString prefixe = args[3];
    const int grille = args.value(4).toInt();
    enregistrerFenetresEditions();

    Cadre cadre(Program::Kip, 0, [] {});
    cadre.move(0, 0);
    cadre.resize(1180, 760);
    cadre.show();
    Impression* impression = nullptr;
    QTimer::singleShot(1500, &cadre, [&] {
        impression = qobject_cast<Impression*>(ouvrirFenetre(nom::Impression, cadre));
        if (!impression) {
            std::fprintf(stderr, "Impression ne s'ouvre pas (aucun employé?)\n");
            app.exit(1);
            return;
        }
        impression->imprimer = [](const ImagesPages&, const QString&) {};
        impression->choisirLigne(ligne);
    });
    QTimer::singleShot(3000, &cadre, [&] {
        photo(prefixe + QStringLiteral("-impression.png"));
        impression->choisirTri(Tri::Nom);
        impression->listeEmployes(Tri::Nom, false)->showPopup();
    });
    QTimer::singleShot(4000, &cadre, [&] {
        photo(prefixe + QStringLiteral("-liste.png"));
        impression->listeEmployes(Tri::Nom, false)->hidePopup();
        impression->choisirTri(Tri::Numero);
        // A tool, not a test: the run waits a moment at 40 % so that its window can be seen.
        impression->etapeEdition = [](int p) {
            if (p == 40)
                QThread::msleep(1500);
        };
        impression->lancerEdition();
        QTimer::singleShot(700, &cadre, [&] { photo(prefixe + QStringLiteral("-progression.png")); });
    });
    QTimer::singleShot(7500, &cadre, [&] {
        Previsualisation* apercu = impression->apercu();
        if (!apercu) {
            std::fprintf(stderr, "pas d'aperçu\n");
            app.exit(1);
            return;
        }
        apercu->move(20, 20);
        if (grille > 1)
            apercu->changerGrille(grille, grille);
        QTimer::singleShot(800, apercu, [&app, apercu, prefixe] {
            photo(prefixe + QStringLiteral("-apercu.png"));
            apercu->cliquerCellule(1);
            QTimer::singleShot(800, apercu, [&app, prefixe] {
                photo(prefixe + QStringLiteral("-zoom.png"));
                app.quit();
            });
        });
    });
    return app.exec();
}
