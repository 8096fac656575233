// What a list hands to the form or grid that it opens, and what it gets back: the process-wide request code
// set before the call (insert, change, delete), the response the callee leaves (completed, cancelled), and
// the record in hand. The employee list and form use them; the punch list and the correction grid share the
// same codes.
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
Reponse reponse();
void setReponse(Reponse r);

// The employee in hand: left by the list before a change or a delete, left by the form with the employee
// as stored after a completed insert or change.
Personnel employeEnCours();
void setEmployeEnCours(const Personnel& employe);

} // namespace kip
