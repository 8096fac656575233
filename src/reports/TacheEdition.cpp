// The report run on a worker thread.
#include "TacheEdition.h"

#include "data/Database.h"
#include "data/Files.h"

namespace kip {

void TacheEdition::lancer(const QString& dataDir, std::unique_ptr<Edition> edition, const ParametresEdition& parametres,
                          const MiseEnPage& miseEnPage)
{
    // The report belongs to its run.
    std::shared_ptr<Edition> e(std::move(edition));
    demarrer([e, dataDir, parametres, miseEnPage, etapeTest = etape](const SuiviTache& suivi) {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database db(dataDir);
        ControleExecution c;
        c.annuler = suivi.annulation();
        c.miseEnPage = miseEnPage;
        c.progression = [&suivi, &etapeTest](int p) {
            if (etapeTest)
                etapeTest(p);
            suivi.avancer(p, 100);
        };
        return ExecuterEdition(db, *e, parametres, c);
    });
}

} // namespace kip
