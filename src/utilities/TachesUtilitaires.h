// The long work of the utilities window runs as jobs on worker threads, each with its own connections, so that
// the window stays responsive. A window closed while its job runs waits for the job: a purge or a restore
// finishes whole or not at all.
#pragma once

#include "Purge.h"
#include "Restauration.h"
#include "SauvegardeManuelle.h"
#include "data/Tache.h"

namespace kip {

// Progress: weeks purged out of the weeks to purge.
class TachePurge : public TacheDe<ResultatPurge>
{
public:
    using TacheDe::TacheDe;
    void lancer(const QString& dataDir, qint32 finPurge);
};

class TacheSauvegarde : public TacheDe<ResultatSauvegardeManuelle>
{
public:
    using TacheDe::TacheDe;
    void lancer(const Paths& p, qint32 aujourdhui, int attentePauseMs);
};

// Progress: the step out of the steps, with its text.
class TacheRestauration : public TacheDe<ResultatRestauration>
{
public:
    using TacheDe::TacheDe;
    void lancer(const Paths& p, const CopieRestaurable& source, int attentePauseMs);
};

} // namespace kip
