// The absences of a period ("Absences de la période"): one line per employee with its days of each absence type
// (a half day counts 0.5, hours their share of the day's planned hours, a public holiday on a planned day JF),
// the employee's total, and the totals of every type at the end.
#pragma once

#include "EditionsSoldes.h"
#include "absences/HorairesPrevus.h"
#include "absences/ReglesAbsences.h"

#include <QHash>
#include <memory>

namespace kip {

// An employee's line: hundredths of a day per type, in the order of the types.
struct LigneAbsences
{
    Personnel employe;
    std::vector<qint32> jours;
    qint32 total = 0;
};

class RapportAbsences : public Edition
{
public:
    RapportAbsences();
    ~RapportAbsences() override;

    SourceEdition source() const override { return SourceEdition::Personnel; }
    void ouvrir(ContexteEdition& contexte) override;
    void employe(const Personnel& employe) override;
    bool fermer() override;
    FileError erreur() const override { return m_erreur; }

    // Called with each line as counted, before it is printed.
    std::function<void(const LigneAbsences&)> observateur;

private:
    void titres();

    ContexteEdition* m_contexte = nullptr;
    std::vector<TypeAbsence> m_types;
    HorairesPrevus m_horaires;
    bool m_alsaceMoselle = false;
    QHash<qint16, std::vector<Absence>> m_absences;
    std::vector<qint32> m_totaux;
    bool m_commence = false;
    FileError m_erreur;
};

} // namespace kip
