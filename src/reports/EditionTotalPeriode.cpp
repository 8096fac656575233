// The period totals report: its lines and its bands.
#include "EditionTotalPeriode.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"

namespace kip {

namespace {

constexpr qint32 HauteurLigneEmploye = 190;
constexpr qint32 HauteurTotalGeneral = 365;
constexpr qint32 ColonneTotal = 6719; // ten positions and two decimals

} // namespace

RapportTotalPeriode::RapportTotalPeriode() = default;

RapportTotalPeriode::~RapportTotalPeriode() = default;

void RapportTotalPeriode::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    m_lignesComptees = contexte.lignesComptees;
    m_bandes = bandesRapport<LigneTotalPeriode>(contexte);
    construireBandes();
}

void RapportTotalPeriode::construireBandes()
{
    const ParametresEdition& p = m_contexte->parametres;
    const bool centiemes = p.centiemes;

    // The employee's line is the footer of its group: it shows the total after the employee's last line.
    using Groupe = RapportBandes<LigneTotalPeriode>::Groupe;
    Groupe employe;
    employe.meme = [](const LigneTotalPeriode& a, const LigneTotalPeriode& b) { return a.CARTE == b.CARTE; };
    const qint32 debut = p.dateDebut;
    const qint32 fin = p.dateFin;
    employe.pied = {HauteurLigneEmploye, [debut, fin, centiemes](Dessin& d, const LigneTotalPeriode& l) {
                        constexpr qint32 Y = 20;
                        d.texte(0, Y, 400, texteCarte(l.CARTE));
                        d.texte(417, Y, 1771 - 417 - 40, l.NOM);
                        d.texte(1771, Y, 2917 - 1771 - 40, l.PRENOM);
                        d.texte(2917, Y, 3750 - 2917 - 40, l.MATRICULE);
                        d.texte(3750, Y, 200, QStringLiteral("Du"));
                        d.texte(3958, Y, 560, NomJour(debut));
                        d.texte(4531, Y, 660, DateTexte(debut));
                        d.texte(5208, Y, 200, QStringLiteral("au"));
                        d.texte(5417, Y, 560, NomJour(fin));
                        d.texte(5990, Y, ColonneTotal - 5990, DateTexte(fin));
                        d.texte(ColonneTotal, Y, BordTotaux - ColonneTotal,
                                texteTotal(l.totalEmploye, centiemes, PositionsTotalLong).trimmed(), polices::Grasse,
                                Alignement::Droite);
                    }};
    m_bandes->ajouterGroupe(std::move(employe));

    Groupe jour;
    jour.meme = [](const LigneTotalPeriode& a, const LigneTotalPeriode& b) { return a.DATE == b.DATE; };
    m_bandes->ajouterGroupe(std::move(jour));

    m_totalGeneral = {HauteurTotalGeneral, [centiemes](Dessin& d, const LigneTotalPeriode& l) {
                          constexpr qint32 Haut = 52;
                          constexpr qint32 Texte = Haut + 66;
                          d.cadre(0, Haut, MiseEnPage::LargeurImprimable, 260);
                          d.texte(5365, Texte, ColonneTotal - 5365, QStringLiteral("Total général de l'édition:"));
                          d.texte(ColonneTotal, Texte, BordTotaux - ColonneTotal,
                                  texteTotal(l.totalGeneral, centiemes, PositionsTotalLong).trimmed(), polices::Grasse,
                                  Alignement::Droite);
                      }};
}

void RapportTotalPeriode::journee(const PointVal& pov)
{
    m_cumul.ajouter(pov);
    LigneTotalPeriode l;
    remplirEmployeDate(l, pov);
    l.totalEmploye = m_cumul.employe().total;
    l.totalGeneral = m_cumul.totalGeneral();
    if (observateur)
        observateur(l);
    m_bandes->imprimer(l);
    // The line that the counting pass counted last: the last employee's line, then the grand total.
    if (m_cumul.lignes() == m_lignesComptees)
        imprimerTotalGeneral();
}

void RapportTotalPeriode::imprimerTotalGeneral()
{
    if (m_totalImprime || !m_bandes->commence())
        return;
    m_totalImprime = true;
    // The last employee's line and the grand total stay on one page.
    m_contexte->pagination.garderEnsemble(HauteurLigneEmploye + HauteurTotalGeneral);
    m_bandes->fermerGroupes();
    m_bandes->bande(m_totalGeneral);
}

bool RapportTotalPeriode::fermer()
{
    if (!m_bandes)
        return m_contexte->pagination.terminer();
    // A reading that ended before the count (a read error ends it as at the end of the file) still closes
    // with the grand total of what was printed.
    imprimerTotalGeneral();
    return m_bandes->terminer();
}

std::unique_ptr<Edition> EditionTotalPeriode()
{
    return std::make_unique<RapportTotalPeriode>();
}

} // namespace kip
