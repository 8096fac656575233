// The weekly correction grid without its window: one employee, one week (Monday to Sunday), for each day the
// origin and programme rows as shown, the user row as the operator left it, the day total, and the week total
// before and after the employee's week rounding. It decides what a cell entry does, where the cursor goes,
// which days changed and what a save writes; the window only gathers keys and shows cells.
#pragma once

#include "CelluleHeure.h"
#include "calendar/Dates.h"
#include "data/Records.h"

#include <array>
#include <optional>
#include <vector>

namespace kip {

constexpr int JoursSemaine = 7;

struct JourGrille
{
    qint32 date = 0;
    bool cache = true;  // no day line, or POV:INACTIF set: not shown, skipped by the cursor and by saving
    quint8 modifLu = 0; // POV:MODIF as loaded
    qint64 version = 0; // the line's row version as loaded: a save writes over that version only
    qint32 total = 0;   // the day total shown, in minutes
    TextesJour origine; // the three rows as shown
    TextesJour programme;
    TextesJour utilisateur; // as the operator left the cells (not yet checked)
    TextesJour utilisateurLu;
};

// What a save writes into a changed day line: slots 1 to 14 of the user line, the day total and POV:MODIF.
struct EcritureJour
{
    qint32 date = 0;
    std::array<qint16, CellulesJour> utilisateur{};
    qint16 total = 0;
    quint8 modif = 0;
    // The row version of the line the edit was made on: the write is refused (89) when another station or a
    // transfer changed the line since. Without it, the write goes over the latest stored line.
    std::optional<qint64> version;
};

// The unsaved user rows of a week, as the cells hold them: what comes back if the program dies.
struct Brouillon
{
    qint16 carte = 0;
    qint32 lundi = 0;
    std::array<std::optional<TextesJour>, JoursSemaine> jours;

    bool vide() const;
    friend bool operator==(const Brouillon&, const Brouillon&) = default;
};

class GrilleSemaine
{
public:
    // The week of the employee that holds lundi (a Monday), from the day lines found (nullopt: no line).
    void charger(const Personnel& employe, qint32 lundi,
                 const std::array<std::optional<PointVal>, JoursSemaine>& lignes);

    const Personnel& employe() const { return m_employe; }
    qint32 lundi() const { return m_lundi; }
    qint32 dimanche() const { return m_lundi + JoursSemaine - 1; }
    Semaine semaine() const { return NumeroSemaine(m_lundi); }
    // Day 0 (Monday) to 6 (Sunday).
    const JourGrille& jour(int j) const { return m_jours[size_t(j)]; }
    bool unJourAffiche() const;

    // The operator left a cell whose text changed: the text is kept as typed, rewritten as hours and minutes
    // when it is a time, and the day and week totals follow when the day's chronology holds.
    struct Saisie
    {
        enum Etat
        {
            Acceptee,
            Refusee,    // the cell is not a time: beep, the cell again with its text selected
            Chronologie // a second roll-over past midnight: beep, the focus on the cell given
        };
        Etat etat = Acceptee;
        int colonne = -1; // the cell to go back to
    };
    Saisie saisir(int jour, int colonne, const QString& texte);
    // The text of a cell while it is typed, not yet checked (the draft, changes detected).
    void poser(int jour, int colonne, const QString& texte);

    qint32 totalSemaine() const; // sum of the day totals of the shown days
    qint32 totalArrondi() const; // by the employee's week rounding

    // The cursor: the next shown day up (sens -1) or down (+1), wrapping from Sunday to Monday and back; the
    // day itself when it is the only one shown; -1 when none is.
    int jourVoisin(int jour, int sens) const;
    // The next column of the day, wrapping from the 14th to the 1st and back.
    static int colonneVoisine(int colonne, int sens);
    int premierJourAffiche() const; // -1 when none

    // A shown day whose POV:MODIF would change or whose user row differs from the row as loaded.
    bool jourModifie(int jour) const;
    std::vector<int> joursModifies() const;

    // What a save writes for the changed days, once each of their cells reads as a time and each day's
    // chronology holds; otherwise the day and cell that stop it.
    struct Verification
    {
        bool valide = true;
        int jour = -1;
        int colonne = -1;
        std::vector<EcritureJour> ecritures;
    };
    Verification verifier() const;

    // The shown days whose user row differs from the row as loaded, as the cells hold them.
    Brouillon brouillon() const;
    // Puts a draft's rows back into the cells of the shown days (same card and week only); the day totals
    // follow where the chronology holds.
    bool reprendre(const Brouillon& brouillon);

private:
    void recalculer(int jour);

    Personnel m_employe;
    qint32 m_lundi = 0;
    std::array<JourGrille, JoursSemaine> m_jours;
};

// Hours of a total as the grid shows its totals: a number with two decimals, 6 characters, blank when zero.
QString TexteTotal(qint32 minutes);

} // namespace kip
