// EditionPersonnel, the employee list report: one block per employee with its identity, its punch rules and
// its inactivity periods, in the order and range of the sort mode. It reads PERSONNEL only, has no period
// and no title, and its times are hours and minutes whatever the report unit.
#pragma once

#include "Edition.h"

#include <array>
#include <memory>

namespace kip {

// An employee as the list prints it.
struct LignePersonnel
{
    Personnel employe;
    QString texteEntree;                      // label of the entry rounding
    QString texteSortie;                      // label of the exit rounding
    QString texteSemaine;                     // label of the week rounding
    QString extension;                        // day extension, hours.minutes
    QString decalage;                         // midnight shift, hours.minutes
    std::array<QString, 10> debuts{}, fins{}; // the inactivity periods; blank when not set
};

class RapportPersonnel : public Edition
{
public:
    RapportPersonnel();
    ~RapportPersonnel() override;

    SourceEdition source() const override { return SourceEdition::Personnel; }
    void ouvrir(ContexteEdition& contexte) override;
    void employe(const Personnel& employe) override;
    bool fermer() override;

    // Called with each employee as prepared, before it is printed.
    std::function<void(const LignePersonnel&)> observateur;

private:
    ContexteEdition* m_contexte = nullptr;
    std::unique_ptr<RapportBandes<LignePersonnel>> m_bandes;
};

std::unique_ptr<Edition> EditionPersonnel();

} // namespace kip
