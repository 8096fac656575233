// The reads of the balances: the day totals of the working-time account, and the starting balances and
// credits of Solde.tps. Each read runs inside the caller's transaction when it holds one.
#pragma once

#include "Database.h"
#include "RecordsAbsences.h"
#include "Result.h"

#include <functional>
#include <vector>

namespace kip {

// A day line as the account counts it: its card, its date and its day total.
struct TotalJour
{
    qint16 carte = 0;
    qint32 date = 0;
    qint32 total = 0;
};

// The active day lines of the cards carteDebut to carteFin dated debut to fin (both included), by card and
// date; an inactive line counts for nothing in a week total, as in the week totals report.
FileError LireTotauxJours(Database& db, qint16 carteDebut, qint16 carteFin, qint32 debut, qint32 fin,
                          const std::function<void(const TotalJour&)>& chaque);

// The balance records of the cards carteDebut to carteFin, by card, account, date and nature.
Result<std::vector<Solde>> LireSoldes(Database& db, qint16 carteDebut, qint16 carteFin);

} // namespace kip
