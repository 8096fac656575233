// Shows the punch list, or the correction grid over it, on an installation, for a look or a screenshot:
//   correction_shots <installation directory> [liste1..liste4|grille|nuit] [image.png] [Kip|kipother]
// "listeN" shows the list in order N (1 by date and card ... 4 by name and date) from four weeks back;
// "grille" opens the grid on the list's line; "nuit" opens it, types a night shift (22.00 to 6.00) into the
// first shown day and corrects the next one; "journal" does the same, saves, and shows the journal of the
// corrected day (its list is the image then). With an image name the frame is saved into it once the
// windows have settled, and the program ends.
#include "calendar/Clock.h"
#include "correction/windows/CorrectionPointage.h"
#include "correction/windows/FenetresCorrection.h"
#include "correction/windows/JournalJournee.h"
#include "correction/windows/TablePointage.h"
#include "data/Files.h"
#include "data/windows/MessageBoxPresenter.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <cstdio>

using namespace kip;

namespace {

void taper(CorrectionPointage* g, int jour, int colonne, const QString& texte)
{
    g->allerA(jour, colonne);
    g->cellule(jour, colonne)->setText(texte);
    QKeyEvent droite(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(g->cellule(jour, colonne), &droite);
}

// The boxes as the program shows them; the list's start week is answered without the picker: four weeks back.
class PresentationVues : public MessageBoxPresenter
{
public:
    std::optional<Semaine> askWeek(const Semaine&, QObject*) override { return NumeroSemaine(Clock::today() - 28); }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "correction_shots <installation> [liste1..liste4|grille|nuit] [image.png]\n");
        return 2;
    }
    setPaths(Paths::forInstallation(args[1]));
    installerPresentationFenetres();
    PresentationVues presentation;
    setMessagePresenter(&presentation);
    enregistrerFenetresCorrection();
    const QString vue = args.value(2, QStringLiteral("liste1"));
    const QString image = args.value(3);
    const Program programme = args.value(4) == QLatin1String("kipother") ? Program::KipOther : Program::Kip;
    if (vue.startsWith(QLatin1String("liste")))
        memoriserOrdrePointage(static_cast<OrdrePointage>(std::clamp(vue.mid(5).toInt(), 1, 4)));

    Cadre cadre(programme, 0, [] {});
    cadre.resize(1280, 860);
    cadre.show();
    QTimer::singleShot(300, &cadre, [&cadre, vue] {
        auto* liste = qobject_cast<TablePointage*>(ouvrirFenetre(nom::TablePointage, cadre));
        if (!liste)
            return;
        liste->choisirSemaine(false);
        if (!vue.startsWith(QLatin1String("liste")))
            liste->choisirPresence(Presence::Presence);
        QTimer::singleShot(300, liste, [liste, &cadre, vue] {
            QKeyEvent debut(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
            QCoreApplication::sendEvent(liste->vue(), &debut);
            for (int i = 0; i < 3; ++i)
                QCoreApplication::postEvent(liste->vue(),
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
            if (vue.startsWith(QLatin1String("liste")))
                return;
            QTimer::singleShot(200, liste, [liste, &cadre, vue] {
                liste->modifier();
                if (vue != QLatin1String("nuit") && vue != QLatin1String("journal"))
                    return;
                auto* g = cadre.zone()->findChild<CorrectionPointage*>();
                const int j = g ? g->grille().premierJourAffiche() : -1;
                if (j < 0)
                    return;
                for (int c = 0; c < CellulesJour; ++c)
                    taper(g, j, c, QString());
                taper(g, j, 0, QStringLiteral("22"));
                taper(g, j, 1, QStringLiteral("6"));
                const int suivant = g->grille().jourVoisin(j, 1);
                if (suivant > j)
                    taper(g, suivant, 1, QStringLiteral("12.1"));
                g->allerA(suivant, 2);
                if (vue != QLatin1String("journal"))
                    return;
                g->sauver();
                g->allerA(j, 0);
                g->journal();
            });
        });
    });
    if (!image.isEmpty()) {
        QTimer::singleShot(2500, &cadre, [&cadre, image] {
            auto* g = cadre.zone()->findChild<CorrectionPointage*>();
            if (g && g->journalOuvert())
                g->journalOuvert()->grab().save(image);
            else
                cadre.grab().save(image);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
