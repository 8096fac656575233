// Rule 1 of the punch rules: which day line receives a punch, the line of its own date or the line of the
// day before (midnight shift, and a day that reaches past midnight by its extension or its punches).
#pragma once

#include "data/Records.h"

#include <functional>

namespace kip {

// Reads an employee's day line of a given date; the transfer reads it from POINTVAL by POV:K_CARTE_DATE.
class JourneePrecedente
{
public:
    virtual ~JourneePrecedente() = default;
    // True with the line in out when the line exists; false when there is none (or it cannot be read).
    virtual bool lire(qint16 carte, qint32 date, PointVal& out) = 0;
};

// A JourneePrecedente over a function, for callers that hold their lines elsewhere (and for tests).
class JourneePrecedenteFonction : public JourneePrecedente
{
public:
    using Lecture = std::function<bool(qint16 carte, qint32 date, PointVal& out)>;
    explicit JourneePrecedenteFonction(Lecture lecture) : m_lecture(std::move(lecture)) {}
    bool lire(qint16 carte, qint32 date, PointVal& out) override { return m_lecture && m_lecture(carte, date, out); }

private:
    Lecture m_lecture;
};

struct ChoixJournee
{
    bool veille = false; // true: the punch belongs to the line of the day before
    qint32 date = 0;     // date of the line that receives the punch
    qint16 valeur = 0;   // value stored in that line: the minute, plus 1440 on the day before's line
};

// A punch at minute (0 to 1439) of calendar date for the employee; reads the line of date - 1 only when the
// midnight shift does not already decide.
ChoixJournee ChoisirJournee(const Personnel& employe, qint32 date, int minute, JourneePrecedente& precedente);

} // namespace kip
