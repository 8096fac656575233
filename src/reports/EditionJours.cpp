// The daily punch reports: preparing each day line, and their bands.
#include "EditionJours.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"

namespace kip {

namespace {

constexpr qint32 EcartLignes = 104; // the user row under the origin row
constexpr qint32 HauteurDetail = EcartLignes + 190;

void dessinerDetail(Dessin& d, const LigneJours& l)
{
    d.texte(0, 0, 560, l.jour);
    d.texte(573, 0, 760, DateTexte(l.DATE));
    for (size_t i = 0; i < ColonnesPointages.size(); ++i) {
        d.texte(ColonnesPointages[i], 0, LargeurPointage, l.origine[i].trimmed(), polices::Normale, Alignement::Droite);
        d.texte(ColonnesPointages[i], EcartLignes, LargeurPointage, l.utilisateur[i].trimmed(), polices::Normale,
                Alignement::Droite);
    }
    d.texte(7031, EcartLignes, BordTotaux - 7031, l.totalJour.trimmed(), polices::Normale, Alignement::Droite);
}

} // namespace

RapportJours::~RapportJours() = default;

void RapportJours::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    m_bandes = bandesRapport<LigneJours>(contexte);
    construireBandes();
}

void RapportJours::construireBandes()
{
    const bool centiemes = m_contexte->parametres.centiemes;

    using Groupe = RapportBandes<LigneJours>::Groupe;
    // The continuous report runs over any period: its employee total takes ten positions.
    const bool totalLong = m_genre == Genre::Continu;
    const int positions = totalLong ? PositionsTotalLong : PositionsTotal;
    Groupe employe;
    employe.meme = [](const LigneJours& a, const LigneJours& b) { return a.CARTE == b.CARTE; };
    employe.entete = {HauteurEnTeteEmploye,
                      [](Dessin& d, const LigneJours& l) { dessinerEnTeteEmploye(d, identite(l)); }};
    employe.pied = {HauteurPiedEmploye, [centiemes, positions, totalLong](Dessin& d, const LigneJours& l) {
                        dessinerPiedEmploye(d, identite(l), texteTotal(l.totalEmploye, centiemes, positions).trimmed(),
                                            totalLong);
                    }};
    employe.sautDePageApresPied = m_genre == Genre::PageParEmploye;
    // An employee's days run over several pages in a long period: each page names whose days they are.
    employe.repeterEnTete = true;
    m_bandes->ajouterGroupe(std::move(employe));

    Groupe jour;
    jour.meme = [](const LigneJours& a, const LigneJours& b) { return a.DATE == b.DATE; };
    m_bandes->ajouterGroupe(std::move(jour));

    m_bandes->detail({HauteurDetail, dessinerDetail});
}

void RapportJours::journee(const PointVal& pov)
{
    const bool centiemes = m_contexte->parametres.centiemes;
    LigneJours l;
    remplirEmployeDate(l, pov);
    l.jour = NomJour(pov.DATE);
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        l.origine[size_t(i)] = textePointage(pov.POINTAGE_ORIGINE[size_t(i)], centiemes);
        l.utilisateur[size_t(i)] = textePointage(pov.POINTAGE_UTILISATEUR[size_t(i)], centiemes);
    }
    l.totalJour = HeureTexte(pov.TOTAL, centiemes);
    // The employee total restarts at each change of card, as the period totals count it.
    m_cumul.ajouter(pov);
    l.totalEmploye = m_cumul.employe().total;
    if (observateur)
        observateur(l);
    m_bandes->imprimer(l);
}

bool RapportJours::fermer()
{
    return m_bandes ? m_bandes->terminer() : m_contexte->pagination.terminer();
}

std::unique_ptr<Edition> EditionJoursPage()
{
    return std::make_unique<RapportJours>(RapportJours::Genre::PageParEmploye);
}

std::unique_ptr<Edition> EditionJours()
{
    return std::make_unique<RapportJours>(RapportJours::Genre::Continu);
}

} // namespace kip
