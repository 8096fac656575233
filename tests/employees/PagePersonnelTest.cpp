// The page of the employee list: reads by key range in the three orders, never more rows than the page, the
// scroll bar's 100 positions and the letter locator, all in the files' case-blind text order.
#include "employees/PagePersonnel.h"

#include "InstallationTest.h"

#include <QSet>
#include <algorithm>
#include <random>

using namespace kip;

namespace {

class PagePersonnelTest : public InstallationTest
{
protected:
    // Walks the whole order one row at a time; the page never holds more than its size.
    QStringList parcourir(PagePersonnel& page, bool versLeHaut = false)
    {
        QStringList vus;
        EXPECT_TRUE((versLeHaut ? page.allerFin() : page.allerDebut()).ok());
        for (int garde = 0; garde < 10000 && page.employeCourant(); ++garde) {
            EXPECT_LE(int(page.lignes().size()), page.taille());
            vus << cle(*page.employeCourant());
            const qint64 avant = page.employeCourant()->rowid;
            EXPECT_TRUE(page.deplacer(versLeHaut ? -1 : 1).ok());
            if (page.employeCourant()->rowid == avant)
                break;
        }
        return vus;
    }
    static QString cle(const Personnel& p) { return p.NOM + QLatin1Char('/') + p.MATRICULE; }
};

} // namespace

TEST_F(PagePersonnelTest, TextComparesAsTheFilesDo)
{
    EXPECT_LT(comparerTexte(u"abc", u"ABD"), 0);
    EXPECT_EQ(comparerTexte(u"Dupont", u"DUPONT"), 0);
    EXPECT_LT(comparerTexte(u"", u"a"), 0);
    EXPECT_LT(comparerTexte(u"ZOLA", u"ÉMILE"), 0); // accented letters come after Z
    EXPECT_LT(comparerTexte(u"_", u"a"), 0);        // as the files fold A-Z to a-z, not the other way

    // The same order as the file's keys, for names full of traps.
    std::mt19937 alea(7);
    const QString lettres = QStringLiteral("aAbBzZ_[`éÉèç -'Œ€0");
    std::vector<Personnel> tous;
    QSet<QString> pris;
    for (qint16 carte = 1; tous.size() < 120; ++carte) {
        QString nom;
        for (int i = 0, n = 1 + int(alea() % 5); i < n; ++i)
            nom += lettres[int(alea() % lettres.size())];
        nom = nom.trimmed();
        if (nom.isEmpty() || pris.contains(nom.toLower()))
            continue;
        pris.insert(nom.toLower());
        tous.push_back(ajouter(employe(carte, nom)));
    }
    PagePersonnel page(*base, OrdrePersonnel::Nom, 7);
    std::sort(tous.begin(), tous.end(),
              [](const Personnel& a, const Personnel& b) { return comparerEmployes(OrdrePersonnel::Nom, a, b) < 0; });
    QStringList attendu;
    for (const Personnel& p : tous)
        attendu << cle(p);
    EXPECT_EQ(parcourir(page), attendu);
    std::reverse(attendu.begin(), attendu.end());
    EXPECT_EQ(parcourir(page, true), attendu);
}

TEST_F(PagePersonnelTest, MatriculeOrderPlacesEveryEmployeeOnce)
{
    // Employees without a matricule first, in file order, then the others by matricule.
    ajouter(employe(1, QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("m30")));
    ajouter(employe(2, QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("")));
    ajouter(employe(3, QStringLiteral("C"), QStringLiteral("x"), QStringLiteral("M10")));
    ajouter(employe(4, QStringLiteral("D"), QStringLiteral("x"), QStringLiteral("")));
    ajouter(employe(5, QStringLiteral("E"), QStringLiteral("x"), QStringLiteral("m20")));
    ajouter(employe(6, QStringLiteral("F"), QStringLiteral("x"), QStringLiteral("")));
    for (int taille : {1, 2, 4, 10}) {
        PagePersonnel page(*base, OrdrePersonnel::Matricule, taille);
        const QStringList attendu{"B/", "D/", "F/", "C/M10", "E/m20", "A/m30"};
        EXPECT_EQ(parcourir(page), attendu) << taille;
        QStringList inverse = attendu;
        std::reverse(inverse.begin(), inverse.end());
        EXPECT_EQ(parcourir(page, true), inverse) << taille;
    }
    // The current employee stays current across orders, also one without a matricule.
    PagePersonnel page(*base, OrdrePersonnel::Nom, 3);
    ASSERT_TRUE(page.allerDebut().ok());
    ASSERT_TRUE(page.deplacer(3).ok());
    ASSERT_EQ(page.employeCourant()->NOM, QStringLiteral("D"));
    ASSERT_TRUE(page.changerOrdre(OrdrePersonnel::Matricule).ok());
    EXPECT_EQ(page.employeCourant()->NOM, QStringLiteral("D"));
    ASSERT_TRUE(page.changerOrdre(OrdrePersonnel::Carte).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 4);
    EXPECT_EQ(page.lignes().size(), size_t(3));
}

TEST_F(PagePersonnelTest, MovesReadOnlyWhatComesIntoView)
{
    for (qint16 carte = 1; carte <= 40; ++carte)
        ajouter(employe(carte * 10, QStringLiteral("NOM%1").arg(carte, 2, 10, QLatin1Char('0'))));
    PagePersonnel page(*base, OrdrePersonnel::Carte, 8);
    ASSERT_TRUE(page.allerDebut().ok());
    EXPECT_EQ(page.courante(), 0);
    ASSERT_TRUE(page.deplacer(8).ok()); // a page down
    EXPECT_EQ(page.employeCourant()->CARTE, 90);
    EXPECT_EQ(page.lignes().front().CARTE, 20);
    EXPECT_EQ(page.courante(), 7);
    // Scrolling keeps the current employee while it is in view.
    ASSERT_TRUE(page.defiler(3).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 90);
    EXPECT_EQ(page.courante(), 4);
    ASSERT_TRUE(page.defiler(30).ok());
    EXPECT_EQ(page.lignes().back().CARTE, 400);
    EXPECT_EQ(page.courante(), 0);
    ASSERT_TRUE(page.defiler(-100).ok());
    EXPECT_EQ(page.lignes().front().CARTE, 10);
    EXPECT_EQ(page.courante(), 7);

    // Filled around a key near the end: the page stays full, the employee found is current.
    Personnel cle;
    cle.CARTE = 395;
    ASSERT_TRUE(page.remplirAutour(cle, 0).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 400);
    EXPECT_EQ(page.lignes().size(), size_t(8));
    cle.CARTE = 155;
    ASSERT_TRUE(page.remplirAutour(cle, 3).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 160);
    EXPECT_EQ(page.courante(), 3);
    // A bigger page is filled around the current employee.
    ASSERT_TRUE(page.changerTaille(12).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 160);
    EXPECT_EQ(page.lignes().size(), size_t(12));
    // Gone from the file: the next one takes its place.
    sql(FileId::Personnel, "DELETE FROM PERSONNEL WHERE CARTE = 160");
    ASSERT_TRUE(page.rafraichir().ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 170);
}

TEST_F(PagePersonnelTest, ScrollBarPositionsSpreadOverTheKeys)
{
    for (qint16 carte = 1; carte <= 200; ++carte)
        ajouter(employe(carte, QStringLiteral("N%1").arg(carte)));
    PagePersonnel page(*base, OrdrePersonnel::Carte, 5);
    ASSERT_TRUE(page.calculerPositions().ok());
    ASSERT_TRUE(page.allerPosition(1).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 1);
    EXPECT_EQ(page.position(), 1);
    ASSERT_TRUE(page.allerPosition(50).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 1 + 199 * 49 / 99);
    EXPECT_EQ(page.position(), 50);
    ASSERT_TRUE(page.allerPosition(100).ok());
    EXPECT_EQ(page.employeCourant()->CARTE, 200);
    EXPECT_EQ(page.position(), 100);

    // Texts: never decreasing, from the first key to the last.
    const std::vector<QString> t = positionsTexte(QStringLiteral("ABEL"), QStringLiteral("ZOLA"));
    ASSERT_EQ(t.size(), size_t(100));
    EXPECT_EQ(comparerTexte(t.front(), u"abel"), 0);
    EXPECT_EQ(comparerTexte(t.back(), u"zola"), 0);
    for (size_t i = 1; i < t.size(); ++i)
        EXPECT_LE(comparerTexte(t[i - 1], t[i]), 0) << i;
    EXPECT_LT(comparerTexte(t[49], u"n"), 0);
    EXPECT_GT(comparerTexte(t[49], u"l"), 0);
}

TEST_F(PagePersonnelTest, LetterLocatorWalksTheNamesOfALetter)
{
    for (auto [carte, nom] : {std::pair{1, "BERNARD"},
                              {2, "dupont"},
                              {3, "DAVID"},
                              {4, "Denis"},
                              {5, "MARTIN"},
                              {6, "CARON"},
                              {7, "ÉMILE"},
                              {8, "ZOLA"}})
        ajouter(employe(qint16(carte), QString::fromUtf8(nom)));
    PagePersonnel page(*base, OrdrePersonnel::Nom, 4);
    ASSERT_TRUE(page.allerDebut().ok());
    auto nom = [&] { return page.employeCourant()->NOM; };
    const QChar d(u'd');
    ASSERT_TRUE(page.localiser(d).ok());
    EXPECT_EQ(nom(), QStringLiteral("DAVID"));
    ASSERT_TRUE(page.localiser(d).ok());
    EXPECT_EQ(nom(), QStringLiteral("Denis"));
    ASSERT_TRUE(page.localiser(QChar(u'D')).ok());
    EXPECT_EQ(nom(), QStringLiteral("dupont"));
    ASSERT_TRUE(page.localiser(d).ok()); // past the D names: back to the first
    EXPECT_EQ(nom(), QStringLiteral("DAVID"));
    ASSERT_TRUE(page.localiser(QChar(u'é')).ok());
    EXPECT_EQ(nom(), QStringLiteral("ÉMILE"));
    ASSERT_TRUE(page.localiser(QChar(u'z')).ok());
    EXPECT_EQ(nom(), QStringLiteral("ZOLA"));
    ASSERT_TRUE(page.localiser(QChar(u'z')).ok()); // past the Z names: back to the first
    EXPECT_EQ(nom(), QStringLiteral("ZOLA"));
    ASSERT_TRUE(page.localiser(QChar(u'y')).ok()); // no name: the first one not below Y
    EXPECT_EQ(nom(), QStringLiteral("ZOLA"));
    // Only the name order has a locator.
    ASSERT_TRUE(page.changerOrdre(OrdrePersonnel::Carte).ok());
    ASSERT_TRUE(page.localiser(QChar(u'b')).ok());
    EXPECT_EQ(nom(), QStringLiteral("ZOLA"));
}
