// The range of the punch list as the operator sets it: a start and an end date, each with its week, and a
// start and an end employee. A pick that would put the end before the start exchanges the two. Also the texts
// the list and the grid show for a week and for an employee.
#pragma once

#include "LecturePointage.h"
#include "calendar/Dates.h"
#include "data/Records.h"

namespace kip {

// "Sem.: 50/2026".
QString TexteSemaine(const Semaine& semaine);
// The list's text of an employee: card in 4 digits, name, first name (41 characters at most).
QString TexteEmployeListe(const Personnel& employe);
// The grid's header: name, first name, card in 4 digits (41 characters at most).
QString TexteEmployeGrille(const Personnel& employe);
// Card in 4 digits.
QString TexteCarte(qint16 carte);

class BornesPointage
{
public:
    // The current week from its Monday to today, and the first and last employees in card order.
    BornesPointage(qint32 aujourdhui, const Personnel& premier, const Personnel& dernier);

    qint32 dateDebut() const { return m_dateDebut; }
    qint32 dateFin() const { return m_dateFin; }
    Semaine semaineDebut() const { return m_semaineDebut; }
    Semaine semaineFin() const { return m_semaineFin; }
    const Personnel& employeDebut() const { return m_debut; }
    const Personnel& employeFin() const { return m_fin; }

    // A date picked: its week follows; an end before the start exchanges the two dates and their weeks.
    void choisirDateDebut(qint32 date);
    void choisirDateFin(qint32 date);
    // A week picked: an end week before the start week exchanges the two; then the dates run from the Monday
    // of the start week to the Sunday of the end week.
    void choisirSemaineDebut(const Semaine& semaine);
    void choisirSemaineFin(const Semaine& semaine);
    // An employee picked: an end card below the start card exchanges the two.
    void choisirEmployeDebut(const Personnel& employe);
    void choisirEmployeFin(const Personnel& employe);

    PlagePointage plage(Presence presence) const;

private:
    void ordonnerDates();
    void datesDesSemaines();
    void ordonnerCartes();

    qint32 m_dateDebut = 0;
    qint32 m_dateFin = 0;
    Semaine m_semaineDebut;
    Semaine m_semaineFin;
    Personnel m_debut;
    Personnel m_fin;
};

} // namespace kip
