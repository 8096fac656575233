// The work windows that the bar and other windows can start, by procedure name. Each subsystem registers a
// factory for its windows before the frame opens; a name without a factory starts nothing.
#pragma once

#include <QString>
#include <functional>

namespace kip {

class Cadre;
class FenetreTravail;

// Builds the window (whose FenetreTravail constructor registers it); returns it, or nullptr when it could
// not open.
using FabriqueFenetre = std::function<FenetreTravail*(Cadre&)>;

// Replaces any factory of that name. Call it from the GUI thread.
void enregistrerFabrique(const QString& nom, FabriqueFenetre fabrique);
void retirerFabrique(const QString& nom);
bool aUneFabrique(const QString& nom);

// Starts the window of that name; nullptr when it has no factory or could not open.
FenetreTravail* ouvrirFenetre(const QString& nom, Cadre& cadre);

} // namespace kip
