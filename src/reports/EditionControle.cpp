// The control report: preparing each day line with its week, and the bands.
#include "EditionControle.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "punch/CodesArrondi.h"

#include <algorithm>

namespace kip {

namespace {

constexpr std::array<qint32, 14> Colonnes = {1302, 1667, 2135, 2500, 2969, 3333, 3802,
                                             4167, 4635, 5000, 5469, 5833, 6302, 6667};
constexpr qint32 ColonneLibelle = 729; // "Origine:", "Programme:", "Utilisateur:", the first check box
constexpr qint32 LargeurLibelle = 650;
constexpr qint32 ColonneInactif = 2708; // the second check box
constexpr qint32 HauteurDetail = 990;
constexpr qint32 HauteurPiedSemaine = 420;

QString semaineTexte(quint8 numero)
{
    return QStringLiteral("%1").arg(numero, 2, 10, QLatin1Char('0'));
}

QString anneeTexte(qint16 annee)
{
    return QStringLiteral("%1").arg(annee, 4, 10, QLatin1Char('0'));
}

void rangee(Dessin& d, qint32 y, const QString& libelle, const std::array<QString, 14>& pointages)
{
    // The label may run under the first punch's box: a punch is right-aligned and leaves its left free.
    d.texte(ColonneLibelle, y, LargeurLibelle, libelle);
    for (size_t i = 0; i < Colonnes.size(); ++i)
        d.texte(Colonnes[i], y, LargeurPointage, pointages[i].trimmed(), polices::Normale, Alignement::Droite);
}

void dessinerDetail(Dessin& d, const LigneControle& l)
{
    constexpr qint32 Identite = 66;
    d.cadre(0, 0, MiseEnPage::LargeurImprimable, 260);
    d.texte(52, Identite, 340, texteCarte(l.CARTE), polices::Grasse);
    d.texte(417, Identite, 1563 - 417 - 40, l.NOM, polices::Grasse);
    d.texte(1563, Identite, 2552 - 1563 - 40, l.PRENOM, polices::Grasse);
    d.texte(2552, Identite, 1200, l.MATRICULE, polices::Grasse);

    d.texte(0, 313, ColonneLibelle - 40, l.jour);
    rangee(d, 313, QStringLiteral("Origine:"), l.origine);
    d.texte(0, 469, ColonneLibelle - 40, DateTexte(l.DATE));
    rangee(d, 469, QStringLiteral("Programme:"), l.programme);
    d.texte(52, 625, 300, semaineTexte(l.NUM_SEMAINE));
    d.texte(365, 625, ColonneLibelle - 365 - 40, anneeTexte(l.NUM_ANNEE));
    rangee(d, 625, QStringLiteral("Utilisateur:"), l.utilisateur);
    d.texte(7042, 625, BordTotaux - 7042, l.totalJour.trimmed(), polices::Normale, Alignement::Droite);
    const QString modifie = QStringLiteral("Enregistrement modifié manuellement");
    d.caseACocher(ColonneLibelle, 781, l.MODIF == 1, modifie);
    // The second box keeps clear of the first one's caption, whatever the font's width.
    const qint32 finLegende = ColonneLibelle + d.hauteurLigne() * 9 / 8 + qint32(d.largeurTexte(modifie));
    d.caseACocher(std::max(ColonneInactif, finLegende + 120), 781, l.INACTIF == 1,
                  QStringLiteral("Enregistrement inactif"));
}

void dessinerPiedSemaine(Dessin& d, const LigneControle& l, bool centiemes)
{
    constexpr qint32 Haut = 60;
    constexpr qint32 Bas = Haut + 156;
    constexpr qint32 LibelleTotal = 5573;
    constexpr qint32 Total = 6979;
    d.ligne(0, 20, MiseEnPage::LargeurImprimable, 20);
    d.texte(0, Haut, 560, QStringLiteral("Semaine:"), polices::Grasse);
    d.texte(LibelleTotal, Haut, Total - LibelleTotal, QStringLiteral("Total normal de la semaine:"));
    d.texte(Total, Haut, BordTotaux - Total, texteTotal(l.totalNormal, centiemes).trimmed(), polices::Grasse,
            Alignement::Droite);
    d.texte(0, Bas, 200, semaineTexte(l.NUM_SEMAINE), polices::Grasse);
    d.texte(208, Bas, 50, QStringLiteral("/"), polices::Grasse);
    d.texte(260, Bas, 600, anneeTexte(l.NUM_ANNEE), polices::Grasse);
    d.texte(1302, Bas, 2708 - 1302 - 40, QStringLiteral("Type d'arrondi de semaine:"));
    d.texte(2708, Bas, 3021 - 2708 - 20, l.codeArrondi, polices::Grasse);
    d.texte(3021, Bas, LibelleTotal - 3021 - 40, l.texteArrondi);
    d.texte(LibelleTotal, Bas, Total - LibelleTotal, QStringLiteral("Total arrondi de la semaine:"));
    d.texte(Total, Bas, BordTotaux - Total, texteTotal(l.totalArrondi, centiemes).trimmed(), polices::Grasse,
            Alignement::Droite);
    d.ligne(0, Bas + 170, MiseEnPage::LargeurImprimable, Bas + 170);
}

} // namespace

RapportControle::RapportControle() = default;

RapportControle::~RapportControle() = default;

void RapportControle::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    m_bandes = bandesRapport<LigneControle>(contexte);
    m_cumul.emplace(contexte.db);
    construireBandes();
}

void RapportControle::construireBandes()
{
    const bool centiemes = m_contexte->parametres.centiemes;

    // No employee header: each day line shows its employee. The employee's footer prints nothing and ends
    // the page.
    using Groupe = RapportBandes<LigneControle>::Groupe;
    Groupe employe;
    employe.meme = [](const LigneControle& a, const LigneControle& b) { return a.CARTE == b.CARTE; };
    employe.sautDePageApresPied = true;
    m_bandes->ajouterGroupe(std::move(employe));

    Groupe annee;
    annee.meme = [](const LigneControle& a, const LigneControle& b) { return a.NUM_ANNEE == b.NUM_ANNEE; };
    m_bandes->ajouterGroupe(std::move(annee));

    Groupe semaine;
    semaine.meme = [](const LigneControle& a, const LigneControle& b) { return a.NUM_SEMAINE == b.NUM_SEMAINE; };
    semaine.pied = {HauteurPiedSemaine,
                    [centiemes](Dessin& d, const LigneControle& l) { dessinerPiedSemaine(d, l, centiemes); }};
    m_bandes->ajouterGroupe(std::move(semaine));

    Groupe jour;
    jour.meme = [](const LigneControle& a, const LigneControle& b) { return a.DATE == b.DATE; };
    m_bandes->ajouterGroupe(std::move(jour));

    m_bandes->detail({HauteurDetail, dessinerDetail});
}

void RapportControle::journee(const PointVal& pov)
{
    const bool centiemes = m_contexte->parametres.centiemes;
    LigneControle l;
    remplirEmployeDate(l, pov);
    l.NUM_SEMAINE = pov.NUM_SEMAINE;
    l.NUM_ANNEE = pov.NUM_ANNEE;
    l.MODIF = pov.MODIF;
    l.INACTIF = pov.INACTIF;
    l.jour = NomJour(pov.DATE);
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        const size_t k = size_t(i);
        l.origine[k] = textePointage(pov.POINTAGE_ORIGINE[k], centiemes);
        l.programme[k] = textePointage(pov.POINTAGE_PROGRAMME[k], centiemes);
        l.utilisateur[k] = textePointage(pov.POINTAGE_UTILISATEUR[k], centiemes);
    }
    l.totalJour = HeureTexte(pov.TOTAL, centiemes);
    // The week as the weekly reports total it: an inactive line is printed but adds nothing. A card without
    // a record shows no code, no label and an unrounded total.
    m_cumul->ajouter(pov);
    const TotauxSemainesEmploye& employe = m_cumul->employe();
    l.codeArrondi = employe.codeArrondi;
    l.texteArrondi = weekRoundingLabel(employe.codeArrondi);
    l.totalNormal = m_cumul->semaine().totalNormal;
    l.totalArrondi = m_cumul->semaine().totalArrondi;
    if (observateur)
        observateur(l);
    m_bandes->imprimer(l);
}

bool RapportControle::fermer()
{
    return m_bandes ? m_bandes->terminer() : m_contexte->pagination.terminer();
}

std::unique_ptr<Edition> EditionControle()
{
    return std::make_unique<RapportControle>();
}

} // namespace kip
