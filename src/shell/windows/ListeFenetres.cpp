// The open-window list.
#include "ListeFenetres.h"

namespace kip {

namespace {
constexpr int NumeroMax = 255; // the number is a byte, as the thread number it stands for
constexpr int LongueurNom = 20;
} // namespace

int ListeFenetres::numeroLibre()
{
    // Numbers go round so that a long session never runs out; a number still in use is skipped.
    for (int essai = 0; essai < NumeroMax; ++essai) {
        m_dernierNumero = m_dernierNumero % NumeroMax + 1;
        bool pris = false;
        for (const EntreeFenetre& e : m_entrees)
            pris = pris || e.THREADFENETREACTIVE == m_dernierNumero;
        if (!pris)
            return m_dernierNumero;
    }
    return 0;
}

int ListeFenetres::ajouter(QWidget* fenetre, const QString& nom)
{
    EntreeFenetre entree;
    entree.THREADFENETREACTIVE = numeroLibre();
    entree.NOMFENETREACTIVE = nom.left(LongueurNom);
    entree.fenetre = fenetre;
    m_entrees.append(entree);
    THREADFENETREACTIVE = entree.THREADFENETREACTIVE;
    NOMFENETREACTIVE = entree.NOMFENETREACTIVE;
    return entree.THREADFENETREACTIVE;
}

void ListeFenetres::reprendre(const EntreeFenetre& entree)
{
    m_entrees.append(entree);
}

bool ListeFenetres::retirer(const QWidget* fenetre)
{
    const int i = indexDe(fenetre);
    if (i < 0)
        return false;
    m_entrees.removeAt(i);
    // A window destroyed without unregistering would otherwise keep an entry for ever.
    m_entrees.removeIf([](const EntreeFenetre& e) { return e.fenetre.isNull(); });
    return true;
}

bool ListeFenetres::lireDernier()
{
    if (m_entrees.isEmpty()) {
        THREADFENETREACTIVE = 0;
        NOMFENETREACTIVE.clear();
        return false;
    }
    THREADFENETREACTIVE = m_entrees.last().THREADFENETREACTIVE;
    NOMFENETREACTIVE = m_entrees.last().NOMFENETREACTIVE;
    return true;
}

void ListeFenetres::vider()
{
    m_entrees.clear();
    THREADFENETREACTIVE = 0;
    NOMFENETREACTIVE.clear();
}

int ListeFenetres::indexDe(const QWidget* fenetre) const
{
    // A window deleted without unregistering leaves a null pointer behind: identity by address still
    // finds nothing for it, and the entry is never mistaken for another window's.
    for (int i = 0; i < m_entrees.size(); ++i)
        if (fenetre && m_entrees[i].fenetre.data() == fenetre)
            return i;
    return -1;
}

QWidget* ListeFenetres::fenetreActive() const
{
    for (const EntreeFenetre& e : m_entrees)
        if (e.THREADFENETREACTIVE == THREADFENETREACTIVE)
            return e.fenetre.data();
    return nullptr;
}

} // namespace kip
