// The two daily punch reports, over any run of days and without week rounding:
//   EditionJoursPage  per day line the raw punches (origin line) above the punches as the user corrected
//                     them, with the day total; the employee total; a new page after each employee (1 to 31
//                     days);
//   EditionJours      the same, one employee after the other, over any period.
#pragma once

#include "Edition.h"
#include "TotauxPeriode.h"

#include <array>
#include <memory>

namespace kip {

// A day line as the daily reports print it, with the employee's total as it stands after it.
struct LigneJours
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE;
    qint32 DATE = 0;

    QTime heure;                           // print time
    QString jour;                          // day name
    std::array<QString, 14> origine{};     // origin punches 1 to 14
    std::array<QString, 14> utilisateur{}; // user punches 1 to 14
    QString totalJour;                     // day total
    qint32 totalEmploye = 0;               // the employee's day totals so far
};

class RapportJours : public Edition
{
public:
    enum class Genre
    {
        PageParEmploye, // EditionJoursPage
        Continu         // EditionJours
    };
    explicit RapportJours(Genre genre) : m_genre(genre) {}
    ~RapportJours() override;

    void ouvrir(ContexteEdition& contexte) override;
    void journee(const PointVal& ligne) override;
    bool fermer() override;

    // Called with each line as prepared, before it is printed.
    std::function<void(const LigneJours&)> observateur;

private:
    void construireBandes();

    Genre m_genre;
    ContexteEdition* m_contexte = nullptr;
    std::unique_ptr<RapportBandes<LigneJours>> m_bandes;
    CumulPeriode m_cumul;
};

std::unique_ptr<Edition> EditionJoursPage();
std::unique_ptr<Edition> EditionJours();

} // namespace kip
