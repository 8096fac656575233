// The weekly reports: preparing each day line and its totals, and their bands.
#include "EditionSemaine.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/RecordFile.h"
#include "punch/ArrondirSemaine.h"
#include "punch/CodesArrondi.h"

namespace kip {

namespace {

constexpr std::array<qint32, 14> ColonnesPointages = {1354, 1719, 2188, 2552, 3021, 3385, 3802,
                                                      4167, 4635, 5000, 5469, 5833, 6302, 6667};
constexpr qint32 LargeurPointage = 330; // a punch ends here, right-aligned: its hours line up
constexpr qint32 HauteurDetail = 167;
constexpr qint32 HauteurPiedSemaine = 290;
const QString PasDArrondi = QStringLiteral("Pas d'arrondi");
const QString AucunArrondi = QStringLiteral("000");

Identite identite(const LigneSemaine& l)
{
    return {l.CARTE, l.NOM, l.PRENOM, l.MATRICULE};
}

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
    m_bandes = std::make_unique<RapportBandes<LigneSemaine>>(contexte.pagination);
    construireBandes();
}

void RapportSemaines::construireBandes()
{
    const ParametresEdition& p = m_contexte->parametres;
    const bool centiemes = p.centiemes;
    const EnTetePage enTete{p.NOMEDITION, m_contexte->dateImpression, {}};
    m_bandes->enTetePage({HauteurEnTetePage, [enTete](Dessin& d, const LigneSemaine& l) {
                              EnTetePage e = enTete;
                              e.heure = l.heure;
                              dessinerEnTetePage(d, e);
                          }});
    m_contexte->pagination.piedPage(HauteurPiedPage,
                                    [centiemes](Dessin& d, int page) { dessinerPiedPage(d, page, centiemes); });

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

void RapportSemaines::nouvelEmploye(qint16 carte)
{
    m_carte = carte;
    m_TotauxSemaine.clear();
    m_cleSemaine.reset();
    m_totalNormal = 0;
    Personnel employe;
    employe.CARTE = carte;
    RecordFile<Personnel> fichier(m_contexte->db);
    const auto lu = fichier.get(employe, PER_K_CARTE);
    if (lu != NoError) {
        m_code = AucunArrondi;
        m_texteArrondi = PasDArrondi;
        return;
    }
    m_code = employe.ARRONDI_SEMAINE;
    // A code outside the eleven has no label: none is printed rather than another employee's.
    m_texteArrondi = weekRoundingLabel(m_code);
}

void RapportSemaines::journee(const PointVal& pov)
{
    const bool centiemes = m_contexte->parametres.centiemes;
    LigneSemaine l;
    l.CARTE = pov.CARTE;
    l.NOM = pov.NOM;
    l.PRENOM = pov.PRENOM;
    l.MATRICULE = pov.MATRICULE;
    l.DATE = pov.DATE;
    l.NUM_SEMAINE = pov.NUM_SEMAINE;
    l.NUM_ANNEE = pov.NUM_ANNEE;
    l.heure = m_contexte->heure();
    if (m_genre != Genre::Totaux) {
        l.jour = NomJour(pov.DATE);
        for (int i = 0; i < PunchSlotsUsed; ++i)
            l.pointages[size_t(i)] = textePointage(pov.POINTAGE_UTILISATEUR[size_t(i)], centiemes);
        l.totalJour = HeureTexte(pov.TOTAL, centiemes);
    }
    // A new employee is a change of card from the line printed before, whether or not it has a record:
    // its week totals start again once, not at every line.
    if (!m_carte || *m_carte != pov.CARTE)
        nouvelEmploye(pov.CARTE);
    const std::pair<quint8, qint16> cle{pov.NUM_SEMAINE, pov.NUM_ANNEE};
    const bool memeSemaine = m_cleSemaine && *m_cleSemaine == cle;
    // 32 bits: five weeks of long days pass 32767 minutes.
    m_totalNormal = memeSemaine ? m_totalNormal + qint32(pov.TOTAL) : qint32(pov.TOTAL);
    const qint32 arrondi = ArrondirSemaine(m_totalNormal, m_code);
    if (memeSemaine) {
        m_TotauxSemaine.back() = arrondi;
    } else {
        m_cleSemaine = cle;
        m_TotauxSemaine.push_back(arrondi);
    }
    qint32 totalEmploye = 0;
    for (qint32 t : m_TotauxSemaine)
        totalEmploye += t;
    l.texteArrondi = m_texteArrondi;
    l.totalNormal = m_totalNormal;
    l.totalArrondi = arrondi;
    l.totalEmploye = totalEmploye;
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
