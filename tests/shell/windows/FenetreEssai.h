// A work window for tests: registers under any procedure name and records the bar events it receives.
#pragma once

#include "shell/windows/FenetreTravail.h"

#include <QList>

namespace kip {

class FenetreEssai : public FenetreTravail
{
    Q_OBJECT

public:
    FenetreEssai(Cadre& cadre, const QString& nom) : FenetreTravail(cadre, nom) {}
    QList<int> evenements; // bar events received, in order

protected:
    void boutonSommaire(int evenement) override { evenements << evenement; }
};

} // namespace kip
