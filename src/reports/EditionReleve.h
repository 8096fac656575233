// The monthly statement ("Relevé mensuel"): one page per employee and month of the period, with each day's
// planned hours, worked hours and absences, the week balances and the running balance of the working-time
// account, the leave balances, and a chart of the account's balance week by week over the last twelve months.
#pragma once

#include "EditionsSoldes.h"
#include "soldes/FichierSoldes.h"

#include <memory>
#include <optional>

namespace kip {

// A day of the statement.
struct JourReleve
{
    qint32 date = 0;
    qint32 prevu = 0;
    qint32 travaille = 0;
    QString absences; // the short text of the day's absences, "JF" for a public holiday
};

// One page of the statement, as data.
struct PageReleve
{
    Personnel employe;
    qint32 mois = 0; // its first day
    qint32 fin = 0;  // the last day counted: the month's last, or the print date within the month
    std::vector<JourReleve> jours;
    std::vector<SemaineCompte> semaines; // the weeks that meet the month
    std::vector<SemaineCompte> courbe;   // the weeks of the last twelve months up to fin
    qint32 soldeCompte = 0;
    SoldesConges conges;
};

// The page of the employee for the month holding `mois`, counted up to the print date when the month holds it.
PageReleve PreparerReleve(const DonneesSoldes& d, const ContexteSoldes& c, qint32 mois, qint32 dateImpression);

class RapportReleve : public Edition
{
public:
    RapportReleve();
    ~RapportReleve() override;

    SourceEdition source() const override { return SourceEdition::Personnel; }
    void ouvrir(ContexteEdition& contexte) override;
    void employe(const Personnel& employe) override;
    bool fermer() override;
    FileError erreur() const override;

    // Called with each page as prepared, before it is laid out.
    std::function<void(const PageReleve&)> observateur;

private:
    void imprimer(const PageReleve& page);

    ContexteEdition* m_contexte = nullptr;
    std::optional<SoldesLus> m_soldes;
    FileError m_erreur;
};

} // namespace kip
