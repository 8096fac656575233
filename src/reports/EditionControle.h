// EditionControle, the control report: for one week, every day line of the chosen employees, inactive ones
// included, with its three punch lines (origin as read, programme after the employee's rules, user after
// correction), its two indicators, and the week's normal and rounded totals; one page per employee. It shows
// how each retained time was obtained.
#pragma once

#include "Edition.h"
#include "TotauxSemaines.h"

#include <array>
#include <memory>
#include <optional>

namespace kip {

// A day line as the control report prints it, with the week's totals as they stand after it.
struct LigneControle
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE;
    qint32 DATE = 0;
    quint8 NUM_SEMAINE = 0;
    qint16 NUM_ANNEE = 0;
    quint8 MODIF = 0;
    quint8 INACTIF = 0;

    QTime heure;                       // print time
    QString jour;                      // day name
    std::array<QString, 14> origine{}; // the three punch lines, slots 1 to 14
    std::array<QString, 14> programme{};
    std::array<QString, 14> utilisateur{};
    QString totalJour;       // day total
    QString codeArrondi;     // PER:ARRONDI_SEMAINE; blank for a card without a record
    QString texteArrondi;    // its label; empty for a blank or unknown code
    qint32 totalNormal = 0;  // the week's active lines so far
    qint32 totalArrondi = 0; // the same, rounded by the code
};

class RapportControle : public Edition
{
public:
    RapportControle();
    ~RapportControle() override;

    bool avecLignesInactives() const override { return true; }
    void ouvrir(ContexteEdition& contexte) override;
    void journee(const PointVal& ligne) override;
    bool fermer() override;

    // Called with each line as prepared, before it is printed.
    std::function<void(const LigneControle&)> observateur;

private:
    void construireBandes();

    ContexteEdition* m_contexte = nullptr;
    std::unique_ptr<RapportBandes<LigneControle>> m_bandes;
    std::optional<CumulSemaines> m_cumul;
};

std::unique_ptr<Edition> EditionControle();

} // namespace kip
