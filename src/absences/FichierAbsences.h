// Reads and writes of the absence files: the types (the usual French ones while none is stored), the
// absences of a period or of one card, and the writes that replace the absences of some days as a whole.
//
// Every write is one transaction over its files and the journal of corrections, with one journal entry for
// each day or type it changes: a change never stands without its entry. The files are opened through their
// open counts (the common open creates them).
#pragma once

#include "ReglesAbsences.h"
#include "data/Database.h"
#include "data/Result.h"

#include <QHash>
#include <vector>

namespace kip {

// The types in code order; the usual French ones when the file holds none (a fresh installation, or every
// type deleted: the system is never left without types).
Result<std::vector<TypeAbsence>> LireTypes(Database& db);

// Replaces the stored types by the list as a whole, journalling each type added, changed or deleted. Refused
// (nothing written) when the list is not valid (ErreurTypes) or when a type that absences use would go: the
// error's text then says which.
FileError EnregistrerTypes(Database& db, const std::vector<TypeAbsence>& types);

// The absences of every card from debut to fin (both included), by date, card and part.
Result<std::vector<Absence>> LireAbsences(Database& db, qint32 debut, qint32 fin);
// The absences of one card from debut to fin, by date and part.
Result<std::vector<Absence>> LireAbsencesCarte(Database& db, qint16 carte, qint32 debut, qint32 fin);
// The absences of one card on one date.
Result<JourAbsences> LireJourAbsences(Database& db, qint16 carte, qint32 date);

// Who an entry of the journal names, by card; a card missing from it is journalled by its number alone.
using IdentiteCartes = QHash<qint16, Personnel>;

// Replaces the absences of each day by those it holds (an empty day clears it), in one transaction, and gives
// back the days as they were, for an undo. Each day is checked (ErreurJour) against the stored types before
// anything is written; a day that does not change is neither written nor journalled.
Result<std::vector<JourAbsences>> EnregistrerJours(Database& db, const std::vector<JourAbsences>& jours,
                                                   const IdentiteCartes& identites, const QString& cause);

} // namespace kip
