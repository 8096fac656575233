#include "CelluleHeure.h"

#include "calendar/HeureTexte.h"
#include "punch/CalculerTotal.h"

namespace kip {

CelluleLue LireCellule(QStringView texte)
{
    CelluleLue lu;
    if (texte.size() > LargeurCellule) {
        lu.etat = CelluleLue::CaractereInvalide;
        return lu;
    }
    for (const QChar c : texte) {
        if (c != u' ' && c != u'.' && !(c >= u'0' && c <= u'9')) {
            lu.etat = CelluleLue::CaractereInvalide;
            return lu;
        }
    }
    const QStringView nu = texte.trimmed();
    if (nu.isEmpty())
        return lu;
    // A blank inside the number ("1 2") reads as no number at all: 12 or 1.2 would be a guess.
    const HeureLue h = nu.contains(u' ') ? HeureLue{} : LireHeureTexte(nu);
    if (!h.valide || h.negatif || h.heures > 23 || h.decimales > 59) {
        lu.etat = CelluleLue::HeureInvalide;
        return lu;
    }
    lu.etat = CelluleLue::Valide;
    lu.minutes = h.heures * 60 + h.decimales;
    lu.texte = HeureTexte(lu.minutes);
    return lu;
}

QString TexteCellule(qint16 valeur)
{
    if (valeur >= 0 && valeur <= DerniereMinute)
        return HeureTexte(valeur);
    if (valeur >= MinutesJour && valeur <= DerniereMinuteStockee)
        return HeureTexte(valeur - MinutesJour);
    return {};
}

Chronologie ChronologieJour(const TextesJour& cellules)
{
    Chronologie c;
    c.valeurs.fill(PunchEmpty);
    bool passe = false;
    qint32 precedente = -1;
    for (int i = 0; i < CellulesJour; ++i) {
        const CelluleLue lu = LireCellule(cellules[size_t(i)]);
        if (lu.erreur()) {
            c.etat = Chronologie::CelluleInvalide;
            c.colonne = i;
            return c;
        }
        if (lu.etat == CelluleLue::Vide)
            continue;
        qint32 v = lu.minutes + (passe ? MinutesJour : 0);
        if (v <= precedente) {
            if (passe) {
                c.etat = Chronologie::SecondPassage;
                c.colonne = i;
                return c;
            }
            passe = true;
            v += MinutesJour;
        }
        c.valeurs[size_t(i)] = qint16(v);
        precedente = v;
    }
    // The stored values of a valid day: the pairs' total is the punch rules' own.
    PunchLine ligne;
    ligne.fill(PunchEmpty);
    std::copy(c.valeurs.begin(), c.valeurs.end(), ligne.begin());
    c.total = totalPaires(ligne);
    return c;
}

bool memesTextes(const TextesJour& a, const TextesJour& b)
{
    for (int i = 0; i < CellulesJour; ++i)
        if (a[size_t(i)].trimmed() != b[size_t(i)].trimmed())
            return false;
    return true;
}

} // namespace kip
