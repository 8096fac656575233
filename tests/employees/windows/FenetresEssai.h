// The installation of the window tests (InstallationFenetres.h) for the employee list and form, both
// registered as Kip and kipother register them.
#pragma once

#include "InstallationFenetres.h"
#include "employees/windows/FenetresPersonnel.h"
#include "employees/windows/SaisiePersonnel.h"
#include "employees/windows/TablePersonnel.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <QSignalSpy>

struct Installation : InstallationFenetres
{
    void preparer() { InstallationFenetres::preparer(kip::enregistrerFenetresPersonnel); }
    bool vider()
    {
        kip::oublierOrdre();
        return essai::Installation::vider();
    }
    kip::TablePersonnel* ouvrirListe(kip::Cadre& cadre)
    {
        return ouvrir<kip::TablePersonnel>(kip::nom::TablePersonnel, cadre);
    }
    static kip::SaisiePersonnel* formulaire(kip::Cadre& cadre) { return ouverte<kip::SaisiePersonnel>(cadre); }
};
