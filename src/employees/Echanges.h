// What a list hands to the form or grid that it opens, and what it gets back: the process-wide request code
// set before the call (insert, change, delete), the response the callee leaves (completed, cancelled), and
// the record in hand: the employee for the employee form, the card and date of a day line for the correction
// grid. The employee list and form use them; the punch list and the correction grid share the same codes.
#pragma once

#include "data/Records.h"

namespace kip {

enum class Requete : int
{
    Aucune = 0,
    Insertion = 1,
    Modification = 2,
    Suppression = 3
};

enum class Reponse : int
{
    Aucune = 0,
    Complete = 1,
    Annulee = 2
};

Requete requete();
void setRequete(Requete r);
[[nodiscard]] Reponse reponse();
void setReponse(Reponse r);

// The employee in hand: left by the list before a change or a delete, left by the form with the employee
// as stored after a completed insert or change.
Personnel employeEnCours();
void setEmployeEnCours(const Personnel& employe);

// The day line in hand: the card and the date of the punch list's line, left before it opens the correction
// grid (request change) or asks it to clear the line (request delete).
struct JourneeEnCours
{
    qint16 carte = 0;
    qint32 date = 0;
};
JourneeEnCours journeeEnCours();
void setJourneeEnCours(qint16 carte, qint32 date);

} // namespace kip
