// What the two calendar pickers show, computed without a window: the year table of the week picker
// (the month, Monday and Sunday of each week of a week-year), its five rows for a month, its caption and
// entry rule, and the 37 day cells of the day picker.
#pragma once

#include "Dates.h"

#include <array>

namespace kip {

// The year spin of both pickers runs from 1980 to 2099 and wraps around.
constexpr int PremiereAnneeCalendrier = 1980;
constexpr int DerniereAnneeCalendrier = 2099;
constexpr int LignesSemaines = 5;
constexpr int CellulesJours = 37;

// The five rows of the week picker for one month.
struct LignesMois
{
    std::array<quint8, LignesSemaines> semaine{}; // 0 for an empty row
    std::array<QString, LignesSemaines> CODE_AFFICHE;
    std::array<QString, LignesSemaines> LUNDI_DEBUT;
    std::array<QString, LignesSemaines> DIMANCHE_FIN;
    int nombre = 0; // rows filled, from the top
};

// The weeks of one week-year. A week belongs to the month that holds most of its days, that is its
// Thursday, as the week-year itself does: week 1 thus always belongs to January even when its Monday is in
// December, and the week of 29/11/2004 to 05/12/2004 to December.
class CalendrierAnnee
{
public:
    explicit CalendrierAnnee(int annee);

    int annee() const { return m_annee; }
    int premiere() const { return m_premiere; }
    int derniere() const { return m_derniere; }
    bool contient(int semaine) const { return semaine >= m_premiere && semaine <= m_derniere; }

    // Indexed by week, 1 to 53; index 0 and weeks past the last one are 0.
    std::array<quint8, 54> CAL_MOIS{};
    std::array<qint32, 54> CAL_LUNDI{};
    std::array<qint32, 54> CAL_DIMANCHE{};

    // The weeks of month 1 to 12 in order, at most five.
    LignesMois lignes(int mois) const;
    // "12-2005 du 21/03/2005 au 27/03/2005" for a week of this year.
    QString titre(int semaine) const;

private:
    int m_annee;
    int m_premiere;
    int m_derniere;
};

// The week the week picker opens on: the given one when it exists (week-year 1980 to 2099, week 1 to the
// year's last), else the week of today.
Semaine SemaineDOuverture(Semaine entree);

// Day numbers 1 to 31 of the 37 cells of a month, Monday first; 0 for the blank cells before the 1st and
// after the last day.
std::array<quint8, CellulesJours> CellulesDuMois(int mois, int annee);

// "Mars 2005": the caption of the day picker.
QString TitreMois(int mois, int annee);

} // namespace kip
