// The week totals.
#include "TotauxSemaines.h"

#include "data/RecordFile.h"
#include "punch/ArrondirSemaine.h"
#include "punch/CodesArrondi.h"

namespace kip {

void CumulSemaines::commencerEmploye(const PointVal& ligne)
{
    m_employe = TotauxSemainesEmploye{};
    m_employe.CARTE = ligne.CARTE;
    m_employe.NOM = ligne.NOM;
    m_employe.PRENOM = ligne.PRENOM;
    m_employe.MATRICULE = ligne.MATRICULE;
    Personnel per;
    per.CARTE = ligne.CARTE;
    RecordFile<Personnel> fichier(m_db);
    m_employe.connu = fichier.get(per, PER_K_CARTE) == NoError;
    if (m_employe.connu) {
        m_employe.codeArrondi = per.ARRONDI_SEMAINE;
        // A code outside the eleven has no label: none is printed rather than another employee's.
        m_employe.texteArrondi = weekRoundingLabel(per.ARRONDI_SEMAINE);
    } else {
        m_employe.texteArrondi = QStringLiteral("Pas d'arrondi");
    }
}

void CumulSemaines::ajouter(const PointVal& ligne)
{
    m_nouvelEmploye = !m_commence || ligne.CARTE != m_employe.CARTE;
    m_commence = true;
    if (m_nouvelEmploye)
        commencerEmploye(ligne);
    std::vector<TotalSemaine>& semaines = m_employe.semaines;
    if (semaines.empty() || semaines.back().NUM_SEMAINE != ligne.NUM_SEMAINE ||
        semaines.back().NUM_ANNEE != ligne.NUM_ANNEE)
        semaines.push_back({ligne.NUM_SEMAINE, ligne.NUM_ANNEE, 0, 0});
    TotalSemaine& s = semaines.back();
    // 32 bits: five weeks of long days pass 32767 minutes.
    if (ligne.INACTIF == 0)
        s.totalNormal += ligne.TOTAL;
    const qint32 avant = s.totalArrondi;
    s.totalArrondi = ArrondirSemaine(s.totalNormal, m_employe.codeArrondi);
    m_employe.total += s.totalArrondi - avant;
}

namespace {

// The weekly reports' reading without their pages: the employees' totals as they stand after each
// employee's last line.
class CollecteSemaines : public Edition
{
public:
    explicit CollecteSemaines(std::vector<TotauxSemainesEmploye>& totaux) : m_totaux(totaux) {}

    void ouvrir(ContexteEdition& contexte) override
    {
        m_contexte = &contexte;
        m_cumul.emplace(contexte.db);
    }
    void journee(const PointVal& ligne) override
    {
        m_cumul->ajouter(ligne);
        if (m_cumul->nouvelEmploye())
            m_totaux.push_back(m_cumul->employe());
        else
            m_totaux.back() = m_cumul->employe();
    }
    bool fermer() override { return m_contexte->pagination.terminer(); }

private:
    std::vector<TotauxSemainesEmploye>& m_totaux;
    ContexteEdition* m_contexte = nullptr;
    std::optional<CumulSemaines> m_cumul;
};

} // namespace

ResultatEdition CalculerTotauxSemaines(Database& db, const ParametresEdition& parametres,
                                       std::vector<TotauxSemainesEmploye>& totaux, const ControleExecution& controle)
{
    totaux.clear();
    CollecteSemaines collecte(totaux);
    ResultatEdition r = ExecuterEdition(db, collecte, parametres, controle);
    if (!r.complete())
        totaux.clear();
    return r;
}

} // namespace kip
