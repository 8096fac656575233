#include "BornesPointage.h"

#include "data/Cp1252.h"

#include <utility>

namespace kip {

namespace {

constexpr int LongueurTexteEmploye = 41;

bool avant(const Semaine& a, const Semaine& b)
{
    return a.annee < b.annee || (a.annee == b.annee && a.numero < b.numero);
}

} // namespace

QString TexteSemaine(const Semaine& semaine)
{
    return QStringLiteral("Sem.: %1/%2").arg(semaine.numero).arg(semaine.annee);
}

QString TexteCarte(qint16 carte)
{
    return QStringLiteral("%1").arg(int(carte), 4, 10, QLatin1Char('0'));
}

QString TexteEmployeListe(const Personnel& e)
{
    return (TexteCarte(e.CARTE) + u' ' + clipField(e.NOM, 20) + u' ' + clipField(e.PRENOM, 15))
        .left(LongueurTexteEmploye);
}

QString TexteEmployeGrille(const Personnel& e)
{
    return (clipField(e.NOM, 20) + u' ' + clipField(e.PRENOM, 15) + u' ' + TexteCarte(e.CARTE))
        .left(LongueurTexteEmploye);
}

BornesPointage::BornesPointage(qint32 aujourdhui, const Personnel& premier, const Personnel& dernier)
    : m_dateDebut(LundiDimanche(aujourdhui).lundi), m_dateFin(aujourdhui), m_debut(premier), m_fin(dernier)
{
    m_semaineDebut = m_semaineFin = NumeroSemaine(m_dateDebut);
    ordonnerCartes();
}

void BornesPointage::ordonnerDates()
{
    if (m_dateFin >= m_dateDebut)
        return;
    std::swap(m_dateDebut, m_dateFin);
    std::swap(m_semaineDebut, m_semaineFin);
}

void BornesPointage::choisirDateDebut(qint32 date)
{
    m_dateDebut = date;
    m_semaineDebut = NumeroSemaine(date);
    ordonnerDates();
}

void BornesPointage::choisirDateFin(qint32 date)
{
    m_dateFin = date;
    m_semaineFin = NumeroSemaine(date);
    ordonnerDates();
}

void BornesPointage::datesDesSemaines()
{
    if (avant(m_semaineFin, m_semaineDebut))
        std::swap(m_semaineDebut, m_semaineFin);
    m_dateDebut = DatesDeSemaine(m_semaineDebut.numero, m_semaineDebut.annee).lundi;
    m_dateFin = DatesDeSemaine(m_semaineFin.numero, m_semaineFin.annee).dimanche;
}

void BornesPointage::choisirSemaineDebut(const Semaine& semaine)
{
    m_semaineDebut = semaine;
    datesDesSemaines();
}

void BornesPointage::choisirSemaineFin(const Semaine& semaine)
{
    m_semaineFin = semaine;
    datesDesSemaines();
}

void BornesPointage::ordonnerCartes()
{
    if (m_fin.CARTE < m_debut.CARTE)
        std::swap(m_debut, m_fin);
}

void BornesPointage::choisirEmployeDebut(const Personnel& employe)
{
    m_debut = employe;
    ordonnerCartes();
}

void BornesPointage::choisirEmployeFin(const Personnel& employe)
{
    m_fin = employe;
    ordonnerCartes();
}

PlagePointage BornesPointage::plage(Presence presence) const
{
    PlagePointage p;
    p.dateDebut = m_dateDebut;
    p.dateFin = m_dateFin;
    p.carteDebut = m_debut.CARTE;
    p.carteFin = m_fin.CARTE;
    p.presence = presence;
    return p;
}

} // namespace kip
