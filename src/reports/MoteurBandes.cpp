// Bands, pages and the drawing inside a band.
#include "MoteurBandes.h"

#include <QStringList>
#include <cmath>

namespace kip {

MiseEnPage MiseEnPage::depuis(const QPageLayout& layout)
{
    MiseEnPage m;
    const QRectF papier = layout.fullRect(QPageLayout::Inch);
    if (papier.width() <= 0 || papier.height() <= 0)
        return m;
    m.largeurPapier = qint32(std::lround(papier.width() * 1000));
    m.hauteurPapier = qint32(std::lround(papier.height() * 1000));
    const QMarginsF marges = layout.margins(QPageLayout::Inch);
    m.margeHaut = std::max(MargeMinimale, qint32(std::lround(marges.top() * 1000)));
    m.margeBas = std::max(MargeMinimale, qint32(std::lround(marges.bottom() * 1000)));
    return m;
}

// --- Dessin -----------------------------------------------------------------------------------------------

qint32 Dessin::hauteurLigne(const PoliceRapport& police) const
{
    return qint32(std::ceil(m_pagination.mesures(police).height()));
}

double Dessin::largeurTexte(const QString& texte, const PoliceRapport& police) const
{
    return m_pagination.mesures(police).horizontalAdvance(texte);
}

void Dessin::texte(qint32 x, qint32 y, qint32 l, const QString& texte, const PoliceRapport& police,
                   Alignement alignement)
{
    QString t = texte;
    PoliceRapport p = police;
    if (alignement == Alignement::Gauche && m_pagination.mesures(p).horizontalAdvance(t) > l) {
        // A text too long for its box (a long name) is set smaller, down to three quarters of its size,
        // rather than cut; only beyond that is it cut at the box's edge.
        const qint16 plusPetite = qint16(police.dixiemesPoint * 3 / 4);
        while (p.dixiemesPoint > plusPetite && m_pagination.mesures(p).horizontalAdvance(t) > l)
            p.dixiemesPoint = qint16(p.dixiemesPoint - 2);
        while (!t.isEmpty() && m_pagination.mesures(p).horizontalAdvance(t) > l)
            t.chop(1);
    }
    // The line keeps its place: a smaller text sits on the same baseline as its neighbours.
    const qreal descente = m_pagination.mesures(police).ascent() - m_pagination.mesures(p).ascent();
    m_page.texte(m_gauche + x, m_haut + y + qint32(descente), l, hauteurLigne(p), t, p, alignement);
}

void Dessin::texteCadre(qint32 x, qint32 y, qint32 l, qint32 h, const QString& texte, const PoliceRapport& police,
                        qint32 pas)
{
    const QFontMetricsF& m = m_pagination.mesures(police);
    const qint32 hauteur = hauteurLigne(police);
    if (pas <= 0)
        pas = hauteur;
    QStringList lignes;
    QString courante;
    for (const QString& mot : texte.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString essai = courante.isEmpty() ? mot : courante + QLatin1Char(' ') + mot;
        if (courante.isEmpty() || m.horizontalAdvance(essai) <= l) {
            courante = essai;
        } else {
            lignes << courante;
            courante = mot;
        }
    }
    if (!courante.isEmpty())
        lignes << courante;
    qint32 haut = y;
    for (const QString& ligne : lignes) {
        if (haut + std::min(pas, hauteur) > y + h)
            break;
        this->texte(x, haut, l, ligne, police);
        haut += pas;
    }
}

void Dessin::ligne(qint32 x1, qint32 y1, qint32 x2, qint32 y2, quint8 epaisseur)
{
    m_page.ligne(m_gauche + x1, m_haut + y1, m_gauche + x2, m_haut + y2, epaisseur);
}

void Dessin::cadre(qint32 x, qint32 y, qint32 l, qint32 h, quint8 epaisseur)
{
    m_page.cadre(m_gauche + x, m_haut + y, l, h, epaisseur);
}

void Dessin::caseACocher(qint32 x, qint32 y, bool coche, const QString& legende, const PoliceRapport& police)
{
    const qint32 hauteur = hauteurLigne(police);
    const qint32 cote = hauteur * 3 / 4;
    m_page.caseACocher(m_gauche + x, m_haut + y + (hauteur - cote) / 2, cote, coche, Trait);
    if (!legende.isEmpty()) {
        const qint32 debut = x + cote + cote / 2;
        texte(debut, y, qint32(std::ceil(largeurTexte(legende, police))) + 1, legende, police);
    }
}

// --- Pagination -------------------------------------------------------------------------------------------

Pagination::Pagination(const MiseEnPage& mise, ImagesPages& sortie) : m_mise(mise), m_sortie(sortie) {}

Pagination::~Pagination() = default;

const QFontMetricsF& Pagination::mesures(const PoliceRapport& police)
{
    for (const auto& [p, m] : m_mesures)
        if (p == police)
            return *m;
    m_mesures.emplace_back(police, std::make_unique<QFontMetricsF>(policeQt(police)));
    return *m_mesures.back().second;
}

void Pagination::enTetePage(qint32 hauteur, Dessinateur dessiner)
{
    m_hauteurEnTete = hauteur;
    m_enTete = std::move(dessiner);
}

void Pagination::piedPage(qint32 hauteur, std::function<void(Dessin&, int)> dessiner)
{
    m_hauteurPied = hauteur;
    m_pied = std::move(dessiner);
}

void Pagination::ouvrirPage()
{
    m_page.emplace(m_mise.largeurPapier, m_mise.hauteurPapier);
    ++m_numero;
    m_y = m_mise.margeHaut;
    m_sautDemande = false;
    if (m_enTete && m_hauteurEnTete > 0) {
        Dessin d(*this, *m_page, m_mise.gauche(), m_y);
        m_enTete(d);
        m_y += m_hauteurEnTete;
    }
    if (m_suiteEnTete)
        m_suiteEnTete();
    m_debutContenu = m_y;
}

void Pagination::fermerPage()
{
    if (!m_page)
        return;
    if (m_pied && m_hauteurPied > 0) {
        Dessin d(*this, *m_page, m_mise.gauche(), limite());
        m_pied(d, m_numero);
    }
    if (!m_sortie.ajouter(*m_page))
        m_erreur = true;
    m_page.reset();
}

void Pagination::bande(qint32 hauteur, const Dessinateur& dessiner)
{
    // A band taller than a whole page still goes on a page of its own rather than on no page at all.
    const bool pageVierge = m_page && m_y == m_debutContenu;
    if (m_page && (m_sautDemande || (m_y + hauteur > limite() && !pageVierge)))
        fermerPage();
    if (!m_page)
        ouvrirPage();
    Dessin d(*this, *m_page, m_mise.gauche(), m_y);
    dessiner(d);
    m_y += hauteur;
}

void Pagination::garderEnsemble(qint32 hauteur)
{
    const bool pageVierge = m_page && m_y == m_debutContenu;
    if (m_page && !pageVierge && m_y + hauteur > limite())
        m_sautDemande = true;
}

bool Pagination::terminer()
{
    fermerPage();
    return !m_erreur;
}

} // namespace kip
