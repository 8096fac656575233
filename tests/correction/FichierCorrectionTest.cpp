// The grid's reads and writes of POINTVAL: a week loaded with its missing day lines created, the save pass by
// save mode with its questions, a save refused by the store that writes nothing and says so, the clear of a
// day, the moves from employee to employee, and the draft on disk.
#include "correction/FichierCorrection.h"

#include "InstallationTest.h"
#include "correction/BrouillonCorrection.h"
#include "correction/PasseSauvegarde.h"
#include "data/Journal.h"

using namespace kip;
using essai::h;

namespace {

class FichierCorrectionTest : public InstallationTest
{
protected:
    const qint32 lundi = LundiDimanche(dayNumber(2026, 12, 9)).lundi;

    GrilleSemaine charger(const Personnel& p, qint32 l)
    {
        SemaineLue lue;
        EXPECT_TRUE(chargerSemaine(*base, p, l, lue).ok());
        EXPECT_TRUE(lue.preparation.ok());
        GrilleSemaine g;
        g.charger(p, l, lue.lignes);
        return g;
    }

    QString questionPosee(int i) const { return presenter.shown().value(i).text; }
};

} // namespace

TEST_F(FichierCorrectionTest, LoadingAWeekCreatesItsMissingLines)
{
    Personnel p = employe(3, QStringLiteral("MARTIN"));
    p.PERIODE_INACTIVITE_DEBUT[0] = lundi + 7 + 5; // Saturday and Sunday of next week inactive
    p.PERIODE_INACTIVITE_FIN[0] = lundi + 7 + 6;
    ajouter(p);
    ajouter(journee(p, lundi, {h(8), h(12)}));
    GrilleSemaine g = charger(p, lundi);
    EXPECT_EQ(contenu<kip::PointVal>().size(), 7);
    EXPECT_EQ(g.jour(0).total, h(4));
    EXPECT_EQ(g.premierJourAffiche(), 0);
    // A later week: the lines of its active days only; the inactive days are hidden.
    g = charger(p, lundi + 7);
    EXPECT_EQ(contenu<kip::PointVal>().size(), 12);
    EXPECT_FALSE(g.jour(4).cache);
    EXPECT_TRUE(g.jour(5).cache);
    EXPECT_TRUE(g.jour(6).cache);
    EXPECT_FALSE(lire(3, lundi + 7 + 5));
    // An existing line that became inactive keeps its punches and is hidden.
    p.DATE_DEBAUCHE = lundi + 2;
    g = charger(p, lundi);
    EXPECT_TRUE(g.jour(3).cache);
    EXPECT_EQ(lire(3, lundi + 3)->INACTIF, 1);
    EXPECT_EQ(lire(3, lundi)->TOTAL, h(4));
}

TEST_F(FichierCorrectionTest, SaveModesAskAndWrite)
{
    const Personnel p = ajouter(employe(3, QStringLiteral("MARTIN")));
    GrilleSemaine g = charger(p, lundi);
    ModeSauvegarde mode = ModeSauvegarde::Others;
    // Nothing changed: no question, nothing written.
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::RienAEcrire);
    EXPECT_TRUE(presenter.shown().isEmpty());

    // "others", No: nothing written, the edits are dropped by the caller, the question stays.
    ASSERT_EQ(g.saisir(0, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(0, 1, QStringLiteral("12")).etat, GrilleSemaine::Saisie::Acceptee);
    presenter.answer(ButtonNo);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Abandonnee);
    EXPECT_EQ(mode, ModeSauvegarde::Others);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].title, QStringLiteral("Sauvegarde de la semaine"));
    EXPECT_EQ(questionPosee(0), QStringLiteral("Voulez vous sauvegarder ?\r\nCliquez Oui = sauvegarde\r\nCliquez Ok = "
                                               "sauvegarde et ne plus poser la question"));
    EXPECT_EQ(presenter.shown()[0].buttons, ButtonOk | ButtonYes | ButtonNo);
    EXPECT_EQ(presenter.shown()[0].defaultButton, ButtonYes);
    EXPECT_EQ(lire(3, lundi)->TOTAL, 0);

    // Yes: written, and the next pass asks again.
    presenter.answer(ButtonYes);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    EXPECT_EQ(mode, ModeSauvegarde::Others);
    PointVal v = *lire(3, lundi);
    EXPECT_EQ(v.TOTAL, h(4));
    EXPECT_EQ(v.MODIF, 1);
    EXPECT_EQ(v.POINTAGE_UTILISATEUR[1], h(12));
    EXPECT_EQ(v.POINTAGE_PROGRAMME[0], PunchEmpty);

    // OK: written, and no question until the window closes.
    g = charger(p, lundi);
    ASSERT_EQ(g.saisir(1, 0, QStringLiteral("9")).etat, GrilleSemaine::Saisie::Acceptee);
    presenter.answer(ButtonOk);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    EXPECT_EQ(mode, ModeSauvegarde::SaveAuto);
    g = charger(p, lundi);
    ASSERT_EQ(g.saisir(2, 0, QStringLiteral("9")).etat, GrilleSemaine::Saisie::Acceptee);
    const qsizetype questions = presenter.shown().size();
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    EXPECT_EQ(presenter.shown().size(), questions);
    EXPECT_EQ(lire(3, lundi + 2)->POINTAGE_UTILISATEUR[0], h(9));

    // Leaving the window: one question; No writes nothing.
    g = charger(p, lundi);
    ASSERT_EQ(g.saisir(3, 0, QStringLiteral("10")).etat, GrilleSemaine::Saisie::Acceptee);
    mode = ModeSauvegarde::Cancel;
    presenter.answer(ButtonNo);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Abandonnee);
    EXPECT_EQ(questionPosee(int(presenter.shown().size()) - 1), QStringLiteral("Sauvegarder avant de quitter ?"));
    EXPECT_EQ(presenter.shown().last().buttons, ButtonYes | ButtonNo);
    EXPECT_EQ(lire(3, lundi + 3)->POINTAGE_UTILISATEUR[0], PunchEmpty);
    presenter.answer(ButtonYes);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    EXPECT_EQ(lire(3, lundi + 3)->POINTAGE_UTILISATEUR[0], h(10));

    // An explicit save never asks; a changed day that does not read stops it before anything is written.
    g = charger(p, lundi);
    ASSERT_EQ(g.saisir(4, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    g.poser(5, 3, QStringLiteral("7.75"));
    mode = ModeSauvegarde::Explicite;
    const qsizetype avant = presenter.shown().size();
    const IssuePasse i = passeSauvegarde(*base, g, mode);
    EXPECT_EQ(i.etat, IssuePasse::Invalide);
    EXPECT_EQ(i.jour, 5);
    EXPECT_EQ(i.colonne, 3);
    EXPECT_EQ(presenter.shown().size(), avant);
    EXPECT_EQ(lire(3, lundi + 4)->POINTAGE_UTILISATEUR[0], PunchEmpty);
}

TEST_F(FichierCorrectionTest, ARefusedSaveWritesNothingAndSaysSo)
{
    const Personnel p = ajouter(employe(3, QStringLiteral("MARTIN")));
    GrilleSemaine g = charger(p, lundi);
    ASSERT_EQ(g.saisir(0, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(3, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    // The store refuses Thursday's line, after Monday's was written in the same pass.
    const QByteArray refus = QStringLiteral("CREATE TRIGGER refus BEFORE UPDATE ON POINTVAL WHEN NEW.DATE = %1 BEGIN "
                                            "SELECT RAISE(ABORT, 'disque plein'); END")
                                 .arg(lundi + 3)
                                 .toUtf8();
    sql(FileId::PointVal, refus.constData());
    ModeSauvegarde mode = ModeSauvegarde::SaveAuto;
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Echec);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 15);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("POINTVAL")))
        << presenter.shown()[0].text.toStdString();
    EXPECT_EQ(lire(3, lundi)->POINTAGE_UTILISATEUR[0], PunchEmpty);
    // The edits are still there to be saved once the store takes them.
    sql(FileId::PointVal, "DROP TRIGGER refus");
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    EXPECT_EQ(lire(3, lundi)->POINTAGE_UTILISATEUR[0], h(8));
    EXPECT_EQ(lire(3, lundi + 3)->POINTAGE_UTILISATEUR[0], h(8));
}

TEST_F(FichierCorrectionTest, SaveKeepsTheSlotsBeyondFourteenAndPassesOverAGoneLine)
{
    const Personnel p = ajouter(employe(3, QStringLiteral("MARTIN")));
    PointVal v = journee(p, lundi, {h(8), h(12)});
    v.POINTAGE_UTILISATEUR[17] = 123;
    ajouter(v);
    GrilleSemaine g = charger(p, lundi);
    ASSERT_EQ(g.saisir(0, 1, QStringLiteral("11.30")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(1, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    sql(FileId::PointVal, QStringLiteral("DELETE FROM POINTVAL WHERE DATE = %1").arg(lundi + 1).toUtf8().constData());
    ModeSauvegarde mode = ModeSauvegarde::Explicite;
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    v = *lire(3, lundi);
    EXPECT_EQ(v.POINTAGE_UTILISATEUR[1], h(11, 30));
    EXPECT_EQ(v.POINTAGE_UTILISATEUR[17], 123);
    EXPECT_EQ(v.TOTAL, h(3, 30));
    EXPECT_FALSE(lire(3, lundi + 1));
}

TEST_F(FichierCorrectionTest, ClearingADay)
{
    const Personnel p = ajouter(employe(3, QStringLiteral("MARTIN")));
    // An empty programme line: the cleared user line equals it, POV:MODIF stays 0.
    PointVal vide = journee(p, lundi);
    vide.POINTAGE_UTILISATEUR[0] = qint16(h(9));
    vide.MODIF = 1;
    vide.TOTAL = 5;
    ajouter(vide);
    ASSERT_TRUE(effacerJournee(*base, 3, lundi).ok());
    PointVal v = *lire(3, lundi);
    EXPECT_EQ(v.MODIF, 0);
    EXPECT_EQ(v.TOTAL, 0);
    for (qint16 u : v.POINTAGE_UTILISATEUR)
        EXPECT_EQ(u, PunchEmpty);
    // With programme punches: POV:MODIF 1, the origin and programme lines untouched.
    ajouter(journee(p, lundi + 1, {h(8), h(12)}));
    ASSERT_TRUE(effacerJournee(*base, 3, lundi + 1).ok());
    v = *lire(3, lundi + 1);
    EXPECT_EQ(v.MODIF, 1);
    EXPECT_EQ(v.TOTAL, 0);
    EXPECT_EQ(v.POINTAGE_UTILISATEUR[0], PunchEmpty);
    EXPECT_EQ(v.POINTAGE_PROGRAMME[1], h(12));
    EXPECT_EQ(v.POINTAGE_ORIGINE[0], h(8));
    EXPECT_EQ(effacerJournee(*base, 3, lundi + 5).code, NotFound);
}

TEST_F(FichierCorrectionTest, NextAndPreviousEmployeeWrapAround)
{
    const Personnel a = ajouter(employe(5, QStringLiteral("ZOLA")));
    const Personnel b = ajouter(employe(9, QStringLiteral("ADAM")));
    const Personnel c = ajouter(employe(7, QStringLiteral("MARTIN")));
    Personnel v;
    ASSERT_TRUE(employeVoisin(*base, OrdrePersonnel::Carte, a, Direction::Forward, v).ok());
    EXPECT_EQ(v.CARTE, 7);
    ASSERT_TRUE(employeVoisin(*base, OrdrePersonnel::Carte, b, Direction::Forward, v).ok());
    EXPECT_EQ(v.CARTE, 5);
    ASSERT_TRUE(employeVoisin(*base, OrdrePersonnel::Carte, a, Direction::Backward, v).ok());
    EXPECT_EQ(v.CARTE, 9);
    ASSERT_TRUE(employeVoisin(*base, OrdrePersonnel::Nom, c, Direction::Forward, v).ok());
    EXPECT_EQ(v.NOM, QStringLiteral("ZOLA"));
    ASSERT_TRUE(employeVoisin(*base, OrdrePersonnel::Nom, a, Direction::Forward, v).ok());
    EXPECT_EQ(v.NOM, QStringLiteral("ADAM"));
}

TEST_F(FichierCorrectionTest, DraftOnDisk)
{
    Brouillon b;
    b.carte = 42;
    b.lundi = lundi;
    TextesJour t;
    t[0] = QStringLiteral("22.00");
    t[1] = QStringLiteral("a|b%");
    t[13] = QStringLiteral("é ");
    b.jours[4] = t;
    const QString chemin = cheminBrouillon();
    EXPECT_FALSE(lireBrouillon(chemin));
    ASSERT_TRUE(ecrireBrouillon(chemin, b).ok());
    const std::optional<Brouillon> lu = lireBrouillon(chemin);
    ASSERT_TRUE(lu);
    EXPECT_EQ(*lu, b);
    effacerBrouillon(chemin);
    EXPECT_FALSE(lireBrouillon(chemin));
    // A file cut short or of another kind is no draft.
    EXPECT_FALSE(brouillonDeTexte("Kip brouillon de correction 1\r\ncarte=4\r\n"));
    EXPECT_FALSE(brouillonDeTexte("autre chose\r\ncarte=4\r\nlundi=5\r\n"));
    EXPECT_FALSE(brouillonDeTexte(texteBrouillon(b).replace("|", "")));
}

TEST_F(FichierCorrectionTest, EveryCorrectedDayIsJournalledInItsSaveAndOnlyThen)
{
    auto journal = [this] {
        std::vector<Journal> entrees;
        EXPECT_TRUE(lireJournal(*base, {}, entrees).ok());
        return entrees;
    };
    EXPECT_TRUE(journal().empty()); // not created yet
    EXPECT_FALSE(QFile::exists(paths().file(FileId::Journal)));
    const Personnel p = ajouter(employe(3, QStringLiteral("MARTIN")));
    ajouter(journee(p, lundi + 1, {h(8), h(12)}));
    GrilleSemaine g = charger(p, lundi);
    // Two days changed, one typed over with the value it had.
    ASSERT_EQ(g.saisir(0, 0, QStringLiteral("8")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(0, 1, QStringLiteral("12")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(1, 1, QStringLiteral("12.30")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(2, 0, QStringLiteral("")).etat, GrilleSemaine::Saisie::Acceptee);

    // A No to "Sauvegarder avant de quitter ?" writes no entry.
    ModeSauvegarde mode = ModeSauvegarde::Cancel;
    presenter.answer(ButtonNo);
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Abandonnee);
    EXPECT_TRUE(journal().empty());

    // A failed save leaves neither the change nor the entry.
    commonOpen(FileId::Journal);
    sql(FileId::Journal, "CREATE TRIGGER refus BEFORE INSERT ON JOURNAL WHEN NEW.JOUR <> 0 BEGIN "
                         "SELECT RAISE(ABORT, 'journal plein'); END");
    mode = ModeSauvegarde::SaveAuto;
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Echec);
    EXPECT_EQ(lire(3, lundi)->POINTAGE_UTILISATEUR[0], PunchEmpty);
    EXPECT_EQ(lire(3, lundi + 1)->TOTAL, h(4));
    EXPECT_TRUE(journal().empty());
    sql(FileId::Journal, "DROP TRIGGER refus");

    // The save of the two changed days: two entries, with the values before and after.
    EXPECT_EQ(passeSauvegarde(*base, g, mode).etat, IssuePasse::Enregistree);
    const std::vector<Journal> entrees = journal();
    ASSERT_EQ(entrees.size(), 2u);
    EXPECT_EQ(entrees[0].JOUR, lundi);
    EXPECT_EQ(entrees[0].AVANT, QStringLiteral("(aucun) = 0.00"));
    EXPECT_EQ(entrees[0].APRES, QStringLiteral("8.00 12.00 = 4.00"));
    EXPECT_EQ(entrees[1].JOUR, lundi + 1);
    EXPECT_EQ(entrees[1].AVANT, QStringLiteral("8.00 12.00 = 4.00"));
    EXPECT_EQ(entrees[1].APRES, QStringLiteral("8.00 12.30 = 4.30"));
    for (const Journal& e : entrees) {
        EXPECT_EQ(e.CARTE, 3);
        EXPECT_EQ(e.NOM, QStringLiteral("MARTIN"));
        EXPECT_EQ(e.CAUSE, QString::fromUtf8(CauseJournal::CorrectionJournee));
    }

    // The clear request: one entry; the clear of an empty line none.
    ASSERT_TRUE(effacerJournee(*base, 3, lundi + 1).ok());
    ASSERT_TRUE(effacerJournee(*base, 3, lundi + 4).ok());
    std::vector<Journal> jour;
    ASSERT_TRUE(lireJournalJournee(*base, 3, lundi + 1, jour).ok());
    ASSERT_EQ(jour.size(), 2u); // newest first
    EXPECT_EQ(jour[0].CAUSE, QString::fromUtf8(CauseJournal::EffacementJournee));
    EXPECT_EQ(jour[0].AVANT, QStringLiteral("8.00 12.30 = 4.30"));
    EXPECT_EQ(jour[0].APRES, QStringLiteral("(aucun) = 0.00"));
    EXPECT_EQ(jour[1].CAUSE, QString::fromUtf8(CauseJournal::CorrectionJournee));
    EXPECT_EQ(journal().size(), 3u);
}
