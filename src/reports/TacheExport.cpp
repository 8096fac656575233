#include "TacheExport.h"

#include "data/Database.h"
#include "data/Files.h"

namespace kip {

void TacheExport::lancer(const QString& dataDir, GenreExport genre, const ParametresEdition& parametres,
                         const SeuilsPaie& seuils, const QString& chemin)
{
    demarrer([dataDir, genre, parametres, seuils, chemin](const SuiviTache& suivi) {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database db(dataDir);
        ControleExecution c;
        c.annuler = suivi.annulation();
        c.progression = [&suivi](int p) { suivi.avancer(p, 100); };
        return Exporter(db, genre, parametres, seuils, chemin, c);
    });
}

} // namespace kip
