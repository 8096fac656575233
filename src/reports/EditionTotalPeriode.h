// EditionTotalPeriode, the period totals report: one line per employee with the period and the sum of its
// day totals, then the grand total of the report, once, after the last employee. The lines that pass the
// filter are counted first, in the snapshot that the printing then reads.
#pragma once

#include "Edition.h"
#include "TotauxPeriode.h"

#include <memory>

namespace kip {

// A day line as the period totals report handles it: it prints nothing of its own, the employee's line and
// the grand total show the totals as they stand after it.
struct LigneTotalPeriode
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE;
    qint32 DATE = 0;
    QTime heure;             // print time
    qint32 totalEmploye = 0; // the employee's day totals so far
    qint64 totalGeneral = 0; // every line's so far
};

class RapportTotalPeriode : public Edition
{
public:
    RapportTotalPeriode();
    ~RapportTotalPeriode() override;

    bool avecComptage() const override { return true; }
    void ouvrir(ContexteEdition& contexte) override;
    void journee(const PointVal& ligne) override;
    bool fermer() override;

    // Called with each line as prepared, before it is printed.
    std::function<void(const LigneTotalPeriode&)> observateur;

private:
    void construireBandes();
    void imprimerTotalGeneral();

    ContexteEdition* m_contexte = nullptr;
    std::unique_ptr<RapportBandes<LigneTotalPeriode>> m_bandes;
    BandeLigne<LigneTotalPeriode> m_totalGeneral;
    bool m_totalImprime = false;
    CumulPeriode m_cumul;
    qint64 m_lignesComptees = -1;
};

std::unique_ptr<Edition> EditionTotalPeriode();

} // namespace kip
