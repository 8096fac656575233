// Shows the employee list, or the form over it, on an installation, for a look or a screenshot:
//   employees_shots <installation directory> [liste|insertion|modification|refus] [image.png] [Kip|kipother]
// "refus" opens the change of an employee, adds a period and has a midnight shift of 3.75 refused; "sansnom"
// has a new employee without a name refused.
// With an image name the frame is saved into it once the windows have settled, and the program ends.
#include "calendar/Clock.h"
#include "data/Files.h"
#include "data/windows/MessageBoxPresenter.h"
#include "employees/windows/FenetresPersonnel.h"
#include "employees/windows/SaisiePersonnel.h"
#include "employees/windows/TablePersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>

using namespace kip;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "employees_shots <installation> [liste|insertion|modification] [image.png]\n");
        return 2;
    }
    setPaths(Paths::forInstallation(args[1]));
    installerPresentationFenetres();
    enregistrerFenetresPersonnel();
    const QString vue = args.value(2, QStringLiteral("liste"));
    const QString image = args.value(3);
    const Program programme = args.value(4) == QLatin1String("kipother") ? Program::KipOther : Program::Kip;

    Cadre cadre(programme, 0, [] {});
    cadre.show();
    cadre.afficherStatut(QStringLiteral("Données: ") + paths().dataDir);
    QTimer::singleShot(300, &cadre, [&cadre, vue] {
        auto* liste = qobject_cast<TablePersonnel*>(ouvrirFenetre(nom::TablePersonnel, cadre));
        if (!liste)
            return;
        QTimer::singleShot(300, liste, [liste, vue] {
            // A few rows down, as an operator looking for someone would be.
            for (int i = 0; i < 3; ++i)
                QCoreApplication::postEvent(liste->vue(),
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
            if (vue == QLatin1String("insertion"))
                QTimer::singleShot(200, liste, [liste] { liste->nouveau(); });
            else if (vue == QLatin1String("modification"))
                QTimer::singleShot(200, liste, [liste] { liste->modifier(); });
            else if (vue == QLatin1String("sansnom"))
                QTimer::singleShot(200, liste, [liste] {
                    liste->nouveau();
                    if (auto* f = liste->parentWidget()->findChild<SaisiePersonnel*>())
                        f->accepter();
                });
            else if (vue == QLatin1String("refus"))
                QTimer::singleShot(200, liste, [liste] {
                    liste->modifier();
                    auto* f = liste->parentWidget()->findChild<SaisiePersonnel*>();
                    if (!f)
                        return;
                    f->findChild<QPushButton*>(QStringLiteral("ajouterPeriode"))->click();
                    f->findChild<QLineEdit*>(QStringLiteral("decalageMinuit"))->setText(QStringLiteral("3.75"));
                    f->accepter();
                });
        });
    });
    if (!image.isEmpty()) {
        QTimer::singleShot(2500, &cadre, [&cadre, image] {
            cadre.grab().save(image);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
