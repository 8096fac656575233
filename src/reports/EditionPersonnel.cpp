// The employee list report: preparing each employee's texts, and the bands.
#include "EditionPersonnel.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "punch/CodesArrondi.h"

namespace kip {

namespace {

constexpr qint32 Largeur = MiseEnPage::LargeurImprimable;
constexpr qint32 ColonneParametres = 2448;
constexpr qint32 ColonneInactivite = 6094;
constexpr qint32 FinInactivite = 6771;
constexpr qint32 HauteurEnTete = 640;
constexpr qint32 HauteurDetail = 1640;

// The rows of a block: ten inactivity periods from the block's top, 1406 for the tenth.
constexpr qint32 rangee(int i)
{
    return i * 1406 / 9;
}

QString deuxChiffres(int valeur)
{
    return QStringLiteral("%1").arg(valeur, 2, 10, QLatin1Char('0'));
}

void dessinerEnTete(Dessin& d, qint32 date)
{
    constexpr qint32 Texte = 66;
    d.cadre(0, 0, Largeur, 260);
    d.texte(52, Texte, 3000, QStringLiteral("Edition du personnel"), polices::Titre);
    d.texte(5417, Texte, ColonneInactivite - 5417 - 40, QStringLiteral("Edition du:"));
    d.texte(ColonneInactivite, Texte, 6667 - ColonneInactivite - 40, NomJour(date));
    d.texte(6667, Texte, Largeur - 6667 - 40, DateTexte(date));
    // The three columns, each titled in a box of its own.
    constexpr qint32 Titres = 313;
    constexpr qint32 Ecart = 52;
    const std::array<std::pair<qint32, const char*>, 3> colonnes = {
        {{0, "Identité"}, {ColonneParametres, "Paramètres"}, {ColonneInactivite, "Périodes d'inactivité"}}};
    for (size_t i = 0; i < colonnes.size(); ++i) {
        const qint32 x = colonnes[i].first;
        const qint32 fin = i + 1 < colonnes.size() ? colonnes[i + 1].first - Ecart : Largeur;
        d.cadre(x, Titres, fin - x, 200);
        d.texte(x + 52, Titres + 36, fin - x - 104, QString::fromUtf8(colonnes[i].second), polices::Grasse);
    }
    d.ligne(0, HauteurEnTete - 40, Largeur, HauteurEnTete - 40);
}

void dessinerEmploye(Dessin& d, const LignePersonnel& l)
{
    const Personnel& p = l.employe;
    d.texte(0, rangee(0), 500, texteCarte(p.CARTE), polices::Grasse);
    d.texte(0, rangee(1), 1354 - 40, p.NOM, polices::Grasse);
    d.texte(1354, rangee(1), ColonneParametres - 1354 - 80, p.PRENOM);
    d.texte(0, 365, 1200, p.MATRICULE);

    constexpr qint32 x = ColonneParametres;
    d.texte(3021, rangee(0), 2000, QStringLiteral("Arrondis:"), polices::Grasse);
    d.texte(5052, rangee(0), 560, QStringLiteral("Tolérance"), polices::Grasse);
    d.texte(5625, rangee(0), 440, QStringLiteral("Décal.:"), polices::Grasse);
    d.texte(x, rangee(1), 3021 - x - 40, QStringLiteral("Entrée:"));
    d.texte(3021, rangee(1), 5052 - 3021 - 40, l.texteEntree);
    d.texte(5313, rangee(1), 200, deuxChiffres(p.TOLERANCE_ENTREE));
    d.texte(5677, rangee(1), 200, deuxChiffres(p.DECALAGE_ENTREE));
    d.texte(x, rangee(2), 3021 - x - 40, QStringLiteral("Sortie:"));
    d.texte(3021, rangee(2), 5052 - 3021 - 40, l.texteSortie);
    d.texte(5313, rangee(2), 200, deuxChiffres(p.TOLERANCE_SORTIE));
    d.texte(5677, rangee(2), 200, deuxChiffres(p.DECALAGE_SORTIE));
    d.texte(x, rangee(3), 4688 - x - 40, QStringLiteral("Nombre théorique de pointages par jour:"));
    d.texte(4688, rangee(3), 300, deuxChiffres(p.NOMBRE));
    d.texte(x, rangee(4), 4479 - x - 40, QStringLiteral("Décalage minuit:"));
    d.texte(4479, rangee(4), 500, l.decalage);
    d.texte(x, rangee(5), 4479 - x - 40, QStringLiteral("Extension de journée:"));
    d.texte(4479, rangee(5), 500, l.extension);
    d.texte(x, rangee(6), 3698 - x - 40, QStringLiteral("Arrondi de semaine:"));
    d.texte(3698, rangee(6), ColonneInactivite - 3698 - 80, l.texteSemaine);

    for (int i = 0; i < 10; ++i) {
        d.texte(ColonneInactivite, rangee(i), FinInactivite - ColonneInactivite - 40, l.debuts[size_t(i)]);
        d.texte(FinInactivite, rangee(i), Largeur - FinInactivite, l.fins[size_t(i)]);
    }
    d.ligne(0, HauteurDetail - 60, Largeur, HauteurDetail - 60);
}

} // namespace

RapportPersonnel::RapportPersonnel() = default;

RapportPersonnel::~RapportPersonnel() = default;

void RapportPersonnel::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    m_bandes = std::make_unique<RapportBandes<LignePersonnel>>(contexte.pagination);
    const qint32 date = contexte.dateImpression;
    m_bandes->enTetePage({HauteurEnTete, [date](Dessin& d, const LignePersonnel&) { dessinerEnTete(d, date); }});
    // No time unit on this report: its times are always hours and minutes.
    contexte.pagination.piedPage(HauteurPiedPage, [](Dessin& d, int page) { dessinerNumeroPage(d, page); });
    m_bandes->detail({HauteurDetail, dessinerEmploye});
}

void RapportPersonnel::employe(const Personnel& per)
{
    LignePersonnel l;
    l.employe = per;
    // A code outside the lists has no label: none is printed rather than the previous employee's.
    l.texteEntree = entryRoundingLabel(per.ARRONDI_ENTREE);
    l.texteSortie = exitRoundingLabel(per.ARRONDI_SORTIE);
    l.texteSemaine = weekRoundingLabel(per.ARRONDI_SEMAINE);
    l.extension = HeureTexte(per.EXTENSION, false).trimmed();
    l.decalage = HeureTexte(per.DECALAGE_MINUIT, false).trimmed();
    for (size_t i = 0; i < l.debuts.size(); ++i) {
        l.debuts[i] = DateTexte(per.PERIODE_INACTIVITE_DEBUT[i]);
        l.fins[i] = DateTexte(per.PERIODE_INACTIVITE_FIN[i]);
    }
    if (observateur)
        observateur(l);
    m_bandes->imprimer(l);
}

bool RapportPersonnel::fermer()
{
    return m_bandes ? m_bandes->terminer() : m_contexte->pagination.terminer();
}

std::unique_ptr<Edition> EditionPersonnel()
{
    return std::make_unique<RapportPersonnel>();
}

} // namespace kip
