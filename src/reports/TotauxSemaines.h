// The week totals of the weekly reports and of the control report, as numbers: each day line, in reading
// order, adds its total to the week of its employee, the week is rounded by the employee's week code, and
// the employee's total is the sum of its rounded weeks. The reports print them; CalculerTotauxSemaines gives
// them as data to whoever needs the numbers without the pages (an export), from the same reading and the
// same computation.
#pragma once

#include "ExecutionEdition.h"

#include <optional>
#include <vector>

namespace kip {

class Database;

struct TotalSemaine
{
    quint8 NUM_SEMAINE = 0;
    qint16 NUM_ANNEE = 0;
    qint32 totalNormal = 0;  // sum of the day totals of the week's active lines
    qint32 totalArrondi = 0; // the same, rounded by the employee's week code
};

// An employee and its weeks as they stand after the last line added.
struct TotauxSemainesEmploye
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE; // from the employee's first day line
    bool connu = false;             // a PERSONNEL record has the card
    QString codeArrondi;            // PER:ARRONDI_SEMAINE; blank when no record has the card
    QString texteArrondi;           // its label as the weekly reports print it ("Pas d'arrondi" when unknown)
    std::vector<TotalSemaine> semaines;
    qint32 total = 0; // TotauxSemaine: the sum of the rounded weeks
};

class CumulSemaines
{
public:
    // db is the reading's connection: the employees are looked up through it.
    explicit CumulSemaines(Database& db) : m_db(db) {}

    // Adds a day line, in the report's reading order. A change of card starts a new employee (whether or
    // not it has a record), a change of week a new week. An inactive line opens its week but adds nothing.
    void ajouter(const PointVal& ligne);

    // The employee in hand; its last week is the week of the last line added. Empty before the first line.
    const TotauxSemainesEmploye& employe() const { return m_employe; }
    const TotalSemaine& semaine() const { return m_employe.semaines.back(); }
    // Whether the last line added started a new employee.
    bool nouvelEmploye() const { return m_nouvelEmploye; }

private:
    void commencerEmploye(const PointVal& ligne);

    Database& m_db;
    TotauxSemainesEmploye m_employe;
    bool m_commence = false;
    bool m_nouvelEmploye = false;
};

// The week totals of the weekly reports for these parameters: one entry per employee, in the report's order,
// each with its weeks. Read in one snapshot, with the reports' filter (period, range, active lines only).
ResultatEdition CalculerTotauxSemaines(Database& db, const ParametresEdition& parametres,
                                       std::vector<TotauxSemainesEmploye>& totaux,
                                       const ControleExecution& controle = {});

} // namespace kip
