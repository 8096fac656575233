// A report run as a job on a worker thread with its own connection: the progress (in percents, as fait of 100)
// and the end reach the caller by queued signals, so that the window that shows the progress stays responsive,
// and annuler() is seen after the record in hand. A run still going when the job is destroyed is stopped.
#pragma once

#include "ExecutionEdition.h"
#include "data/Tache.h"

#include <functional>
#include <memory>

namespace kip {

class TacheEdition : public TacheDe<ResultatEdition>
{
public:
    using TacheDe::TacheDe;

    void lancer(const QString& dataDir, std::unique_ptr<Edition> edition, const ParametresEdition& parametres,
                const MiseEnPage& miseEnPage);

    // Called on the worker at each new percentage, before it is signalled; tests hold the run with it. Taken
    // by the run when it starts.
    std::function<void(int pourcent)> etape;
};

} // namespace kip
