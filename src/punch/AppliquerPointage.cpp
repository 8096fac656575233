#include "AppliquerPointage.h"

#include "CalculerProgramme.h"
#include "CalculerTotal.h"
#include "InsererPointage.h"
#include "PreparerJournee.h"

namespace kip {

bool JourneesEnMain::lire(qint16 carte, qint32 date, PointVal& out)
{
    JourneeEnMain& e = ligne(carte, date);
    if (e.existe)
        out = e.ligne;
    return e.existe;
}

void JourneesEnMemoire::oublierAvant(qint32 date)
{
    for (auto it = m_lignes.begin(); it != m_lignes.end();)
        it = it->first.second < date ? m_lignes.erase(it) : std::next(it);
}

namespace {

bool contient(const JourneeEnMain& e, int valeur)
{
    if (!e.existe)
        return false;
    for (int i = 0; i < PunchSlotsUsed; ++i)
        if (e.ligne.POINTAGE_ORIGINE[size_t(i)] == valeur)
            return true;
    return false;
}

} // namespace

ResultatPointage AppliquerPointage(Personnel& employe, qint32 date, int minute, quint8 terminal, JourneesEnMain& lignes)
{
    // A punch already on its own date's line, or on the day before's as minute + 1440, is stored: read again,
    // it never lands twice, whatever the day choice would now say.
    JourneeEnMain& duJour = lignes.ligne(employe.CARTE, date);
    JourneeEnMain& veille = lignes.ligne(employe.CARTE, date - 1);
    if (contient(duJour, minute) || contient(veille, minute + MinutesJour))
        return {IssuePointage::Doublon, date};
    const ChoixJournee choix = ChoisirJournee(employe, date, minute, lignes);
    // Inactivity first: a date that opens a period of inactivity is rejected as such, not as hiring.
    if (enPeriodeInactivite(employe, choix.date))
        return {IssuePointage::Inactivite, choix.date};
    if (estInactif(employe, choix.date))
        return {IssuePointage::NonEmbauche, choix.date};
    JourneeEnMain& cible = choix.veille ? veille : duJour;
    const LigneJournee etat = cible.existe ? LigneJournee::Existante : LigneJournee::Nouvelle;
    if (!cible.existe)
        cible.ligne = ligneVide(employe, choix.date);
    const PointVal avant = cible.ligne;
    if (InsererPointage(cible.ligne, etat, choix.valeur, terminal) != ResultatInsertion::Insere)
        return {IssuePointage::Doublon, choix.date};
    if (cible.existe && cible.ligne.POINTAGE_ORIGINE == avant.POINTAGE_ORIGINE &&
        cible.ligne.TERMINAL == avant.TERMINAL) {
        cible.ligne = avant;
        return {IssuePointage::Ecarte, choix.date};
    }
    cible.existe = true;
    cible.ligne.INACTIF = 0;
    CalculerProgramme(cible.ligne, employe);
    CalculerTotal(cible.ligne);
    cible.modifiee = true;
    // The employee's punch dates are those of the punch's own calendar date.
    if (employe.PREMIER_POINTAGE == 0 || employe.PREMIER_POINTAGE > date)
        employe.PREMIER_POINTAGE = date;
    if (employe.DERNIER_POINTAGE == 0 || employe.DERNIER_POINTAGE < date)
        employe.DERNIER_POINTAGE = date;
    return {IssuePointage::Fusionne, choix.date};
}

} // namespace kip
