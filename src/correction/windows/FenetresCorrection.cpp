#include "FenetresCorrection.h"

#include "CorrectionPointage.h"
#include "TablePointage.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

namespace kip {

void enregistrerFenetresCorrection()
{
    enregistrerFabrique(nom::TablePointage, [](Cadre& c) { return TablePointage::ouvrir(c); });
    enregistrerFabrique(nom::CorrectionPointage, [](Cadre& c) { return CorrectionPointage::ouvrir(c); });
}

} // namespace kip
