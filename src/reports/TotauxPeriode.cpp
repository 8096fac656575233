// The totals of a period.
#include "TotauxPeriode.h"

namespace kip {

void CumulPeriode::ajouter(const PointVal& ligne)
{
    m_nouvelEmploye = m_lignes == 0 || ligne.CARTE != m_employe.CARTE;
    if (m_nouvelEmploye)
        m_employe = {ligne.CARTE, ligne.NOM, ligne.PRENOM, ligne.MATRICULE, 0, 0};
    m_employe.total += ligne.TOTAL;
    ++m_employe.lignes;
    m_totalGeneral += ligne.TOTAL;
    ++m_lignes;
}

namespace {

// The period totals report's reading without its pages.
class CollectePeriode : public Edition
{
public:
    explicit CollectePeriode(TotauxPeriode& totaux) : m_totaux(totaux) {}

    bool avecComptage() const override { return true; }
    void ouvrir(ContexteEdition& contexte) override
    {
        m_contexte = &contexte;
        m_totaux.lignesComptees = contexte.lignesComptees;
    }
    void journee(const PointVal& ligne) override
    {
        m_cumul.ajouter(ligne);
        if (m_cumul.nouvelEmploye())
            m_totaux.employes.push_back(m_cumul.employe());
        else
            m_totaux.employes.back() = m_cumul.employe();
        m_totaux.totalGeneral = m_cumul.totalGeneral();
        m_totaux.lignes = m_cumul.lignes();
    }
    bool fermer() override { return m_contexte->pagination.terminer(); }

private:
    TotauxPeriode& m_totaux;
    ContexteEdition* m_contexte = nullptr;
    CumulPeriode m_cumul;
};

} // namespace

ResultatEdition CalculerTotauxPeriode(Database& db, const ParametresEdition& parametres, TotauxPeriode& totaux,
                                      const ControleExecution& controle)
{
    totaux = TotauxPeriode{};
    CollectePeriode collecte(totaux);
    ResultatEdition r = ExecuterEdition(db, collecte, parametres, controle);
    if (!r.complete())
        totaux = TotauxPeriode{};
    return r;
}

} // namespace kip
