// The numbered events through which the frame, the button bar and the work windows talk to each other.
// They carry no data; every window lives on the GUI thread, so they are posted with
// QCoreApplication::postEvent and delivered in order by the event loop.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace kip::evt {

constexpr int Bouton1Formulaire = 1024; // bar slot 1 of a form-like window (Accepter, Garder)
constexpr int Bouton13 = 1025;          // bar slot 13 (Annuler, Quitter, Supprimer)
constexpr int Montrer = 1026;           // show yourself
constexpr int Cacher = 1027;            // hide yourself
constexpr int Reconstruire = 1028;      // to the bar: rebuild for the active window
constexpr int BoutonListe = 1027;       // + n, n = 1..8: bar slot n of a list, grid or report selection
constexpr int DernierBouton = 1035;     // slot 8: the grid's Journal
// The frame moved or was resized: re-place yourself. Not a QEvent::Move, which Qt sends on every
// geometry change of the window itself.
constexpr int Deplace = 1040;

inline QEvent::Type type(int numero)
{
    return static_cast<QEvent::Type>(numero);
}

inline void poster(QObject* cible, int numero)
{
    if (cible)
        QCoreApplication::postEvent(cible, new QEvent(type(numero)));
}

} // namespace kip::evt
