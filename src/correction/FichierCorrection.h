// What the correction grid reads and writes in POINTVAL: the week it shows (its missing day lines created
// first), the changed days of a save pass, and the clear of one day's user line. Every change of a user line
// goes through enregistrerSemaine or effacerJournee, each one transaction that also appends to the journal of
// corrections one entry per day line whose user punches or total changed, with their values before and after.
#pragma once

#include "GrilleSemaine.h"
#include "data/Database.h"
#include "employees/LecturePersonnel.h"

namespace kip {

struct SemaineLue
{
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    // The preparation of the week's lines could not be written (the lines read are shown all the same).
    FileError preparation;
};

// Prepares the seven day lines of the week (PreparerPeriode: a line for each day on which the employee is
// active, the inactivity flag of the others set right) in one transaction, then reads them. The error is a
// read error; a failed preparation is left in out.preparation.
FileError chargerSemaine(Database& db, const Personnel& employe, qint32 lundi, SemaineLue& out);

// Writes the changed days of a save pass in one transaction: each line is read again by card and date just
// before it is written, and refused with 89 (ChangedElsewhere) when its row version is no longer the one the
// edit was made on; a day whose line is gone is passed over. Slots 15 to 20 of the user line keep their stored
// values. On error nothing is written.
FileError enregistrerSemaine(Database& db, qint16 carte, const std::vector<EcritureJour>& ecritures);

// Clears the user line of one day line (all 20 slots empty), sets its total to 0 and POV:MODIF to 1 when the
// programme line has a punch in slots 1 to 14, else 0; in one transaction. NotFound when the line is gone.
FileError effacerJournee(Database& db, qint16 carte, qint32 date);

// The employee after (Forward) or before (Backward) the current one in card or name order; past the last
// (first) one the order starts again at the first (last). The current one itself when it is alone.
FileError employeVoisin(Database& db, OrdrePersonnel ordre, const Personnel& courant, Direction sens, Personnel& out);

} // namespace kip
