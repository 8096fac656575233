// The writes of the employee form with their messages: the insert and its duplicate keys, the change with its
// cascade into the day lines and its retry question, the delete with its confirmation.
#include "employees/FichierPersonnel.h"

#include "InstallationTest.h"
#include "data/Journal.h"
#include "employees/ReglesFiche.h"

using namespace kip;

namespace {

class FichierPersonnelTest : public InstallationTest
{
protected:
    Personnel relire(qint16 carte)
    {
        RecordFile<Personnel> file(*base);
        EXPECT_TRUE(file.open().ok());
        Personnel p;
        p.CARTE = carte;
        EXPECT_EQ(file.get(p, PER_K_CARTE), NoError);
        return p;
    }
};

} // namespace

TEST_F(FichierPersonnelTest, DuplicateKeysAreNamedAndNothingIsWritten)
{
    ajouter(employe(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("A1")));
    struct Cas
    {
        qint16 carte;
        const char* nom;
        const char* matricule;
        const char* cle;
    };
    for (const Cas& c : {Cas{13, "martin", "B2", "Clé sur nom et prénom"}, Cas{12, "MARTIN", "A1", "Clé sur nø carte"},
                         Cas{14, "DURAND", "a1", "Clé sur matricule"}}) {
        presenter.clear();
        Personnel p =
            employe(c.carte, QString::fromUtf8(c.nom), QStringLiteral("PAUL"), QString::fromUtf8(c.matricule));
        EXPECT_FALSE(ajouterEmploye(*base, p));
        ASSERT_EQ(presenter.shown().size(), 1);
        EXPECT_EQ(presenter.shown()[0].number, 24);
        EXPECT_EQ(presenter.shown()[0].text,
                  QStringLiteral("L'ajout de cet enregistrement crée un doublon dans la clé :") +
                      QString::fromUtf8(c.cle));
        EXPECT_EQ(p.rowid, 0);
        EXPECT_EQ(cartes(), QList<int>{12});
    }
    // Employees without a matricule can be many.
    presenter.clear();
    for (qint16 carte : {20, 21}) {
        Personnel p = employe(carte, QStringLiteral("SANS%1").arg(carte), QStringLiteral("Paul"), QStringLiteral(""));
        EXPECT_TRUE(ajouterEmploye(*base, p));
        EXPECT_GT(p.rowid, 0);
    }
    EXPECT_TRUE(presenter.shown().isEmpty());
}

TEST_F(FichierPersonnelTest, AnyOtherInsertErrorIsMessage14)
{
    sql(FileId::Personnel,
        "CREATE TRIGGER refuse BEFORE INSERT ON PERSONNEL BEGIN SELECT RAISE(ABORT, 'disque plein'); END;");
    Personnel p = employe(12, QStringLiteral("MARTIN"));
    EXPECT_FALSE(ajouterEmploye(*base, p));
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 14);
    // The driver's cause, in French.
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("Contrainte non respectée")));
    EXPECT_TRUE(cartes().isEmpty());
}

TEST_F(FichierPersonnelTest, ChangeOfCardReachesEveryDayLineOrNone)
{
    const Personnel stocke = ajouter(employe(12, QStringLiteral("MARTIN")));
    const Personnel autre = ajouter(employe(13, QStringLiteral("DURAND")));
    for (qint32 d = today - 5; d <= today; ++d) {
        ajouterJournee(stocke, d);
        ajouterJournee(autre, d);
    }
    Personnel copie = relire(12);
    Personnel fiche = copie;
    LinkValues liens = LinkValues::of(copie);
    // Nothing changed: nothing written, no question.
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens), IssueModification::Inchangee);
    EXPECT_EQ(relire(12).version, copie.version);

    // One day line refuses the change: the employee and every line keep their values, and message 16 asks
    // again as long as the answer is Yes.
    sql(FileId::PointVal, "CREATE TRIGGER refuse BEFORE UPDATE ON POINTVAL WHEN OLD.DATE = "
                          "(SELECT max(DATE) FROM POINTVAL) BEGIN SELECT RAISE(ABORT, 'panne'); END;");
    fiche.CARTE = 15;
    presenter.answer(ButtonOk);  // message 15
    presenter.answer(ButtonYes); // message 16: try again
    presenter.answer(ButtonOk);  // message 15
    presenter.answer(ButtonNo);  // message 16: leave without saving
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens), IssueModification::Abandonnee);
    QList<int> numeros;
    for (const MessageSpec& m : presenter.shown())
        numeros << m.number;
    EXPECT_EQ(numeros, (QList<int>{15, 16, 15, 16}));
    EXPECT_EQ(journees(12).size(), 6);
    EXPECT_TRUE(journees(15).isEmpty());
    EXPECT_EQ(relire(12).NOM, QStringLiteral("MARTIN"));

    presenter.clear();
    presenter.answer(ButtonOk);
    presenter.answer(ButtonCancel); // stay in the form
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens), IssueModification::Gardee);

    sql(FileId::PointVal, "DROP TRIGGER refuse;");
    presenter.clear();
    int attentes = 0;
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens, [&](bool a) { attentes += a ? 1 : -1; }),
              IssueModification::Enregistree);
    EXPECT_EQ(attentes, 0);
    EXPECT_TRUE(presenter.shown().isEmpty());
    EXPECT_EQ(journees(15).size(), 6);
    EXPECT_TRUE(journees(12).isEmpty());
    EXPECT_EQ(journees(13).size(), 6);
    // The next change starts from what was stored.
    EXPECT_EQ(liens.CARTE, 15);
    EXPECT_FALSE(differe(fiche, copie));
}

TEST_F(FichierPersonnelTest, ChangeMadeElsewhereIsReadBack)
{
    ajouter(employe(12, QStringLiteral("MARTIN")));
    Personnel copie = relire(12);
    Personnel fiche = copie;
    LinkValues liens = LinkValues::of(copie);
    // Another station renames the employee first.
    Database ailleurs(paths().dataDir);
    Personnel autre = copie;
    LinkValues liensAutre = LinkValues::of(autre);
    autre.NOM = QStringLiteral("MARTINEZ");
    EXPECT_EQ(updateEmployee(ailleurs, autre, liensAutre), NoError);

    fiche.TOLERANCE_ENTREE = 3;
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens), IssueModification::ModifieeAilleurs);
    EXPECT_EQ(presenter.shown().last().text, QStringLiteral("Cet enregistrement a été modifié par une autre station."));
    EXPECT_EQ(fiche.NOM, QStringLiteral("MARTINEZ"));
    EXPECT_EQ(fiche.TOLERANCE_ENTREE, 0);
    EXPECT_EQ(liens.NOM, QStringLiteral("MARTINEZ"));
    // Edited again from the stored values, it saves.
    fiche.TOLERANCE_ENTREE = 3;
    EXPECT_EQ(modifierEmploye(*base, fiche, copie, liens), IssueModification::Enregistree);
    EXPECT_EQ(relire(12).TOLERANCE_ENTREE, 3);
    EXPECT_EQ(relire(12).NOM, QStringLiteral("MARTINEZ"));
}

TEST_F(FichierPersonnelTest, DeleteAsksAndTakesTheDayLines)
{
    const Personnel p = ajouter(employe(12, QStringLiteral("MARTIN")));
    const Personnel q = ajouter(employe(13, QStringLiteral("DURAND")));
    for (qint32 d = today - 3; d <= today; ++d) {
        ajouterJournee(p, d);
        ajouterJournee(q, d);
    }
    presenter.answer(ButtonCancel);
    EXPECT_EQ(supprimerEmploye(*base, p), Reponse::Annulee);
    EXPECT_EQ(presenter.shown().last().number, 32);
    EXPECT_EQ(cartes(), (QList<int>{12, 13}));

    sql(FileId::PointVal, "CREATE TRIGGER refuse BEFORE DELETE ON POINTVAL BEGIN SELECT RAISE(ABORT, 'panne'); END;");
    presenter.clear();
    presenter.answer(ButtonOk);  // 32
    presenter.answer(ButtonOk);  // 17
    presenter.answer(ButtonYes); // 18: again
    presenter.answer(ButtonOk);  // 17
    presenter.answer(ButtonNo);  // 18
    EXPECT_EQ(supprimerEmploye(*base, p), Reponse::Annulee);
    QList<int> numeros;
    for (const MessageSpec& m : presenter.shown())
        numeros << m.number;
    EXPECT_EQ(numeros, (QList<int>{32, 17, 18, 17, 18}));
    EXPECT_EQ(journees(12).size(), 4);

    sql(FileId::PointVal, "DROP TRIGGER refuse;");
    presenter.clear();
    presenter.answer(ButtonOk);
    EXPECT_EQ(supprimerEmploye(*base, p), Reponse::Complete);
    EXPECT_EQ(cartes(), QList<int>{13});
    EXPECT_TRUE(journees(12).isEmpty());
    EXPECT_EQ(journees(13).size(), 4);
}

TEST_F(FichierPersonnelTest, EmptySettingsFileReadsAsACleared)
{
    Parametre par;
    par.TABPERSONNEL = 9;
    EXPECT_TRUE(lireParametre(*base, par));
    EXPECT_EQ(par.TABPERSONNEL, 0);
    RecordFile<Parametre> file(*base);
    ASSERT_TRUE(file.open().ok());
    Parametre stocke;
    stocke.TABPERSONNEL = 2;
    ASSERT_EQ(file.add(stocke), NoError);
    EXPECT_TRUE(lireParametre(*base, par));
    EXPECT_EQ(par.TABPERSONNEL, 2);
    EXPECT_TRUE(presenter.shown().isEmpty());
}

TEST_F(FichierPersonnelTest, AnInsertIsJournalledOrNotWrittenAtAll)
{
    Personnel p = employe(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"), QStringLiteral("A1"));
    ASSERT_TRUE(ajouterEmploye(*base, p));
    std::vector<Journal> entrees;
    ASSERT_EQ(lireJournal(*base, {}, entrees), NoError);
    ASSERT_EQ(entrees.size(), 1u);
    EXPECT_EQ(entrees[0].CARTE, 12);
    EXPECT_EQ(entrees[0].AVANT, QString());
    EXPECT_TRUE(entrees[0].APRES.startsWith(QStringLiteral("CARTE=12; MATRICULE=A1; NOM=MARTIN; PRENOM=Paul")));
    EXPECT_EQ(entrees[0].CAUSE, QString::fromUtf8(CauseJournal::AjoutEmploye));

    // The journal refuses the entry: the employee is not written either.
    sql(FileId::Journal, "CREATE TRIGGER refuse BEFORE INSERT ON JOURNAL BEGIN SELECT RAISE(ABORT, 'plein'); END;");
    Personnel q = employe(13, QStringLiteral("DURAND"));
    EXPECT_FALSE(ajouterEmploye(*base, q));
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 14);
    EXPECT_EQ(q.rowid, 0);
    EXPECT_EQ(cartes(), QList<int>{12});
}
