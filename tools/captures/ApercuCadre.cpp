// Shows the frame under a real display, for a look or a screenshot:
//   shell_frame_preview [Kip|kipother] [0|1 bar position] [procedure name of a window to open on top]
// The window opened on top is an empty test window, so that the bar shows that window's row; the name
// "apropos" opens the about window instead.
#include "FenetreEssai.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/FenetreAPropos.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

using namespace kip;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const Program programme = args.value(1) == QLatin1String("kipother") ? Program::KipOther : Program::Kip;
    const int position = args.value(2).toInt();
    const QString fenetre = args.value(3);

    Cadre cadre(programme, position, [] {});
    cadre.resize(1100, 720);
    cadre.show();
    cadre.afficherStatut(QStringLiteral("Données: ./Data"));
    if (fenetre == QLatin1String("apropos")) {
        QTimer::singleShot(2500, &cadre, [&cadre] { (new FenetreAPropos(cadre.programme(), &cadre))->show(); });
    } else if (!fenetre.isEmpty()) {
        QTimer::singleShot(2500, &cadre, [&cadre, fenetre] {
            auto* w = new FenetreEssai(cadre, fenetre);
            auto* texte = new QLabel(fenetre, w);
            texte->setAlignment(Qt::AlignCenter);
            (new QVBoxLayout(w))->addWidget(texte);
        });
    }
    return app.exec();
}
