// The punch list's reads: the attendance filter on the worked example, the four orders against a plain sort
// of the same lines (ranges, inactive lines, paging both ways, never more rows than the page), the scroll
// bar's positions, and the range as the operator sets it.
#include "InstallationTest.h"
#include "correction/BornesPointage.h"
#include "correction/PagePointage.h"
#include "employees/LecturePersonnel.h"

#include <algorithm>
#include <random>

using namespace kip;
using essai::h;

namespace {

class LecturePointageTest : public InstallationTest
{
protected:
    // Every line of the order, walked down one row at a time from the first, and up from the last.
    std::vector<qint64> parcourir(PagePointage& page, bool versLeHaut)
    {
        std::vector<qint64> vus;
        EXPECT_TRUE((versLeHaut ? page.allerFin() : page.allerDebut()).ok());
        for (int garde = 0; garde < 5000 && page.ligneCourante(); ++garde) {
            EXPECT_LE(int(page.lignes().size()), page.taille());
            vus.push_back(page.ligneCourante()->rowid);
            const qint64 avant = page.ligneCourante()->rowid;
            EXPECT_TRUE(page.deplacer(versLeHaut ? -1 : 1).ok());
            if (page.ligneCourante()->rowid == avant)
                break;
        }
        if (versLeHaut)
            std::reverse(vus.begin(), vus.end());
        return vus;
    }

    static int comparer(OrdrePointage ordre, const PointVal& a, const PointVal& b)
    {
        auto nombre = [](qint64 x, qint64 y) { return x == y ? 0 : (x < y ? -1 : 1); };
        auto nom = [](const PointVal& x, const PointVal& y) {
            const int c = comparerTexte(x.NOM, y.NOM);
            return c != 0 ? c : comparerTexte(x.PRENOM, y.PRENOM);
        };
        int c = 0;
        switch (ordre) {
        case OrdrePointage::DateCarte:
            c = nombre(a.DATE, b.DATE);
            return c != 0 ? c : nombre(a.CARTE, b.CARTE);
        case OrdrePointage::CarteDate:
            c = nombre(a.CARTE, b.CARTE);
            return c != 0 ? c : nombre(a.DATE, b.DATE);
        case OrdrePointage::DateNom:
            c = nombre(a.DATE, b.DATE);
            return c != 0 ? c : nom(a, b);
        case OrdrePointage::NomDate:
            c = nom(a, b);
            return c != 0 ? c : nombre(a.DATE, b.DATE);
        }
        return 0;
    }
};

} // namespace

TEST_F(LecturePointageTest, AttendanceFilterOnTheWorkedExample)
{
    const std::initializer_list<int> jour = {h(8), h(12), h(13, 30), h(17, 30)};
    const Personnel quatre = ajouter(employe(1, QStringLiteral("QUATRE")));
    Personnel p = employe(2, QStringLiteral("SIX"));
    p.NOMBRE = 6;
    const Personnel six = ajouter(p);
    const qint32 lundi = dayNumber(2026, 12, 7);
    ajouter(journee(quatre, lundi, jour));
    ajouter(journee(six, lundi, jour));
    ajouter(journee(quatre, lundi + 1, {h(8), h(12), h(13, 30)}));
    ajouter(journee(quatre, lundi + 2));
    // The line of a card without an employee counts N = 0.
    ajouter(journee(employe(3, QStringLiteral("PARTI")), lundi, jour));

    struct Cas
    {
        Presence presence;
        QChar code;
        std::vector<std::pair<int, int>> lignes; // card, day of the week
    };
    const Cas cas[] = {
        {Presence::Tous, u'T', {{1, 0}, {1, 1}, {1, 2}, {2, 0}, {3, 0}}},
        {Presence::Presence, u'P', {{1, 0}, {1, 1}, {2, 0}, {3, 0}}},
        {Presence::Absence, u'A', {{1, 2}}},
        {Presence::PairsEgal, u'=', {{1, 0}}},
        {Presence::PairsDifferent, u'~', {{2, 0}, {3, 0}}},
        {Presence::Impairs, u'I', {{1, 1}}},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(codePresence(c.presence), c.code);
        PlagePointage plage{lundi, lundi + 6, 1, 9999, c.presence};
        LecturePointage lecture(*base, OrdrePointage::CarteDate, plage);
        std::vector<PointVal> lus;
        ASSERT_TRUE(lecture.premiers(50, lus).ok());
        std::vector<std::pair<int, int>> vus;
        for (const PointVal& v : lus)
            vus.emplace_back(v.CARTE, v.DATE - lundi);
        EXPECT_EQ(vus, c.lignes) << c.code.toLatin1();
        // Read once per run of lines of the same card.
        EXPECT_EQ(lecture.employesLus(), c.presence == Presence::Tous ? 0 : 3) << c.code.toLatin1();
    }
}

TEST_F(LecturePointageTest, FourOrdersAgainstAPlainSort)
{
    std::mt19937 alea(11);
    const QStringList noms = {QStringLiteral("martin"), QStringLiteral("MARTINEZ"), QStringLiteral("Émile"),
                              QStringLiteral("adam"),   QStringLiteral("Zola"),     QStringLiteral("du Pont")};
    const qint32 premier = dayNumber(2026, 10, 1);
    std::vector<PointVal> toutes;
    for (int i = 0; i < noms.size(); ++i) {
        const Personnel p = ajouter(employe(qint16(10 + 7 * ((i * 5) % noms.size())), noms[i]));
        for (qint32 d = premier; d < premier + 40; ++d) {
            if (alea() % 5 == 0)
                continue; // no line that day
            const int n = int(alea() % 5);
            std::vector<int> punches;
            for (int k = 0; k < n; ++k)
                punches.push_back(h(7 + 2 * k));
            PointVal v = journee(p, d, {}, alea() % 7 == 0);
            for (int k = 0; k < n; ++k)
                v.POINTAGE_UTILISATEUR[size_t(k)] = qint16(punches[size_t(k)]);
            toutes.push_back(ajouter(v));
        }
    }
    struct Plage
    {
        qint32 du, au;
        qint16 c1, c2;
        Presence presence;
    };
    const Plage plages[] = {
        {premier, premier + 39, 1, 9999, Presence::Tous},
        {premier + 5, premier + 12, 17, 45, Presence::Tous},
        {premier + 3, premier + 30, 1, 9999, Presence::Impairs},
        {premier + 50, premier + 60, 1, 9999, Presence::Tous}, // nothing in range
        {premier, premier + 39, 24, 24, Presence::Presence},
    };
    for (const Plage& pl : plages) {
        const PlagePointage plage{pl.du, pl.au, pl.c1, pl.c2, pl.presence};
        for (int o = 1; o <= 4; ++o) {
            const auto ordre = static_cast<OrdrePointage>(o);
            std::vector<PointVal> attendues;
            for (const PointVal& v : toutes)
                if (!v.INACTIF && v.DATE >= pl.du && v.DATE <= pl.au && v.CARTE >= pl.c1 && v.CARTE <= pl.c2 &&
                    passePresence(pl.presence, v.POINTAGE_UTILISATEUR, 4))
                    attendues.push_back(v);
            std::sort(attendues.begin(), attendues.end(),
                      [&](const PointVal& a, const PointVal& b) { return comparer(ordre, a, b) < 0; });
            std::vector<qint64> attendu;
            for (const PointVal& v : attendues)
                attendu.push_back(v.rowid);
            if (pl.du == premier && pl.c1 == 1) {
                EXPECT_GT(attendu.size(), 100u); // the whole range: most of the lines
            }

            for (int taille : {1, 4, 9}) {
                PagePointage page(*base, ordre, plage, taille);
                ASSERT_TRUE(page.verifier().ok());
                EXPECT_EQ(parcourir(page, false), attendu) << "order " << o << " size " << taille;
                EXPECT_EQ(parcourir(page, true), attendu) << "order " << o << " size " << taille;
            }
            // The opening reads the first page with the ends of the order (beyond one batch of the filter too).
            for (int taille : {4, 70}) {
                PagePointage page(*base, ordre, plage, taille);
                ASSERT_TRUE(page.changer(ordre, plage).ok());
                std::vector<qint64> vus;
                for (const PointVal& v : page.lignes())
                    vus.push_back(v.rowid);
                const size_t n = std::min(attendu.size(), size_t(taille));
                EXPECT_EQ(vus, std::vector<qint64>(attendu.begin(), attendu.begin() + qsizetype(n)))
                    << "order " << o << " size " << taille;
            }
            if (attendu.empty())
                continue;
            // The scroll bar: the first position is the first line, the last one the last line's key, and the
            // positions of the lines never go down along the order.
            PagePointage page(*base, ordre, plage, 3);
            ASSERT_TRUE(page.calculerPositions().ok());
            ASSERT_TRUE(page.allerPosition(1).ok());
            EXPECT_EQ(page.ligneCourante()->rowid, attendu.front());
            EXPECT_EQ(page.position(), 1);
            ASSERT_TRUE(page.allerPosition(100).ok());
            EXPECT_EQ(comparer(ordre, *page.ligneCourante(), attendues.back()) <= 0, true);
            ASSERT_TRUE(page.allerDebut().ok());
            int derniere = 1;
            for (size_t i = 0; i < attendu.size(); ++i) {
                EXPECT_GE(page.position(), derniere);
                derniere = page.position();
                ASSERT_TRUE(page.deplacer(1).ok());
            }
            const PointVal& a = attendues.front();
            const PointVal& z = attendues.back();
            const bool unSeulTete = ordre == OrdrePointage::CarteDate ? a.CARTE == z.CARTE
                                    : ordre == OrdrePointage::NomDate ? comparerTexte(a.NOM, z.NOM) == 0
                                                                      : a.DATE == z.DATE;
            EXPECT_EQ(derniere, unSeulTete ? 1 : 100) << "order " << o;
        }
    }
}

TEST_F(LecturePointageTest, ChangingTheRangeKeepsTheCurrentLine)
{
    const Personnel a = ajouter(employe(1, QStringLiteral("ADAM")));
    const Personnel b = ajouter(employe(2, QStringLiteral("BERT")));
    const qint32 lundi = dayNumber(2026, 12, 7);
    for (int j = 0; j < 7; ++j) {
        ajouter(journee(a, lundi + j, {h(8), h(12)}));
        ajouter(journee(b, lundi + j));
    }
    PagePointage page(*base, OrdrePointage::DateCarte, {lundi, lundi + 6, 1, 2, Presence::Tous}, 4);
    ASSERT_TRUE(page.allerDebut().ok());
    ASSERT_TRUE(page.deplacer(5).ok());
    EXPECT_EQ(page.ligneCourante()->DATE, lundi + 2);
    EXPECT_EQ(page.ligneCourante()->CARTE, 2);
    // Another order: the same line.
    ASSERT_TRUE(page.changer(OrdrePointage::NomDate, page.plage()).ok());
    EXPECT_EQ(page.ligneCourante()->DATE, lundi + 2);
    EXPECT_EQ(page.ligneCourante()->CARTE, 2);
    // A filter that leaves it out: the next line that shows.
    ASSERT_TRUE(page.changer(OrdrePointage::NomDate, {lundi, lundi + 6, 1, 2, Presence::Absence}).ok());
    EXPECT_EQ(page.ligneCourante()->DATE, lundi + 2);
    ASSERT_TRUE(page.changer(OrdrePointage::NomDate, {lundi, lundi + 6, 1, 2, Presence::Presence}).ok());
    EXPECT_EQ(page.ligneCourante()->CARTE, 1);
    EXPECT_EQ(page.ligneCourante()->DATE, lundi + 6); // the last of ADAM's lines: the end of the order
}

TEST(BornesPointage, TheRangeAsTheOperatorSetsIt)
{
    Personnel premier, dernier;
    premier.CARTE = 4;
    premier.NOM = QStringLiteral("DUPONT");
    premier.PRENOM = QStringLiteral("Jean");
    dernier.CARTE = 812;
    dernier.NOM = QStringLiteral("ZOLA");
    dernier.PRENOM = QStringLiteral("Émile");
    const qint32 mercredi = dayNumber(2026, 12, 9);
    BornesPointage b(mercredi, premier, dernier);
    EXPECT_EQ(b.dateDebut(), dayNumber(2026, 12, 7));
    EXPECT_EQ(b.dateFin(), mercredi);
    EXPECT_EQ(TexteSemaine(b.semaineDebut()), QStringLiteral("Sem.: 50/2026"));
    EXPECT_EQ(TexteEmployeListe(b.employeDebut()), QStringLiteral("0004 DUPONT Jean"));
    EXPECT_EQ(TexteEmployeGrille(b.employeFin()), QStringLiteral("ZOLA Émile 0812"));

    // An end date before the start exchanges the two, with their weeks.
    b.choisirDateFin(dayNumber(2026, 11, 20));
    EXPECT_EQ(b.dateDebut(), dayNumber(2026, 11, 20));
    EXPECT_EQ(b.dateFin(), dayNumber(2026, 12, 7));
    EXPECT_EQ(b.semaineDebut().numero, 47);
    EXPECT_EQ(b.semaineFin().numero, 50);
    b.choisirDateDebut(dayNumber(2026, 12, 25));
    EXPECT_EQ(b.dateDebut(), dayNumber(2026, 12, 7));
    EXPECT_EQ(b.dateFin(), dayNumber(2026, 12, 25));
    // Weeks: an end week of an earlier year comes first; the dates span whole weeks.
    b.choisirSemaineFin({53, 2020});
    EXPECT_EQ(b.semaineDebut(), (Semaine{53, 2020}));
    EXPECT_EQ(b.semaineFin(), (Semaine{50, 2026}));
    EXPECT_EQ(b.dateDebut(), dayNumber(2020, 12, 28));
    EXPECT_EQ(b.dateFin(), dayNumber(2026, 12, 13));
    // Cards.
    b.choisirEmployeFin(premier);
    b.choisirEmployeDebut(dernier);
    EXPECT_EQ(b.employeDebut().CARTE, 4);
    EXPECT_EQ(b.employeFin().CARTE, 812);
    const PlagePointage p = b.plage(Presence::Impairs);
    EXPECT_EQ(p.carteDebut, 4);
    EXPECT_EQ(p.carteFin, 812);
    EXPECT_EQ(p.presence, Presence::Impairs);
}
