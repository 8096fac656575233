// The writes of the employee form, with their messages: the insert (message 24 naming the duplicated key,
// message 14 for any other error), the change through the employee update (message 16 to try again), the
// delete with its confirmation (messages 32 and 18), and the settings record that the list and the form read
// when they open.
#pragma once

#include "Echanges.h"
#include "data/Database.h"
#include "data/Employees.h"
#include "data/Records.h"

#include <functional>

namespace kip {

// Reads the settings record. An empty file reads as a cleared record; a read error shows message 35 with
// "PARAMETRE" and returns false.
bool lireParametre(Database& db, Parametre& parametre);

// Adds a new employee with its journal entry, in one transaction; on success rec holds its position. A
// duplicate key shows message 24 naming the first duplicated key (card, then name and first name, then
// matricule), any other error message 14; nothing is written then.
bool ajouterEmploye(Database& db, Personnel& rec);

// Whether the record differs from the one loaded, in any field.
bool differe(const Personnel& a, const Personnel& b);

enum class IssueModification
{
    Enregistree,      // written, with the day lines that followed the link fields
    Inchangee,        // nothing to write
    ModifieeAilleurs, // another station changed it: rec, copie and liens now hold the stored employee
    Abandonnee,       // message 16 answered No: leave the form without saving
    Gardee            // message 16 answered Cancel: stay in the form
};

// Writes a changed employee through the employee update; message 16 after a failure, and again for as long as
// the answer is Yes. attente(true) and attente(false) surround each attempt (the wait cursor).
[[nodiscard]] IssueModification modifierEmploye(Database& db, Personnel& rec, Personnel& copie, LinkValues& liens,
                                                const std::function<void(bool)>& attente = {});

// Asks message 32; on OK deletes the employee with its day lines, and asks message 18 after a failure for as
// long as the answer is Yes. Complete once deleted, else Annulee.
[[nodiscard]] Reponse supprimerEmploye(Database& db, const Personnel& rec,
                                       const std::function<void(bool)>& attente = {});

} // namespace kip
