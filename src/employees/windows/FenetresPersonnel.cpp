#include "FenetresPersonnel.h"

#include "SaisiePersonnel.h"
#include "TablePersonnel.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

namespace kip {

void enregistrerFenetresPersonnel()
{
    enregistrerFabrique(nom::TablePersonnel, [](Cadre& c) { return TablePersonnel::ouvrir(c); });
    enregistrerFabrique(nom::SaisiePersonnel, [](Cadre& c) { return SaisiePersonnel::ouvrir(c); });
}

} // namespace kip
