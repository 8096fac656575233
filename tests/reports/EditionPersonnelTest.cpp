// The employee list report on employees written by the test: the labels of the rounding codes, times always in
// hours and minutes, blank inactivity periods, the order and range of the sort mode, and no time-unit box.
#include "reports/EditionPersonnel.h"

#include "EditionsEssai.h"

#include <QRegularExpression>

using namespace kip;

namespace {

class EditionPersonnelTest : public EditionsTest
{
protected:
    ResultatEdition liste(const ParametresEdition& p)
    {
        RapportPersonnel r;
        lignes.clear();
        r.observateur = [this](const LignePersonnel& l) { lignes.push_back(l); };
        return executer(r, p);
    }
    // What the report selection hands the list: neither title nor dates.
    ParametresEdition selection(Tri tri = Tri::Numero)
    {
        ParametresEdition p = parametres(0, 0, tri);
        p.NOMEDITION.clear();
        return p;
    }
    std::vector<LignePersonnel> lignes;
};

using EditionPersonnelSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<EditionPersonnelTest>;

} // namespace

TEST_P(EditionPersonnelSurLesDeuxMoteurs, RulesPrintAsLabelsAndTimesInHoursAndMinutes)
{
    Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("-30"));
    p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("15");
    p.TOLERANCE_ENTREE = 3;
    p.DECALAGE_SORTIE = 7;
    p.DECALAGE_MINUIT = 90;
    p.EXTENSION = 240;
    p.NOMBRE = 6;
    p.PERIODE_INACTIVITE_DEBUT[0] = dayNumber(2026, 8, 3);
    p.PERIODE_INACTIVITE_FIN[0] = dayNumber(2026, 8, 21);
    RecordFile<Personnel> fichier(*base);
    ASSERT_TRUE(fichier.open().ok());
    ASSERT_EQ(fichier.put(p), NoError);
    salarie(20, QStringLiteral("NOEL"), QStringLiteral("Anne"));

    ParametresEdition par = selection();
    par.centiemes = true; // "H et 100e": not for this report
    const ResultatEdition r = liste(par);
    ASSERT_TRUE(r.complete());
    ASSERT_EQ(lignes.size(), 2u);
    EXPECT_EQ(lignes[0].texteEntree, QStringLiteral("Arrondi aux 15 minutes supérieures"));
    EXPECT_EQ(lignes[0].texteSortie, QStringLiteral("Arrondi aux 15 minutes inférieures"));
    EXPECT_EQ(lignes[0].texteSemaine, QStringLiteral("Arrondi aux 30 minutes inférieures"));
    EXPECT_EQ(lignes[0].decalage, QStringLiteral("1.30"));
    EXPECT_EQ(lignes[0].extension, QStringLiteral("4.00"));
    EXPECT_EQ(lignes[0].debuts[0], QStringLiteral("03/08/2026"));
    EXPECT_TRUE(lignes[0].debuts[1].isEmpty());
    EXPECT_TRUE(lignes[1].fins[0].isEmpty());
    EXPECT_EQ(lignes[1].texteEntree, QStringLiteral("Pas d'arrondi"));

    const QStringList pdf = textePdf(r.pages);
    const QString tout = pdf.join(u'\n');
    EXPECT_TRUE(tout.contains(QStringLiteral("Entrée: Arrondi aux 15 minutes supérieures 03 00")))
        << tout.toStdString();
    EXPECT_TRUE(tout.contains(QStringLiteral("Sortie: Arrondi aux 15 minutes inférieures 00 07")));
    EXPECT_TRUE(tout.contains(QStringLiteral("Décalage minuit: 1.30")));
    EXPECT_TRUE(tout.contains(QStringLiteral("Extension de journée: 4.00")));
    EXPECT_TRUE(tout.contains(QStringLiteral("Nombre théorique de pointages par jour: 06")));
    EXPECT_TRUE(tout.contains(QStringLiteral("03/08/2026 21/08/2026")));
    EXPECT_TRUE(tout.contains(QStringLiteral("Edition du personnel")));
    EXPECT_EQ(pdf.filter(QStringLiteral("Identité Paramètres Périodes d'inactivité")).size(), 1);
    // Ten empty periods of the second employee and nine of the first: no date of zero, no stray date.
    EXPECT_FALSE(tout.contains(QStringLiteral("00/00/0000")));
    EXPECT_FALSE(tout.contains(QStringLiteral("1899")));
    EXPECT_EQ(tout.count(QRegularExpression(QStringLiteral("\\d\\d/\\d\\d/\\d{4}"))), 3); // the print date too
    // No time unit on this report, and no title but its own.
    EXPECT_FALSE(tout.contains(QStringLiteral("centièmes")));
    EXPECT_FALSE(tout.contains(QStringLiteral("Edition d'essai")));
    EXPECT_TRUE(tout.contains(QStringLiteral("Page: 0001")));
}

TEST_P(EditionPersonnelSurLesDeuxMoteurs, TheSortModeGivesTheOrderAndTheRange)
{
    salarie(1, QStringLiteral("ROBERT"), QStringLiteral("Zoé"), "000", QStringLiteral("C3"));
    salarie(2, QStringLiteral("AUBERT"), QStringLiteral("Luc"), "000", QStringLiteral("B2"));
    salarie(3, QStringLiteral("MARTIN"), QStringLiteral("Yves"), "000", QStringLiteral("A1"));
    salarie(4, QStringLiteral("MARTIN"), QStringLiteral("Anne"), "000", QStringLiteral("D4"));
    salarie(5, QStringLiteral("ZOLA"), QStringLiteral("Émile"), "000", QStringLiteral("E5"));
    auto cartes = [this] {
        QList<int> c;
        for (const LignePersonnel& l : lignes)
            c << l.employe.CARTE;
        return c;
    };

    ParametresEdition par = selection(Tri::Nom);
    par.nomDebut = QStringLiteral("AUBERT");
    par.nomFin = QStringLiteral("ROBERT");
    ResultatEdition r = liste(par);
    ASSERT_TRUE(r.complete());
    EXPECT_EQ(cartes(), (QList<int>{2, 4, 3, 1})); // name, then first name
    QStringList noms = lignesCommencantPar(textePdf(r.pages), QStringLiteral("MARTIN"));
    for (QString& n : noms)
        n.truncate(11);
    EXPECT_EQ(noms, (QStringList{"MARTIN Anne", "MARTIN Yves"}));

    par = selection(Tri::Matricule);
    par.matriculeDebut = QStringLiteral("B2");
    par.matriculeFin = QStringLiteral("D4");
    ASSERT_TRUE(liste(par).complete());
    EXPECT_EQ(cartes(), (QList<int>{2, 1, 4}));

    par = selection(Tri::Numero);
    par.carteDebut = 2;
    par.carteFin = 3;
    ASSERT_TRUE(liste(par).complete());
    EXPECT_EQ(cartes(), (QList<int>{2, 3}));

    // Nobody in the range: no report.
    par.carteDebut = 6;
    par.carteFin = 9;
    r = liste(par);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.pages.nombre(), 0);

    // An accented capital. The range is tested as the files compare keys (case folded on A to Z only, past them
    // the characters' codes: É after Z) on both engines, so both list the same employees; the order is the
    // store's name key, which on the server's collation (equal ignoring case too) puts É with E.
    salarie(6, QStringLiteral("ÉVRARD"), QStringLiteral("Paul"), "000", QStringLiteral("F6"));
    par = selection(Tri::Nom);
    par.nomFin = QStringLiteral("ÉZ");
    ASSERT_TRUE(liste(par).complete());
    EXPECT_EQ(cartes(), (surServeur() ? QList<int>{2, 6, 4, 3, 1, 5} : QList<int>{2, 4, 3, 1, 5, 6}));
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EditionPersonnelSurLesDeuxMoteurs, LesDeuxMoteurs);
