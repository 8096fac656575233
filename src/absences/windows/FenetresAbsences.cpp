#include "FenetresAbsences.h"

#include "FenetreAbsences.h"
#include "PresenceAccueil.h"
#include "TypesAbsence.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

namespace kip {

void enregistrerFenetresAbsences(Program programme)
{
    enregistrerFabrique(nom::Absences, [](Cadre& c) { return FenetreAbsences::ouvrir(c); });
    if (traitsOf(programme).hasSettings)
        enregistrerFabrique(nom::TypesAbsence, [](Cadre& c) { return TypesAbsence::ouvrir(c); });
    enregistrerPresenceAccueil();
}

} // namespace kip
