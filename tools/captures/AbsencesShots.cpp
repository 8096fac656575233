// Shows the absence windows on an installation, for a look or a screenshot; not a test:
//   absences_shots <installation directory> [absences|types|accueil|detail] [image.png] [Kip|kipother]
// "absences" selects a few cells and types RTT on them for the afternoon; "detail" sets 2.30 of REC with a
// comment through the detailed entry. With an image name the frame is saved once the windows have settled.
#include "absences/windows/FenetreAbsences.h"
#include "absences/windows/FenetresAbsences.h"
#include "data/Files.h"
#include "data/windows/MessageBoxPresenter.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace kip;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "absences_shots <installation> [absences|types|accueil|detail] [image.png] [kipother]\n");
        return 2;
    }
    setPaths(Paths::forInstallation(args[1]));
    installerPresentationFenetres();
    const Program programme = args.value(4) == QLatin1String("kipother") ? Program::KipOther : Program::Kip;
    enregistrerFenetresAbsences(programme);
    const QString vue = args.value(2, QStringLiteral("absences"));
    const QString image = args.value(3);

    Cadre cadre(programme, 0, [] {});
    cadre.resize(1400, 860);
    cadre.show();
    if (vue != QLatin1String("accueil"))
        cadre.afficherStatut(QStringLiteral("Données: ") + paths().dataDir);
    QTimer::singleShot(300, &cadre, [&cadre, vue] {
        if (vue == QLatin1String("accueil"))
            return;
        auto* f = qobject_cast<FenetreAbsences*>(ouvrirFenetre(nom::Absences, cadre));
        if (!f)
            return;
        if (vue == QLatin1String("types")) {
            ouvrirFenetre(nom::TypesAbsence, cadre);
            return;
        }
        // The month is read on a worker: the cells are chosen once it is shown.
        auto* attente = new QTimer(f);
        attente->start(50);
        QObject::connect(attente, &QTimer::timeout, f, [f, vue, attente] {
            if (f->enAttente())
                return;
            attente->stop();
            QTableView* v = f->vue();
            const QModelIndex i = v->currentIndex();
            const QModelIndex debut = v->model()->index(std::max(0, i.row() + 2), std::max(0, i.column() - 1));
            const QModelIndex fin =
                v->model()->index(std::max(0, i.row() + 4), std::min(v->model()->columnCount() - 1, i.column() + 1));
            v->setCurrentIndex(debut);
            v->selectionModel()->select(QItemSelection(debut, fin), QItemSelectionModel::ClearAndSelect);
            if (vue == QLatin1String("detail")) {
                f->findChild<QComboBox*>(QStringLiteral("codeDetail"))->setCurrentIndex(2);
                f->findChild<QComboBox*>(QStringLiteral("partieDetail"))->setCurrentIndex(3);
                f->findChild<QLineEdit*>(QStringLiteral("heuresDetail"))->setText(QStringLiteral("2.30"));
                f->findChild<QLineEdit*>(QStringLiteral("commentaireDetail"))->setText(QStringLiteral("dentiste"));
                f->poserDetail();
            } else {
                QTest::keyClick(v, Qt::Key_A, Qt::AltModifier);
                QTest::keyClicks(v, QStringLiteral("rtt"));
            }
        });
    });
    if (!image.isEmpty()) {
        QTimer::singleShot(2500, &cadre, [&cadre, image] {
            cadre.grab().save(image);
            // Closing the frame would ask to confirm the exit: a look needs no shutdown.
            std::_Exit(0);
        });
    }
    return app.exec();
}
