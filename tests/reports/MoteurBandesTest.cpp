// The banded report engine, the page image files and the one painter.
#include "reports/MoteurBandes.h"

#include "GuiEnvironment.h"
#include "reports/ImagesPages.h"
#include "reports/PeintrePage.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace kip;

namespace {

struct Ligne
{
    int groupe = 0;
    int sousGroupe = 0;
    QString texte;
};

// A report whose bands write what they print, in order, with the page they land on.
class RapportEssai
{
public:
    RapportEssai(ImagesPages& pages, qint32 hauteurPapier, bool sautApresGroupe, bool repeterEnTete = false)
        : m_mise{8268, hauteurPapier, 400, 400}, m_pagination(m_mise, pages), m_bandes(m_pagination)
    {
        m_bandes.enTetePage(
            {200, [this](Dessin& d, const Ligne& l) { trace(d, QStringLiteral("EnTete ") + l.texte); }});
        m_pagination.piedPage(150, [this](Dessin& d, int page) { trace(d, QStringLiteral("Pied %1").arg(page)); });
        RapportBandes<Ligne>::Groupe g;
        g.meme = [](const Ligne& a, const Ligne& b) { return a.groupe == b.groupe; };
        g.entete = {150, [this](Dessin& d, const Ligne& l) { trace(d, QStringLiteral("DebutG%1").arg(l.groupe)); }};
        g.pied = {150, [this](Dessin& d, const Ligne& l) {
                      trace(d, QStringLiteral("FinG%1 %2").arg(l.groupe).arg(l.texte));
                  }};
        g.sautDePageApresPied = sautApresGroupe;
        g.repeterEnTete = repeterEnTete;
        m_bandes.ajouterGroupe(g);
        RapportBandes<Ligne>::Groupe s;
        s.meme = [](const Ligne& a, const Ligne& b) { return a.sousGroupe == b.sousGroupe; };
        s.pied = {150, [this](Dessin& d, const Ligne& l) {
                      trace(d, QStringLiteral("FinS%1.%2 %3").arg(l.groupe).arg(l.sousGroupe).arg(l.texte));
                  }};
        m_bandes.ajouterGroupe(s);
        m_bandes.detail({150, [this](Dessin& d, const Ligne& l) { trace(d, l.texte); }});
    }
    void imprimer(int g, int s, const QString& t) { m_bandes.imprimer({g, s, t}); }
    bool terminer() { return m_bandes.terminer(); }
    void totalGeneral()
    {
        m_bandes.fermerGroupes();
        m_bandes.bande({150, [this](Dessin& d, const Ligne& l) { trace(d, QStringLiteral("Total ") + l.texte); }});
    }
    QStringList ordre;

private:
    void trace(Dessin& d, const QString& t)
    {
        d.texte(0, 0, 3000, t);
        ordre << t;
    }
    MiseEnPage m_mise;
    Pagination m_pagination;
    RapportBandes<Ligne> m_bandes;
};

} // namespace

TEST(MoteurBandesTest, FootersComeInnermostFirstWithTheLastLineOfTheirGroup)
{
    ImagesPages pages;
    RapportEssai r(pages, 11693, false);
    r.imprimer(1, 1, QStringLiteral("a"));
    r.imprimer(1, 1, QStringLiteral("b"));
    r.imprimer(1, 2, QStringLiteral("c"));
    r.imprimer(2, 2, QStringLiteral("d")); // a new outer group closes the inner one too, same key or not
    ASSERT_TRUE(r.terminer());
    EXPECT_EQ(r.ordre, (QStringList{"EnTete a", "DebutG1", "a", "b", "FinS1.1 b", "c", "FinS1.2 c", "FinG1 c",
                                    "DebutG2", "d", "FinS2.2 d", "FinG2 d", "Pied 1"}));
    EXPECT_EQ(pages.nombre(), 1);
}

TEST(MoteurBandesTest, PageBreaksAfterAFooterAndWhenABandDoesNotFitButNeverAnEmptyPage)
{
    {
        ImagesPages pages;
        RapportEssai r(pages, 11693, true);
        r.imprimer(1, 1, QStringLiteral("a"));
        r.imprimer(2, 1, QStringLiteral("b"));
        ASSERT_TRUE(r.terminer());
        ASSERT_EQ(pages.nombre(), 2); // the break after the last footer opens no third page
        EXPECT_EQ(pages.page(1)->lignesDeTexte(),
                  (QStringList{"EnTete a", "DebutG1", "a", "FinS1.1 a", "FinG1 a", "Pied 1"}));
        EXPECT_EQ(pages.page(2)->lignesDeTexte(),
                  (QStringList{"EnTete b", "DebutG2", "b", "FinS2.1 b", "FinG2 b", "Pied 2"}));
    }
    {
        // 2000 high: 400 + 200 of header above, 400 + 150 of footer below: room for five bands of 150.
        ImagesPages pages;
        RapportEssai r(pages, 2000, false);
        for (int i = 1; i <= 7; ++i)
            r.imprimer(1, 1, QString::number(i));
        ASSERT_TRUE(r.terminer());
        ASSERT_EQ(pages.nombre(), 2);
        EXPECT_EQ(pages.page(1)->lignesDeTexte(), (QStringList{"EnTete 1", "DebutG1", "1", "2", "3", "4", "Pied 1"}));
        // The header of the page shows the line that opens it.
        EXPECT_EQ(pages.page(2)->lignesDeTexte(),
                  (QStringList{"EnTete 5", "5", "6", "7", "FinS1.1 7", "FinG1 7", "Pied 2"}));
        for (int n = 1; n <= 2; ++n) {
            const ImagePage page = *pages.page(n);
            for (const ElementPage& e : page.elements())
                EXPECT_LE(e.y + e.h, 2000 - 400) << e.texte.toStdString();
        }
    }
}

TEST(MoteurBandesTest, AGroupHeaderIsNeverLeftAloneAtTheFootOfAPage)
{
    // The header of group 2 would fit at the foot of page 1, its first line would not: both go to page 2.
    ImagesPages pages;
    RapportEssai r(pages, 2000, false);
    r.imprimer(1, 1, QStringLiteral("a"));
    r.imprimer(2, 1, QStringLiteral("b"));
    ASSERT_TRUE(r.terminer());
    ASSERT_EQ(pages.nombre(), 2);
    EXPECT_EQ(pages.page(1)->lignesDeTexte(),
              (QStringList{"EnTete a", "DebutG1", "a", "FinS1.1 a", "FinG1 a", "Pied 1"}));
    EXPECT_EQ(pages.page(2)->lignesDeTexte(),
              (QStringList{"EnTete b", "DebutG2", "b", "FinS2.1 b", "FinG2 b", "Pied 2"}));
}

TEST(MoteurBandesTest, AGroupThatGoesOnToANewPageNamesItselfAgainThere)
{
    {
        // 2150 high: room for six bands of 150 per page. Group 1 runs over two pages, its footers over a
        // third: a footer that opens a page is its group's, and the group is named there too.
        ImagesPages pages;
        RapportEssai r(pages, 2150, false, true);
        for (int i = 1; i <= 10; ++i)
            r.imprimer(1, 1, QString::number(i));
        ASSERT_TRUE(r.terminer());
        ASSERT_EQ(pages.nombre(), 3);
        EXPECT_EQ(pages.page(1)->lignesDeTexte(),
                  (QStringList{"EnTete 1", "DebutG1", "1", "2", "3", "4", "5", "Pied 1"}));
        EXPECT_EQ(pages.page(2)->lignesDeTexte(),
                  (QStringList{"EnTete 6", "DebutG1", "6", "7", "8", "9", "10", "Pied 2"}));
        EXPECT_EQ(pages.page(3)->lignesDeTexte(),
                  (QStringList{"EnTete 10", "DebutG1", "FinS1.1 10", "FinG1 10", "Pied 3"}));
    }
    {
        // A group that starts a page has its header once, not twice.
        ImagesPages pages;
        RapportEssai r(pages, 2000, false, true);
        r.imprimer(1, 1, QStringLiteral("a"));
        r.imprimer(2, 1, QStringLiteral("b"));
        ASSERT_TRUE(r.terminer());
        ASSERT_EQ(pages.nombre(), 2);
        EXPECT_EQ(pages.page(2)->lignesDeTexte(),
                  (QStringList{"EnTete b", "DebutG2", "b", "FinS2.1 b", "FinG2 b", "Pied 2"}));
    }
}

TEST(MoteurBandesTest, ABandOfTheReportComesAfterEveryFooterAndOnlyOnce)
{
    ImagesPages pages;
    RapportEssai r(pages, 11693, false);
    r.imprimer(1, 1, QStringLiteral("a"));
    r.imprimer(2, 1, QStringLiteral("b"));
    r.totalGeneral();
    ASSERT_TRUE(r.terminer()); // the footers are not printed twice
    EXPECT_EQ(r.ordre, (QStringList{"EnTete a", "DebutG1", "a", "FinS1.1 a", "FinG1 a", "DebutG2", "b", "FinS2.1 b",
                                    "FinG2 b", "Total b", "Pied 1"}));
}

TEST(MoteurBandesTest, PageImagesReadBackAsWrittenAndDamagedFilesAreRefused)
{
    ImagePage page(8268, 11693);
    page.texte(100, 200, 3000, 130, QStringLiteral("Décembre été"), polices::Grasse, Alignement::Droite);
    page.ligne(0, 10, 7458, 10, 8);
    page.cadre(5, 6, 700, 800, 8);
    page.caseACocher(50, 60, 90, true, 8);
    const QByteArray octets = page.serialiser();
    const std::optional<ImagePage> lue = ImagePage::lire(octets);
    ASSERT_TRUE(lue.has_value());
    EXPECT_EQ(lue->serialiser(), octets);
    ASSERT_EQ(lue->elements().size(), 4u);
    EXPECT_EQ(lue->elements()[0].texte, QStringLiteral("Décembre été"));
    EXPECT_EQ(lue->polices()[0], polices::Grasse);
    EXPECT_TRUE(lue->elements()[3].coche);
    EXPECT_FALSE(ImagePage::lire(octets.left(octets.size() - 3)).has_value());
    QByteArray autre = octets;
    autre[0] = 'X';
    EXPECT_FALSE(ImagePage::lire(autre).has_value());

    ImagesPages pages;
    EXPECT_TRUE(pages.repertoire().isEmpty());
    ASSERT_TRUE(pages.ajouter(page));
    ASSERT_TRUE(pages.ajouter(ImagePage(8268, 11693)));
    EXPECT_EQ(pages.nombre(), 2);
    EXPECT_TRUE(QFile::exists(pages.PRINTPREVIEWIMAGE[1]));
    const QString repertoire = pages.repertoire();
    pages.vider();
    EXPECT_FALSE(QDir(repertoire).exists()); // the files go with the queue
    EXPECT_FALSE(pages.page(1).has_value());
}

TEST(MoteurBandesTest, ThePainterScalesThePageAndThePdfHoldsItsTexts)
{
    ImagePage page(8000, 10000);
    page.cadre(1000, 1000, 2000, 2000, 0);
    page.texte(4000, 5000, 3000, 150, QStringLiteral("Total général de l'été"), polices::Normale);
    // At one pixel per hundred thousandths, the box's corners land on pixels 10 and 30.
    QImage image(80, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        peindrePage(p, page, QRectF(0, 0, 80, 100));
    }
    EXPECT_LT(qGray(image.pixel(10, 20)), 160);
    EXPECT_LT(qGray(image.pixel(30, 20)), 160);
    EXPECT_EQ(qGray(image.pixel(20, 20)), 255);
    EXPECT_EQ(qGray(image.pixel(5, 5)), 255);

    QTemporaryDir dir;
    ImagesPages pages;
    ASSERT_TRUE(pages.ajouter(page));
    ASSERT_TRUE(pages.ajouter(page));
    const QString pdf = dir.filePath(QStringLiteral("essai.pdf"));
    const FileError erreur = ecrirePdf(pages, pdf, QStringLiteral("Essai"));
    ASSERT_TRUE(erreur.ok()) << erreur.description().toStdString();
    const QString texte = texteDuPdf(pdf);
    EXPECT_EQ(texte.count(QStringLiteral("Total général de l'été")), 2) << texte.toStdString();
    EXPECT_EQ(ecrirePdf(pages, dir.filePath(QStringLiteral("absent/essai.pdf"))).description(),
              QStringLiteral("Fichier ou répertoire introuvable (2)"));
    EXPECT_FALSE(ecrirePdf(ImagesPages(), dir.filePath(QStringLiteral("vide.pdf"))).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("vide.pdf"))));
}

TEST(MoteurBandesTest, TheTitleWrapsInItsBoxAndLongTextsShrinkThenStopAtTheirEdge)
{
    const QString nom = QStringLiteral("VANDENBERGHE-DUPUIS");
    const qint32 largeurNom = qint32(QFontMetricsF(policeQt(polices::Grasse)).horizontalAdvance(nom));
    ImagesPages pages;
    MiseEnPage mise;
    Pagination pagination(mise, pages);
    pagination.bande(400, [&](Dessin& d) {
        d.texteCadre(0, 0, 2000, 400,
                     QStringLiteral("un deux trois quatre cinq six sept huit neuf dix onze douze "
                                    "treize quatorze quinze seize dix-sept dix-huit"));
        d.texte(0, 0, 500, QStringLiteral("UN NOM BIEN TROP LONG POUR SA CASE"));
        d.texte(0, 0, largeurNom * 9 / 10, nom, polices::Grasse);
    });
    ASSERT_TRUE(pagination.terminer());
    const ImagePage page = *pages.page(1);
    int lignesTitre = 0;
    bool nomEntier = false;
    for (const ElementPage& e : page.elements()) {
        const PoliceRapport& police = page.polices()[e.police];
        EXPECT_LE(QFontMetricsF(policeQt(police)).horizontalAdvance(e.texte), e.l + 0.5) << e.texte.toStdString();
        EXPECT_GE(police.dixiemesPoint, 60);
        if (e.l == 2000)
            ++lignesTitre;
        if (e.texte == nom) {
            nomEntier = true;
            EXPECT_LT(police.dixiemesPoint, polices::Grasse.dixiemesPoint);
            EXPECT_TRUE(police.gras);
        }
    }
    EXPECT_GE(lignesTitre, 2);
    EXPECT_TRUE(nomEntier); // a little too long: set smaller, kept whole
}
