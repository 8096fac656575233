// One raw punch applied to an employee's day lines by the punch rules, in the order the transfer takes them:
// a punch already stored is a duplicate; the day line is chosen (midnight shift, day extension); hiring and
// inactivity are tested on the date of that line, so that a punch lands only on a day on which the employee is
// active; then the merge, the programme line, the user line and the day total. The transfer applies it to
// every valid line of the raw file; kipgen builds its day lines with it.
#pragma once

#include "ChoisirJournee.h"
#include "data/Records.h"

#include <map>

namespace kip {

// A day line in hand during a reading.
struct JourneeEnMain
{
    PointVal ligne;
    bool existe = false;   // in the file, or started by this reading
    bool lue = false;      // read from the file (written back by an update), as opposed to added
    bool modifiee = false; // to be written
};

// Where the lines in hand are found: the transfer reads them from POINTVAL, kipgen keeps them in memory. A
// reference returned stays valid while other lines are taken.
class JourneesEnMain : public JourneePrecedente
{
public:
    // The line of a card and date; existe is false when there is none yet.
    virtual JourneeEnMain& ligne(qint16 carte, qint32 date) = 0;
    bool lire(qint16 carte, qint32 date, PointVal& out) override;
};

// Lines kept in memory only, none at the start.
class JourneesEnMemoire : public JourneesEnMain
{
public:
    JourneeEnMain& ligne(qint16 carte, qint32 date) override { return m_lignes[{carte, date}]; }
    const std::map<std::pair<qint16, qint32>, JourneeEnMain>& lignes() const { return m_lignes; }
    void oublierAvant(qint32 date); // drops the lines dated before date

private:
    std::map<std::pair<qint16, qint32>, JourneeEnMain> m_lignes;
};

enum class IssuePointage
{
    Fusionne,   // merged into its day line, which changed
    Ecarte,     // left out by the merge (3 minutes from another punch, or beyond the 14th): nothing changed
    Doublon,    // already on its line: nothing changed
    Inactivite, // the line's date lies in one of the employee's inactivity periods
    NonEmbauche // the line's date lies before hiring or after leaving
};

struct [[nodiscard]] ResultatPointage
{
    IssuePointage issue = IssuePointage::Doublon;
    qint32 dateLigne = 0; // the date of the line chosen (also for a rejection)
};

// Applies a punch at minute (0 to 1439) of calendar date, read at terminal, for the employee. When the merge
// changes the line, it is marked modifiee, an existing line flagged inactive is active again (its date was
// just found active), and the employee's first and last punch dates take in the punch's own calendar date.
// A merge that changes nothing leaves the line and the employee as they were, so that reading the same punch
// again writes nothing.
ResultatPointage AppliquerPointage(Personnel& employe, qint32 date, int minute, quint8 terminal,
                                   JourneesEnMain& lignes);

} // namespace kip
