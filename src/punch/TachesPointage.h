// The day initialisation and the transfer run as jobs on worker threads, each with its own connection, and
// report their progress by queued signals, so that windows stay responsive. Their files are opened through the
// open counts on the calling (GUI) thread before the work starts, so that a message of the common open is never
// waited for by a worker while the GUI thread waits for that worker; they are held until the job is destroyed.
// Destroying a job waits for its work: its day lines are committed or not at all.
#pragma once

#include "InitialiserJournees.h"
#include "TransfertPointages.h"
#include "data/Files.h"
#include "data/Tache.h"

#include <memory>
#include <vector>

namespace kip {

// Progress: employees done out of the total, with the employee in hand (name and card).
class TacheInitialisation : public TacheDe<ResultatInitialisation>
{
public:
    using TacheDe::TacheDe;
    void lancer(const QString& dataDir, qint32 aujourdhui);
};

// Progress: punches handled out of the punches read, with the employee in hand (name and card) once known.
class TacheTransfert : public TacheDe<ResultatTransfert>
{
public:
    using TacheDe::TacheDe;
    void lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui);
};

// The files of the day initialisation and of the transfer, opened through their open counts.
std::vector<std::unique_ptr<FileUse>> ouvrirFichiersPointage();

} // namespace kip
