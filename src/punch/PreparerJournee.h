// The day line preparation: a day line for every day on which an employee is active, and the inactivity
// flag of existing lines kept in step with the employee's hiring dates and inactivity periods. The punches
// and totals of an existing line are never touched. Shared by the day initialisation, the employee form and
// the correction grid.
#pragma once

#include "data/RecordFile.h"
#include "data/Records.h"

namespace kip {

// Whether a day lies within one of the employee's ten inactivity periods (bounds included).
bool enPeriodeInactivite(const Personnel& employe, qint32 date);
// Whether the employee is inactive on a day: within one of its ten inactivity periods, before its hiring
// date or after its leaving date.
bool estInactif(const Personnel& employe, qint32 date);

// The empty day line of an employee for a date, as the preparation adds it.
PointVal ligneVide(const Personnel& employe, qint32 date);

// What the preparation does to one day, given the line found (nullptr when there is none): add a line,
// write the line back with its new flag, or nothing.
enum class ActionJournee
{
    Rien,
    Ajouter,
    Reecrire
};
ActionJournee decisionJournee(const Personnel& employe, qint32 date, PointVal* ligne);

// Prepares the day line of one date: reads it, then adds or rewrites it as needed. Returns NoError, or the
// error of a write (a read error other than not found leaves the file as it is).
FileError PreparerJournee(RecordFile<PointVal>& journees, const Personnel& employe, qint32 date);

// Prepares every day from premier to dernier (both included) for one employee, reading the employee's lines
// of the period in one ordered range.
FileError PreparerPeriode(RecordFile<PointVal>& journees, const Personnel& employe, qint32 premier, qint32 dernier);

} // namespace kip
