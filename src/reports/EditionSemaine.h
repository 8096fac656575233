// The three reports of 1 to 5 whole weeks with the employees' week rounding:
//   EditionSemainePage   one line per day with the 14 user punches and the day total, week footers with
//                        the normal and rounded totals, the employee total; a new page after each employee;
//   EditionSemaine       the same, one employee after the other;
//   EditionTotauxSemaine only the employee header, the week footers and the employee total.
#pragma once

#include "Edition.h"
#include "TotauxSemaines.h"

#include <array>
#include <memory>
#include <optional>

namespace kip {

// A day line as the weekly reports print it, with the totals as they stand after it.
struct LigneSemaine
{
    qint16 CARTE = 0;
    QString NOM, PRENOM, MATRICULE;
    qint32 DATE = 0;
    quint8 NUM_SEMAINE = 0;
    qint16 NUM_ANNEE = 0;

    QTime heure;                         // print time
    QString jour;                        // day name
    std::array<QString, 14> pointages{}; // user punches 1 to 14
    QString totalJour;                   // day total
    QString texteArrondi;                // label of the employee's week rounding
    qint32 totalNormal = 0;              // the week so far
    qint32 totalArrondi = 0;             // the same, rounded by the employee's code
    qint32 totalEmploye = 0;             // the rounded weeks of the employee so far
};

class RapportSemaines : public Edition
{
public:
    enum class Genre
    {
        PageParEmploye, // EditionSemainePage
        Continu,        // EditionSemaine
        Totaux          // EditionTotauxSemaine
    };
    explicit RapportSemaines(Genre genre);
    ~RapportSemaines() override;

    void ouvrir(ContexteEdition& contexte) override;
    void journee(const PointVal& ligne) override;
    bool fermer() override;

    // Called with each line as prepared, before it is printed (tests follow the totals through it).
    std::function<void(const LigneSemaine&)> observateur;

private:
    void construireBandes();

    Genre m_genre;
    ContexteEdition* m_contexte = nullptr;
    std::unique_ptr<RapportBandes<LigneSemaine>> m_bandes;
    std::optional<CumulSemaines> m_cumul;
};

std::unique_ptr<Edition> EditionSemainePage();
std::unique_ptr<Edition> EditionSemaine();
std::unique_ptr<Edition> EditionTotauxSemaine();

} // namespace kip
