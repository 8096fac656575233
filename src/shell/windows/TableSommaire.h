// What the button bar shows for each active window, and what each slot does: the bar's table, by program.
#pragma once

#include "shell/Program.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kip {

struct EmplacementSommaire
{
    enum class Action
    {
        Aucune,
        Ouvrir,
        Evenement
    };

    int numero = 0; // slot 1..13, top to bottom
    QString image;  // button name: pictures bt0_<image> .. bt2_<image>
    Action action = Action::Aucune;
    QString fenetre;   // Ouvrir: procedure name of the window to start
    int evenement = 0; // Evenement: number posted to the active window
};

struct RangeeSommaire
{
    QList<EmplacementSommaire> emplacements;
    bool quitter = false; // the quit picture in place of slot 13 (home window)

    const EmplacementSommaire* emplacement(int numero) const;
};

// The bar's row for the window of that procedure name in that program; an empty row for a window the
// program does not have.
RangeeSommaire rangeeSommaire(Program programme, const QString& nomFenetre);

// The 34 button names, in table order.
const QStringList& nomsBoutons();

// Names of the bar's own pictures (three states each) and of the fixed pictures.
inline QString imageLogo()
{
    return QStringLiteral("Logo_Kip");
}
inline QString imageQuitterSommaire()
{
    return QStringLiteral("Quitter_Kip");
}
inline QString imageAccueil(Program p)
{
    return QStringLiteral("Accueil_") + programName(p);
}
inline QString imageIcone()
{
    return QStringLiteral("Icone_Kip");
}
// "bt<state>_<name>"
inline QString imageEtat(int etat, const QString& nom)
{
    return QStringLiteral("bt%1_%2").arg(etat).arg(nom);
}

} // namespace kip
