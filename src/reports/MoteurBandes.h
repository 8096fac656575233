// The banded report engine. A report is a stack of bands laid down the page: a page header at the top of
// every page, a page footer at its bottom, and between them the bands of the lines, with a header and a
// footer for each group of lines (an employee, a week). When the next line belongs to another group, the
// footers of the groups that end are printed first, innermost first, with the values of the last line of
// each; a group may start a new page after its footer.
//
// Positions are in thousandths of an inch; inside a band, x counts from the left of the printable width
// and y from the band's top. Each finished page is written at once as a page image, so that only the page
// being laid out stays in memory.
#pragma once

#include "ImagesPages.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kip {

// The paper and where the printable width lies on it.
struct MiseEnPage
{
    static constexpr qint32 LargeurImprimable = 7458;
    static constexpr qint32 MargeMinimale = 394; // a centimetre

    qint32 largeurPapier = 8268; // A4
    qint32 hauteurPapier = 11693;
    qint32 margeHaut = MargeMinimale;
    qint32 margeBas = MargeMinimale;

    // The printable width centred on the paper.
    qint32 gauche() const { return std::max<qint32>(0, (largeurPapier - LargeurImprimable) / 2); }
    // The paper and margins of a printer's page set-up; margins are never below a centimetre.
    static MiseEnPage depuis(const QPageLayout& layout);
};

// The fonts of the reports.
namespace polices {
inline constexpr PoliceRapport Normale{80, false};
inline constexpr PoliceRapport Grasse{80, true};
inline constexpr PoliceRapport Titre{90, true};
} // namespace polices

constexpr quint8 Trait = 8; // pen width of lines and boxes, in thousandths of an inch

class Pagination;

// Draws into one band.
class Dessin
{
public:
    Dessin(Pagination& pagination, ImagePage& page, qint32 gauche, qint32 haut)
        : m_pagination(pagination), m_page(page), m_gauche(gauche), m_haut(haut)
    {
    }

    static constexpr qint32 largeur() { return MiseEnPage::LargeurImprimable; }

    // One line of text in a box of width l starting at x. A text wider than its box is set smaller, down
    // to three quarters of its size, then cut at the box's edge; a right-aligned one (a number) runs out
    // to the left instead.
    void texte(qint32 x, qint32 y, qint32 l, const QString& texte, const PoliceRapport& police = polices::Normale,
               Alignement alignement = Alignement::Gauche);
    // A text in a box of l by h, cut into lines at spaces, `pas` apart (the font's leading when 0); the
    // lines that do not fit are left out.
    void texteCadre(qint32 x, qint32 y, qint32 l, qint32 h, const QString& texte,
                    const PoliceRapport& police = polices::Normale, qint32 pas = 0);
    void ligne(qint32 x1, qint32 y1, qint32 x2, qint32 y2, quint8 epaisseur = Trait);
    void cadre(qint32 x, qint32 y, qint32 l, qint32 h, quint8 epaisseur = Trait);
    // A check box with its caption on the right.
    void caseACocher(qint32 x, qint32 y, bool coche, const QString& legende,
                     const PoliceRapport& police = polices::Normale);

    // The height of a line of text in that font.
    qint32 hauteurLigne(const PoliceRapport& police = polices::Normale) const;
    double largeurTexte(const QString& texte, const PoliceRapport& police = polices::Normale) const;

private:
    Pagination& m_pagination;
    ImagePage& m_page;
    qint32 m_gauche;
    qint32 m_haut;
};

using Dessinateur = std::function<void(Dessin&)>;

// Lays bands down pages and writes each finished page into the queue of page images.
class Pagination
{
public:
    Pagination(const MiseEnPage& mise, ImagesPages& sortie);
    ~Pagination();
    Pagination(const Pagination&) = delete;
    Pagination& operator=(const Pagination&) = delete;

    // The page header is drawn when a page opens, by the band that opens it: what it shows is what the
    // report holds at that moment.
    void enTetePage(qint32 hauteur, Dessinateur dessiner);
    void piedPage(qint32 hauteur, std::function<void(Dessin&, int page)> dessiner);
    // Called when a page has opened, below its header: it may lay bands of its own there (the header of a
    // group that goes on from the page before).
    void suiteEnTete(std::function<void()> suite) { m_suiteEnTete = std::move(suite); }

    // Lays a band of that height below the previous one, opening a page first when none is open, when a
    // page break was asked or when the band does not fit above the page footer.
    void bande(qint32 hauteur, const Dessinateur& dessiner);
    // The next band opens a new page; at the end of the report nothing more follows.
    void sautDePage() { m_sautDemande = true; }
    // Bands of that height in all are to stay together (a header and the first band it heads): when they
    // do not fit in what remains of a page already begun, the next band opens a new page.
    void garderEnsemble(qint32 hauteur);
    // Closes the last page. False when a page image could not be written.
    bool terminer();

    int pagesEcrites() const { return m_sortie.nombre(); }
    bool enErreur() const { return m_erreur; }
    const MiseEnPage& miseEnPage() const { return m_mise; }

    const QFontMetricsF& mesures(const PoliceRapport& police);

private:
    void ouvrirPage();
    void fermerPage();
    qint32 limite() const { return m_mise.hauteurPapier - m_mise.margeBas - m_hauteurPied; }

    MiseEnPage m_mise;
    ImagesPages& m_sortie;
    std::optional<ImagePage> m_page;
    qint32 m_y = 0;
    int m_numero = 0;
    bool m_sautDemande = false;
    bool m_erreur = false;
    qint32 m_hauteurEnTete = 0;
    Dessinateur m_enTete;
    std::function<void()> m_suiteEnTete;
    qint32 m_debutContenu = 0; // where the first band of the page went, below the headers
    qint32 m_hauteurPied = 0;
    std::function<void(Dessin&, int)> m_pied;
    std::vector<std::pair<PoliceRapport, std::unique_ptr<QFontMetricsF>>> m_mesures;
};

// A band that shows a line's values.
template <class Ligne> struct BandeLigne
{
    qint32 hauteur = 0;
    std::function<void(Dessin&, const Ligne&)> dessiner;
};

// The group breaks of a report whose lines are of type Ligne, over a Pagination.
template <class Ligne> class RapportBandes
{
public:
    struct Groupe
    {
        // Whether two consecutive lines belong to the same group.
        std::function<bool(const Ligne&, const Ligne&)> meme;
        BandeLigne<Ligne> entete;
        BandeLigne<Ligne> pied;
        bool sautDePageApresPied = false;
        // The header comes again at the top of a page that the group goes on to, so that a page never
        // begins with lines whose group it does not name.
        bool repeterEnTete = false;
    };

    explicit RapportBandes(Pagination& pagination) : m_pagination(pagination)
    {
        m_pagination.suiteEnTete([this] { repeterEnTetes(); });
    }
    RapportBandes(const RapportBandes&) = delete;
    RapportBandes& operator=(const RapportBandes&) = delete;

    // The page header shows the line that opens the page.
    void enTetePage(BandeLigne<Ligne> bande)
    {
        m_enTete = std::move(bande);
        m_pagination.enTetePage(m_enTete.hauteur, [this](Dessin& d) {
            if (m_enCours && m_enTete.dessiner)
                m_enTete.dessiner(d, *m_enCours);
        });
    }
    // Groups from the outermost in.
    void ajouterGroupe(Groupe groupe) { m_groupes.push_back(std::move(groupe)); }
    void detail(BandeLigne<Ligne> bande) { m_detail = std::move(bande); }

    // Prints a line: the footers of the groups that end with the previous line, the headers of the groups
    // that start with this one, then its detail.
    void imprimer(const Ligne& ligne)
    {
        const size_t n = m_groupes.size();
        size_t rupture = 0;
        if (m_precedente && m_ouverts > 0) {
            rupture = n;
            for (size_t k = 0; k < n; ++k)
                if (!m_groupes[k].meme(*m_precedente, ligne)) {
                    rupture = k;
                    break;
                }
            piedsDepuis(rupture);
        }
        m_ouverts = rupture;
        m_enCours = &ligne;
        // Headers stay with the first band they head: never alone at the foot of a page.
        qint32 ensemble = 0;
        for (size_t k = rupture; k < n; ++k)
            if (m_groupes[k].entete.dessiner)
                ensemble += m_groupes[k].entete.hauteur;
        if (ensemble > 0)
            m_pagination.garderEnsemble(ensemble + premiereBandeSuivante());
        for (size_t k = rupture; k < n; ++k) {
            poser(m_groupes[k].entete, ligne);
            m_ouverts = k + 1;
        }
        poser(m_detail, ligne);
        m_precedente = ligne;
        m_enCours = &*m_precedente;
    }

    // Prints the footers of every open group now, as at the end of the report: the next line, if any, starts
    // every group anew.
    void fermerGroupes()
    {
        if (m_precedente && m_ouverts > 0)
            piedsDepuis(0);
        m_ouverts = 0;
    }

    // Lays a band of the report's own below the others (a grand total) with the values of the last line.
    void bande(const BandeLigne<Ligne>& bande)
    {
        if (m_precedente)
            poser(bande, *m_precedente);
    }

    // Prints the footers of every open group and closes the last page.
    bool terminer()
    {
        fermerGroupes();
        return m_pagination.terminer();
    }

    bool commence() const { return m_precedente.has_value(); }

private:
    // The band that follows the headers: the detail, or when the report prints none, the innermost footer.
    qint32 premiereBandeSuivante() const
    {
        if (m_detail.dessiner && m_detail.hauteur > 0)
            return m_detail.hauteur;
        for (size_t k = m_groupes.size(); k-- > 0;)
            if (m_groupes[k].pied.dessiner && m_groupes[k].pied.hauteur > 0)
                return m_groupes[k].pied.hauteur;
        return 0;
    }
    void piedsDepuis(size_t premier)
    {
        m_enCours = &*m_precedente;
        for (size_t k = m_groupes.size(); k-- > premier;) {
            m_ouverts = k + 1; // a footer belongs to its group
            poser(m_groupes[k].pied, *m_precedente);
            m_ouverts = k;
            if (m_groupes[k].sautDePageApresPied)
                m_pagination.sautDePage();
        }
    }
    // At the top of a new page: the headers to repeat of the groups that go on.
    void repeterEnTetes()
    {
        if (!m_enCours)
            return;
        for (size_t k = 0; k < m_ouverts && k < m_groupes.size(); ++k)
            if (m_groupes[k].repeterEnTete)
                poser(m_groupes[k].entete, *m_enCours);
    }
    void poser(const BandeLigne<Ligne>& bande, const Ligne& ligne)
    {
        if (!bande.dessiner || bande.hauteur <= 0)
            return;
        m_pagination.bande(bande.hauteur, [&](Dessin& d) { bande.dessiner(d, ligne); });
    }

    Pagination& m_pagination;
    BandeLigne<Ligne> m_enTete;
    std::vector<Groupe> m_groupes;
    BandeLigne<Ligne> m_detail;
    std::optional<Ligne> m_precedente;
    const Ligne* m_enCours = nullptr;
    size_t m_ouverts = 0; // the outer groups whose header is laid and whose footer is not
};

} // namespace kip
