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

enum UpdateResult : int
{
    UpdateSaved = 0,
    UpdateFailed = 1,
    UpdateChangedElsewhere = 2
};

// Writes the employee back; when a link field changed, every day line that carried the saved values takes
// the new ones. The fields that changed go to the journal with their stored and new values. On a change by
// another station, rec is reloaded with the stored values.
int updateEmployee(Database& db, Personnel& rec, const LinkValues& saved);

// The absences and planned hours of the card follow a change of card and go with a deleted employee.

// Deletes the employee and all its day lines, with a journal entry that keeps its fields. 0 deleted, 1 failed
// (message shown).
int deleteEmployee(Database& db, const Personnel& rec);

// Writes the settings record back; 0, 1 or 2 as updateEmployee.
int updateSettings(Database& db, Parametre& rec);

} // namespace kip
