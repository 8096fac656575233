#include "CalendrierAnnee.h"

namespace kip {

CalendrierAnnee::CalendrierAnnee(int annee) : m_annee(annee)
{
    const SemainesAnnee semaines = SemainesDeLAnneeParAn(annee);
    m_premiere = semaines.premiere;
    m_derniere = semaines.derniere;
    for (int w = m_premiere; w <= m_derniere; ++w) {
        const LundiEtDimanche dates = DatesDeSemaine(w, annee);
        CAL_LUNDI[w] = dates.lundi;
        CAL_DIMANCHE[w] = dates.dimanche;
        // The month of the Thursday, which holds four of the week's seven days.
        CAL_MOIS[w] = quint8(w == 1 ? 1 : calendarDate(dates.lundi + 3).month());
    }
}

LignesMois CalendrierAnnee::lignes(int mois) const
{
    LignesMois l;
    for (int w = m_premiere; w <= m_derniere && l.nombre < LignesSemaines; ++w) {
        if (CAL_MOIS[w] > mois)
            break;
        if (CAL_MOIS[w] != mois)
            continue;
        const int i = l.nombre++;
        l.semaine[i] = quint8(w);
        l.CODE_AFFICHE[i] = QString::number(w);
        l.LUNDI_DEBUT[i] = DateTexte(CAL_LUNDI[w]);
        l.DIMANCHE_FIN[i] = DateTexte(CAL_DIMANCHE[w]);
    }
    return l;
}

QString CalendrierAnnee::titre(int semaine) const
{
    if (!contient(semaine))
        return QString();
    return QStringLiteral("%1-%2 du %3 au %4")
        .arg(semaine)
        .arg(m_annee)
        .arg(DateTexte(CAL_LUNDI[semaine]), DateTexte(CAL_DIMANCHE[semaine]));
}

Semaine SemaineDOuverture(Semaine entree)
{
    if (entree.annee >= PremiereAnneeCalendrier && entree.annee <= DerniereAnneeCalendrier && entree.numero >= 1 &&
        entree.numero <= SemainesDeLAnneeParAn(entree.annee).derniere)
        return entree;
    return NumeroSemaine(Clock::today());
}

std::array<quint8, CellulesJours> CellulesDuMois(int mois, int annee)
{
    std::array<quint8, CellulesJours> cellules{};
    const int jours = JoursDuMois(mois, annee);
    if (jours == 0)
        return cellules;
    // Column of the 1st, Monday first: Sunday (0) goes to the seventh column.
    const int colonne = (jourSemaine(dayNumber(annee, mois, 1)) + 6) % 7;
    for (int j = 1; j <= jours; ++j)
        cellules[colonne + j - 1] = quint8(j);
    return cellules;
}

QString TitreMois(int mois, int annee)
{
    return NomMois(mois) + u' ' + QString::number(annee);
}

} // namespace kip
