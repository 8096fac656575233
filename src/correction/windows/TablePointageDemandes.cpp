// What the punch list asks: the attendance filter, the dates and weeks of its range through the pickers, and
// the employees at its ends; each change reads the list again.
#include "TablePointage.h"
#include "data/Messages.h"

namespace kip {

void TablePointage::choisirPresence(Presence presence)
{
    if (m_enAttente || m_ferme)
        return;
    m_presence = presence;
    relire();
}

void TablePointage::choisirDate(bool fin)
{
    if (m_enAttente || m_ferme)
        return;
    const std::optional<qint32> date = askDate(fin ? m_bornes->dateFin() : m_bornes->dateDebut(), this);
    if (!date)
        return;
    if (fin)
        m_bornes->choisirDateFin(*date);
    else
        m_bornes->choisirDateDebut(*date);
    relire();
}

void TablePointage::choisirSemaine(bool fin)
{
    if (m_enAttente || m_ferme)
        return;
    const std::optional<Semaine> s = askWeek(fin ? m_bornes->semaineFin() : m_bornes->semaineDebut(), this);
    if (!s)
        return;
    if (fin)
        m_bornes->choisirSemaineFin(*s);
    else
        m_bornes->choisirSemaineDebut(*s);
    relire();
}

void TablePointage::choisirEmploye(bool fin, const Personnel& employe)
{
    if (m_enAttente || m_ferme)
        return;
    if (fin)
        m_bornes->choisirEmployeFin(employe);
    else
        m_bornes->choisirEmployeDebut(employe);
    relire();
}

} // namespace kip
