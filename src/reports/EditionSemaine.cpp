// The weekly reports: preparing each day line and its totals, and their bands.
#include "EditionSemaine.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"

namespace kip {

namespace {

constexpr qint32 HauteurDetail = 167;
constexpr qint32 HauteurPiedSemaine = 290;

void dessinerDetail(Dessin& d, const LigneSemaine& l)
{
    d.texte(0, 0, 560, l.jour);
    d.texte(573, 0, 760, DateTexte(l.DATE));
    for (size_t i = 0; i < ColonnesPointages.size(); ++i)
        d.texte(ColonnesPointages[i], 0, LargeurPointage, l.pointages[i].trimmed(), polices::Normale,
                Alignement::Droite);
    d.texte(7031, 0, BordTotaux - 7031, l.totalJour.trimmed(), polices::Normale, Alignement::Droite);
}

void dessinerPiedSemaine(Dessin& d, const LigneSemaine& l, bool centiemes)
{
    constexpr qint32 Texte = 70;
    d.ligne(0, 20, MiseEnPage::LargeurImprimable, 20);
    d.texte(0, Texte, 560, QStringLiteral("Semaine:"), polices::Grasse);
    d.texte(573, Texte, 220, QStringLiteral("%1").arg(l.NUM_SEMAINE, 2, 10, QLatin1Char('0')), polices::Grasse);
    d.texte(802, Texte, 80, QStringLiteral("/"), polices::Grasse);
    d.texte(885, Texte, 400, QStringLiteral("%1").arg(l.NUM_ANNEE, 4, 10, QLatin1Char('0')), polices::Grasse);
    d.texte(1302, Texte, 1400, QStringLiteral("Total normal de la semaine:"));
    d.texte(2708, Texte, 600, texteTotal(l.totalNormal, centiemes).trimmed(), polices::Grasse, Alignement::Droite);
    d.texte(3385, Texte, 2150, l.texteArrondi);
    d.texte(5573, Texte, 1400, QStringLiteral("Total arrondi de la semaine:"));
    d.texte(6979, Texte, BordTotaux - 6979, texteTotal(l.totalArrondi, centiemes).trimmed(), polices::Grasse,
            Alignement::Droite);
    d.ligne(0, 250, MiseEnPage::LargeurImprimable, 250);
}

} // namespace

RapportSemaines::RapportSemaines(Genre genre) : m_genre(genre) {}

RapportSemaines::~RapportSemaines() = default;

void RapportSemaines::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    m_bandes = bandesRapport<LigneSemaine>(contexte);
    m_cumul.emplace(contexte.db);
    construireBandes();
}

void RapportSemaines::construireBandes()
{
    const bool centiemes = m_contexte->parametres.centiemes;

    using Groupe = RapportBandes<LigneSemaine>::Groupe;
    Groupe employe;
    employe.meme = [](const LigneSemaine& a, const LigneSemaine& b) { return a.CARTE == b.CARTE; };
    employe.entete = {HauteurEnTeteEmploye,
                      [](Dessin& d, const LigneSemaine& l) { dessinerEnTeteEmploye(d, identite(l)); }};
    employe.pied = {HauteurPiedEmploye, [centiemes](Dessin& d, const LigneSemaine& l) {
                        dessinerPiedEmploye(d, identite(l), texteTotal(l.totalEmploye, centiemes).trimmed());
                    }};
    employe.sautDePageApresPied = m_genre == Genre::PageParEmploye;
    m_bandes->ajouterGroupe(std::move(employe));

    Groupe annee;
    annee.meme = [](const LigneSemaine& a, const LigneSemaine& b) { return a.NUM_ANNEE == b.NUM_ANNEE; };
    m_bandes->ajouterGroupe(std::move(annee));

    Groupe semaine;
    semaine.meme = [](const LigneSemaine& a, const LigneSemaine& b) { return a.NUM_SEMAINE == b.NUM_SEMAINE; };
    semaine.pied = {HauteurPiedSemaine,
                    [centiemes](Dessin& d, const LigneSemaine& l) { dessinerPiedSemaine(d, l, centiemes); }};
    m_bandes->ajouterGroupe(std::move(semaine));

    Groupe jour;
    jour.meme = [](const LigneSemaine& a, const LigneSemaine& b) { return a.DATE == b.DATE; };
    m_bandes->ajouterGroupe(std::move(jour));

    if (m_genre != Genre::Totaux)
        m_bandes->detail({HauteurDetail, dessinerDetail});
}

void RapportSemaines::journee(const PointVal& pov)
{
    const bool centiemes = m_contexte->parametres.centiemes;
    LigneSemaine l;
    remplirEmployeDate(l, pov);
    l.NUM_SEMAINE = pov.NUM_SEMAINE;
    l.NUM_ANNEE = pov.NUM_ANNEE;
    if (m_genre != Genre::Totaux) {
        l.jour = NomJour(pov.DATE);
        for (int i = 0; i < PunchSlotsUsed; ++i)
            l.pointages[size_t(i)] = textePointage(pov.POINTAGE_UTILISATEUR[size_t(i)], centiemes);
        l.totalJour = HeureTexte(pov.TOTAL, centiemes);
    }
    // The week and employee totals, as the export of the week totals computes them.
    m_cumul->ajouter(pov);
    const TotauxSemainesEmploye& employe = m_cumul->employe();
    l.texteArrondi = employe.texteArrondi;
    l.totalNormal = m_cumul->semaine().totalNormal;
    l.totalArrondi = m_cumul->semaine().totalArrondi;
    l.totalEmploye = employe.total;
    if (observateur)
        observateur(l);
    m_bandes->imprimer(l);
}

bool RapportSemaines::fermer()
{
    return m_bandes ? m_bandes->terminer() : m_contexte->pagination.terminer();
}

std::unique_ptr<Edition> EditionSemainePage()
{
    return std::make_unique<RapportSemaines>(RapportSemaines::Genre::PageParEmploye);
}

std::unique_ptr<Edition> EditionSemaine()
{
    return std::make_unique<RapportSemaines>(RapportSemaines::Genre::Continu);
}

std::unique_ptr<Edition> EditionTotauxSemaine()
{
    return std::make_unique<RapportSemaines>(RapportSemaines::Genre::Totaux);
}

} // namespace kip
