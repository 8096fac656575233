// The save pass of the correction grid: run before the grid leaves a week or an employee, when it closes and
// on an explicit save. By the save mode it asks first ("Voulez vous sauvegarder ?" or "Sauvegarder avant de
// quitter ?"), then writes every changed day in one go. The texts of the grid's boxes are here too.
#pragma once

#include "GrilleSemaine.h"
#include "data/Database.h"

namespace kip {

enum class ModeSauvegarde
{
    Explicite, // "" : an explicit save, never asks
    Others,    // "others": asks before saving
    SaveManu,  // "savemanu": saves this pass without asking, then asks again
    SaveAuto,  // "saveauto": saves without asking until the window closes
    Cancel     // "cancel": the window closes, asks once
};

// The mode as the grid names it ("others", "savemanu", ...; "" for an explicit save).
QString texteMode(ModeSauvegarde mode);

struct IssuePasse
{
    enum Etat
    {
        RienAEcrire, // no day changed
        Enregistree, // every changed day written
        Abandonnee,  // the question answered No: nothing written, the edits are dropped
        Invalide,    // a changed day has a cell that is not a time, or two roll-overs: nothing written
        Echec,       // the store refused the write (its message was shown): nothing written, edits kept
        // A changed day's line was changed by another station or by a transfer since the grid loaded it: message
        // 15 "modifié par une autre station" was shown, nothing written, edits kept
        ModifieeAilleurs
    };
    Etat etat = RienAEcrire;
    int jour = -1; // Invalide: the day and the cell to go back to
    int colonne = -1;

    // The grid may go on to another week, employee, or close.
    bool peutContinuer() const { return etat == RienAEcrire || etat == Enregistree || etat == Abandonnee; }
};

// The question a mode asks before writing, and what its answer does: Yes, No or OK (MessageButton).
// Returns false when the answer stops the pass; mode then holds the mode after the answer.
bool repondre(ModeSauvegarde& mode, int bouton);
// Asks the mode's question through the message procedure, if it has one; false when the pass stops there.
bool demander(ModeSauvegarde& mode);

// One pass: asks by the mode when a day changed, checks the changed days, writes them in one transaction
// (message 15 naming POINTVAL when the store refuses, or saying that another station changed a line), and leaves the
// mode as it is after the pass ("savemanu" returns to "others").
IssuePasse passeSauvegarde(Database& db, const GrilleSemaine& grille, ModeSauvegarde& mode);

namespace texte {
extern const char* const TitreSauvegarde; // "Sauvegarde de la semaine"
extern const char* const AvantDeQuitter;  // "Sauvegarder avant de quitter ?"
extern const char* const VoulezVous;      // "Voulez vous sauvegarder ? ..."
extern const char* const TitreEffacement; // "Confirmer effacement"
extern const char* const Effacement;      // "Les pointages des lignes origine et programme ..."
extern const char* const TitreAide;       // "Aide sur cet écran"
extern const char* const Aide;            // the keys and the short forms of entry
extern const char* const SaisiesGardees;  // the status after a save refused for another station's change
} // namespace texte

} // namespace kip
