// The balances read with everything they are computed from, and the journalled writes of Solde.tps: a
// starting balance or a credit set by hand, and the starting balances that the purge carries.
#pragma once

#include "Soldes.h"
#include "data/Database.h"

namespace kip {

// The employees of a range of cards, each with its absences, its day totals and its balance records up to
// `fin`, and what they are all computed with; read in one snapshot.
struct SoldesLus
{
    ContexteSoldes contexte;
    std::vector<DonneesSoldes> employes; // by card
};
Result<SoldesLus> LireDonneesSoldes(Database& db, qint16 carteDebut, qint16 carteFin, qint32 fin);

// Why a balance record cannot be stored (an unknown account, a credit of anything but RTT or REC), empty when
// it can.
QString ErreurSolde(const Solde& solde);

// Sets a starting balance (it replaces the one of the same account and date) or adds a credit (to the one of the
// same account and date, if any), journalled under the employee. Paid leave starts on the first of a month.
FileError EnregistrerSolde(Database& db, const Personnel& employe, Solde solde);

// Before the day lines up to finPurge (a Sunday) go: each card's working-time account as it stands at the end
// of that day becomes its starting balance on the day after, in one journalled transaction, so that no balance
// changes when the lines go; an account that already starts after the end date is left as it is. The other
// balances do not use the day lines. Gives the number of cards carried.
Result<int> ReporterSoldesAvantPurge(Database& db, qint32 finPurge);

// "HEUR départ 05/01/2026: +3.30", "RTT crédit 01/03/2026: 2,00 (accord annuel)".
QString TexteSolde(const Solde& solde);

} // namespace kip
