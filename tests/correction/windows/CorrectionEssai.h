// The installation of the window tests (InstallationFenetres.h) for the punch list and the correction grid:
// both windows registered as Kip and kipother register them, and the grid opened on a card and date.
#pragma once

#include "InstallationFenetres.h"
#include "correction/windows/CorrectionPointage.h"
#include "correction/windows/FenetresCorrection.h"
#include "correction/windows/TablePointage.h"
#include "employees/Echanges.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <functional>

// Kip's frame, shown at the size of an operator's screen. (Its place is InstallationFenetres.h, beside the
// other window helpers.)
struct CadreEssai : kip::Cadre
{
    explicit CadreEssai(
        std::function<void()> arret = [] {}, kip::Program programme = kip::Program::Kip)
        : Cadre(programme, 0, std::move(arret))
    {
        resize(1200, 800);
        show();
    }
};

struct InstallationCorrection : InstallationFenetres
{
    void preparer() { InstallationFenetres::preparer(kip::enregistrerFenetresCorrection); }
    bool vider()
    {
        kip::oublierOrdrePointage();
        return Installation::vider();
    }

    static kip::Personnel employe(qint16 carte, const QString& nom, int nombre = 4,
                                  const QString& arrondi = QStringLiteral("000"))
    {
        kip::Personnel p = Installation::employe(carte, nom, QStringLiteral("Léa"));
        p.NOMBRE = quint8(nombre);
        p.ARRONDI_SEMAINE = arrondi;
        return p;
    }

    // The grid on a card and date, as the punch list opens it.
    kip::CorrectionPointage* ouvrirGrille(kip::Cadre& cadre, qint16 carte, qint32 date)
    {
        kip::setRequete(kip::Requete::Modification);
        kip::setJourneeEnCours(carte, date);
        return ouvrir<kip::CorrectionPointage>(kip::nom::CorrectionPointage, cadre);
    }
    static kip::CorrectionPointage* grille(kip::Cadre& cadre) { return ouverte<kip::CorrectionPointage>(cadre); }
};
