// The payroll export run as a job on a worker thread with its own connection, as a report runs (TacheEdition):
// the progress (in percents) and the end reach the caller by queued signals, and annuler() is seen after the
// record in hand.
#pragma once

#include "ExportPaie.h"
#include "data/Tache.h"

namespace kip {

class TacheExport : public TacheDe<ResultatExport>
{
public:
    using TacheDe::TacheDe;
    void lancer(const QString& dataDir, GenreExport genre, const ParametresEdition& parametres,
                const SeuilsPaie& seuils, const QString& chemin);
};

} // namespace kip
