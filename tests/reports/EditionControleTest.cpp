// The control report on day lines written by the test: the three punch lines and the two indicators, the
// week's totals without the inactive lines, a card without a record, and one page per employee.
#include "reports/EditionControle.h"

#include "EditionsEssai.h"
#include "reports/TotauxSemaines.h"

#include <QRegularExpression>

using namespace kip;

namespace {

class EditionControleTest : public EditionsTest
{
protected:
    ResultatEdition controle(const ParametresEdition& p)
    {
        RapportControle r;
        lignes.clear();
        r.observateur = [this](const LigneControle& l) { lignes.push_back(l); };
        return executer(r, p);
    }
    ParametresEdition semaine() { return parametres(lundi(1), lundi(1) + 6); }
    std::vector<LigneControle> lignes;
};

using EditionControleSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<EditionControleTest>;

} // namespace

TEST_P(EditionControleSurLesDeuxMoteurs, AnInactiveLineIsPrintedTickedAndLeftOutOfTheWeek)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("+15"));
    minutes(p, lundi(1), 481);
    minutes(p, lundi(1) + 1, 300, 1); // inactive
    // Corrected by hand: the three lines differ. The programme's last punch is 47 h 59 from midnight.
    troisLignes(p, lundi(1) + 2, {478, 1023}, {480, 2879}, {480, 1020}, 1);
    const ResultatEdition r = controle(semaine());
    ASSERT_TRUE(r.complete());
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_EQ(lignes[1].INACTIF, 1);
    EXPECT_EQ(lignes[1].totalNormal, 481);
    EXPECT_EQ(lignes[2].programme[1], QStringLiteral("23.59"));
    EXPECT_EQ(lignes[2].totalNormal, 481 + 540);
    EXPECT_EQ(lignes[2].totalArrondi, 1035);
    EXPECT_EQ(lignes[2].texteArrondi, QStringLiteral("Arrondi aux 15 minutes supérieures"));

    ASSERT_EQ(r.pages.nombre(), 1);
    const ImagePage page = *r.pages.page(1);
    // Monday, Tuesday, Wednesday from the top.
    EXPECT_EQ(casesDe(page, QStringLiteral("Enregistrement inactif")), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(casesDe(page, QStringLiteral("Enregistrement modifié manuellement")),
              (std::vector<bool>{false, false, true}));
    const QStringList t = page.lignesDeTexte();
    EXPECT_TRUE(t.contains(QStringLiteral("Mercredi Origine: 7.58 17.03")));
    EXPECT_TRUE(t.contains(QStringLiteral("%1 Programme: 8.00 23.59").arg(DateTexte(lundi(1) + 2))));
    EXPECT_TRUE(t.contains(QStringLiteral("%1 2026 Utilisateur: 8.00 17.00 9.00").arg(NumeroSemaine(lundi(1)).numero)));
    EXPECT_TRUE(t.contains(QStringLiteral("Mardi Origine: 6.00 11.00")));

    const QStringList pdf = textePdf(r.pages);
    const QString semaineTexte = QString::number(NumeroSemaine(lundi(1)).numero);
    EXPECT_TRUE(pdf.contains(QStringLiteral("Semaine: Total normal de la semaine: 17.01")))
        << pdf.join(u'\n').toStdString();
    EXPECT_EQ(pdf.filter(QRegularExpression(QStringLiteral("^%1 ?/ ?2026 Type d'arrondi de semaine: \\+15 Arrondi aux "
                                                           "15 minutes supérieures Total arrondi de la semaine: "
                                                           "17\\.15$")
                                                .arg(semaineTexte)))
                  .size(),
              1);
    EXPECT_TRUE(pdf.contains(QStringLiteral("%1 Programme: 8.00 23.59").arg(DateTexte(lundi(1) + 2))));
    EXPECT_EQ(pdf.filter(QStringLiteral("Enregistrement modifié manuellement Enregistrement inactif")).size(), 3);
    EXPECT_EQ(pdf.filter(QStringLiteral("0012 MARTIN Paul M0012")).size(), 3);
}

// (A page per employee is checked for every such report in EditionSemaineTest.)
TEST_P(EditionControleSurLesDeuxMoteurs, TheWeekTotalsOfAnExportAreTheControlReportsWeeks)
{
    for (qint16 carte : {3, 7, 9}) {
        const Personnel p = salarie(carte, QStringLiteral("NOM%1").arg(carte), QStringLiteral("Léa"));
        for (int j = 0; j < (carte == 7 ? 1 : 7); ++j)
            minutes(p, lundi(1) + j, 420);
    }
    ASSERT_TRUE(controle(semaine()).complete());

    // The week totals of an export, from the same computation: the control report's and the weekly
    // reports' weeks agree.
    std::vector<TotauxSemainesEmploye> totaux;
    Database lien = connexion();
    ASSERT_TRUE(CalculerTotauxSemaines(lien, semaine(), totaux).complete());
    ASSERT_EQ(totaux.size(), 3u);
    EXPECT_EQ(totaux[0].semaines.size(), 1u);
    EXPECT_EQ(totaux[0].semaines[0].totalNormal, lignes[6].totalNormal);
    EXPECT_EQ(totaux[1].total, 420);
    EXPECT_EQ(totaux[2].semaines[0].totalArrondi, lignes.back().totalArrondi);
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EditionControleSurLesDeuxMoteurs, LesDeuxMoteurs);
