// The totals of a period, as numbers: the sum of the day totals of each employee over the period, and of
// the whole staff. The period totals report (EditionTotalPeriode) prints them; CalculerTotauxPeriode gives
// them as data to whoever needs the numbers without the pages (an export), from the same reading and the
// same computation. No week rounding applies.
#pragma once

#include "ExecutionEdition.h"

#include <vector>

namespace kip {

class Database;

struct TotalPeriodeEmploye
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE; // from the employee's first day line
    qint32 total = 0;               // minutes; a year of long days passes 32,767
    qint64 lignes = 0;              // day lines added
};

// Accumulates the day lines in the report's reading order: a change of card starts a new employee.
class CumulPeriode
{
public:
    void ajouter(const PointVal& ligne);

    const TotalPeriodeEmploye& employe() const { return m_employe; }
    bool nouvelEmploye() const { return m_nouvelEmploye; }
    // The whole staff: a thousand employees over years of long days pass 2^31 minutes.
    qint64 totalGeneral() const { return m_totalGeneral; }
    qint64 lignes() const { return m_lignes; }

private:
    TotalPeriodeEmploye m_employe;
    bool m_nouvelEmploye = false;
    qint64 m_totalGeneral = 0;
    qint64 m_lignes = 0;
};

struct TotauxPeriode
{
    std::vector<TotalPeriodeEmploye> employes; // in the report's order
    qint64 totalGeneral = 0;
    qint64 lignes = 0;          // day lines added
    qint64 lignesComptees = -1; // the lines the counting pass found in the same snapshot
};

// The totals of the period totals report for these parameters, read in one snapshot with the reports'
// filter (period, range, active lines only).
ResultatEdition CalculerTotauxPeriode(Database& db, const ParametresEdition& parametres, TotauxPeriode& totaux,
                                      const ControleExecution& controle = {});

} // namespace kip
