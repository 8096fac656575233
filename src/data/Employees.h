// Transactional writes of employees and settings: an employee's link fields follow it into its day lines,
// and an employee leaves with its day lines, each in one transaction over PERSONNEL and POINTVAL that also
// appends the change to the journal of corrections.
#pragma once

#include "Database.h"
#include "Records.h"

namespace kip {

// The four fields that tie day lines to their employee, as they were when the employee was read.
struct LinkValues
{
    qint16 CARTE = 0;
    QString MATRICULE;
    QString NOM;
    QString PRENOM;

    static LinkValues of(const Personnel& p) { return {p.CARTE, p.MATRICULE, p.NOM, p.PRENOM}; }
    bool sameAs(const Personnel& p) const;
};

// Each write below reports its own failure (message 34, 35, 15 or 17, or the repair of a damaged file) and
// returns the error it met: NoError once written, ChangedElsewhere (89) when another station changed the record
// first, any other error when nothing was written.

// Writes the employee back; when a link field changed, every day line that carried the saved values takes
// the new ones. The fields that changed go to the journal with their stored and new values. On a change by
// another station, rec is reloaded with the stored values.
FileError updateEmployee(Database& db, Personnel& rec, const LinkValues& saved);

// Deletes the employee and all its day lines, with a journal entry that keeps its fields. The absences and
// planned hours of the card go with it, as they follow a change of card in updateEmployee.
FileError deleteEmployee(Database& db, const Personnel& rec);

// Writes the settings record back; on a change by another station, rec is reloaded as by updateEmployee.
FileError updateSettings(Database& db, Parametre& rec);

} // namespace kip
