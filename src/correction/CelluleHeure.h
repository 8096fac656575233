// The punch cells of the correction grid: reading what the operator typed in a cell (hours, a point and two
// digits of minutes, with the short forms "10", "1", ".1", ".01"), the chronology of a day's fourteen cells
// with one roll-over past midnight, and the day total that follows from them.
#pragma once

#include "calendar/HeureTexte.h"
#include "data/Records.h"

#include <QString>
#include <QStringView>
#include <array>

namespace kip {

constexpr int CellulesJour = PunchSlotsUsed; // 14 cells per punch row
constexpr int LargeurCellule = 5;            // characters of a cell

struct CelluleLue
{
    enum Etat
    {
        Vide,              // blank: no punch
        Valide,            // a time of 0.00 to 23.59
        CaractereInvalide, // a character other than a space, "." or a digit, or more than 5 characters
        HeureInvalide      // not a number with at most two decimals, hours above 23 or minutes above 59
    };
    Etat etat = Vide;
    qint32 minutes = 0; // for a valid cell: 0 to 1439
    QString texte;      // for a valid cell: the cell rewritten, " 8.05" (5 characters); blank: empty

    bool erreur() const { return etat == CaractereInvalide || etat == HeureInvalide; }
};

// Reads a cell as typed: "10" is 10.00, "1" is 1.00, ".1" is 0.10, ".01" is 0.01, "8.3" is 8.30.
CelluleLue LireCellule(QStringView texte);

// The text of a stored punch value: 0 to 1439 as is, 1440 to 2879 as the value - 1440, anything else blank.
QString TexteCellule(qint16 valeur);

using TextesJour = std::array<QString, CellulesJour>;

// The chronology of a day's cells, walked in column order over the filled ones: each time must be later than
// the one before; the first time that is not makes the day roll over past midnight (that time and every
// following one count 1440 more); a second one is refused.
struct Chronologie
{
    enum Etat
    {
        Valide,
        CelluleInvalide, // a cell that does not read as a time (colonne says which)
        SecondPassage    // a second roll-over (colonne says where)
    };
    Etat etat = Valide;
    int colonne = -1; // 0 to 13, the faulty cell
    // The values to store, slots 1 to 14: minutes, + 1440 once rolled over; -9999 for a blank cell.
    std::array<qint16, CellulesJour> valeurs{};
    // Minutes of the complete pairs (1-2, 3-4 ... 13-14), exit - entry; 0 when the day is not valid.
    qint32 total = 0;

    bool valide() const { return etat == Valide; }
};

Chronologie ChronologieJour(const TextesJour& cellules);

// Whether two rows show the same texts (the blanks of a cell's padding ignored).
bool memesTextes(const TextesJour& a, const TextesJour& b);

} // namespace kip
