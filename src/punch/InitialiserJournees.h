// The day initialisation as a job without windows: every employee gets a day line for every day of the
// sliding period on which it is active, in one batch write.
#pragma once

#include "data/Database.h"

#include <functional>

namespace kip {

struct PeriodeInitialisation
{
    qint32 premier = 0; // Monday of the week that holds today - 90
    qint32 dernier = 0; // Sunday of the current week
};

// 14 whole weeks, or 13 when today is a Sunday.
PeriodeInitialisation periodeInitialisation(qint32 aujourdhui);

struct [[nodiscard]] ResultatInitialisation
{
    int employes = 0;
    FileError erreur; // the error that stopped the preparation, if any
};

// Progress: employees done out of the total, with the employee in hand.
using ProgressionInitialisation = std::function<void(int fait, int total, qint16 carte, const QString& nom)>;

// Runs on the calling thread with the given connection (a worker's own); one flush at the end.
ResultatInitialisation InitialiserJournees(Database& db, qint32 aujourdhui,
                                           const ProgressionInitialisation& progression = {});

} // namespace kip
