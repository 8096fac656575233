// The settings record as the settings form reads and saves it: insert mode on an empty PARAMETRE (the record
// takes every default), change mode otherwise (written back only when it differs from the record as read,
// with the other-workstation check).
#pragma once

#include "data/Database.h"
#include "data/Records.h"

namespace kip {

// PARAMETRE as the form creates it in an empty file.
Parametre ParametreParDefaut();

struct SaisieParametres
{
    Parametre enregistrement; // the values on the form
    Parametre lu;             // the record as read, in change mode
    bool insertion = true;    // PARAMETRE held no record

    bool modifie() const;
};

// Reads the first record: change mode, or insert mode with the defaults when the file holds none. An error
// other than an empty file is returned (the form then reports it and stays in insert mode).
FileError LireParametres(Database& db, SaisieParametres& saisie);

enum class ResultatParametres
{
    Enregistre,     // saved, or nothing to save: the form closes
    Echec,          // not saved; the message was shown (14 in insert mode, 15 in change mode)
    ModifieAilleurs // another station wrote first: its values are now on the form (message 15 shown)
};

// Saves the form's record: an add in insert mode, a write-back in change mode when it differs from the
// record as read. After a save the record as read is the record saved.
[[nodiscard]] ResultatParametres EnregistrerParametres(Database& db, SaisieParametres& saisie);

} // namespace kip
