// The correction grid inside the frame: cell entry with its refusals and totals, the night shift, the week
// totals by rounding code, the arrows over hidden days, the save questions on a week change, a save that the
// store refuses, the clear request, the help box and the draft of the periodic flush.
#include "correction/windows/CorrectionPointage.h"

#include "CorrectionEssai.h"
#include "correction/BrouillonCorrection.h"
#include "correction/PasseSauvegarde.h"
#include "correction/windows/JournalJournee.h"
#include "shell/windows/Evenements.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

using namespace kip;

class CorrectionPointageTest : public QObject
{
    Q_OBJECT

private:
    InstallationCorrection m_inst;

    static void taper(CorrectionPointage* g, int jour, int colonne, const QString& texte, int sortie = Qt::Key_Right)
    {
        QLineEdit* e = g->cellule(jour, colonne);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        if (!texte.isEmpty())
            QTest::keyClicks(e, texte);
        QTest::keyClick(e, Qt::Key(sortie));
    }
    static QString total(QLabel* l) { return l->text().trimmed(); }

private Q_SLOTS:
    void initTestCase() { m_inst.preparer(); }
    void init()
    {
        m_inst.vider();
        CorrectionPointage::setPeriodeVidage(3600 * 1000);
    }
    void cleanup() { m_inst.verifier(); }
    void cleanupTestCase() { m_inst.terminer(); }

    void cellEntryNightShiftAndTotals()
    {
        const Personnel p = m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("ARNAUD")));
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 1, m_inst.today);
        QVERIFY(g);
        QCOMPARE(g->entete()->text().simplified(), QStringLiteral("ARNAUD Léa 0001"));
        QCOMPARE(g->jourCourant(), 2); // the Wednesday passed

        // A short form is shown whole (the forms and refusals are CelluleHeure's).
        taper(g, 0, 0, QStringLiteral(".01"));
        QCOMPARE(g->cellule(0, 0)->text().trimmed(), QStringLiteral("0.01"));
        QCOMPARE(g->colonneCourante(), 1);
        taper(g, 0, 1, QStringLiteral("1"));
        QCOMPARE(total(g->totalJour(0)), QStringLiteral("0.59"));
        // A refused text keeps the cursor on its cell.
        taper(g, 0, 2, QStringLiteral("7.75"));
        QCOMPARE(g->colonneCourante(), 2);
        QTest::qWait(0); // the refusal gives the focus back to the cell through the event loop
        taper(g, 0, 2, QString());
        QCOMPARE(g->colonneCourante(), 3);

        // Night shift: 22.00 to 6.00 is 8 hours (the roll-over rules are ChronologieJour's).
        taper(g, 1, 0, QStringLiteral("22"));
        taper(g, 1, 1, QStringLiteral("6"));
        taper(g, 1, 2, QStringLiteral("7"));
        QCOMPARE(total(g->totalJour(1)), QStringLiteral("8.00"));
        QCOMPARE(total(g->totalSemaine()), QStringLiteral("8.59"));

        // F2 saves without a question and reloads: the night's exit is stored past midnight.
        QTest::keyClick(g->cellule(1, 3), Qt::Key_F2);
        QVERIFY(m_inst.presenter.shown().isEmpty());
        const PointVal mardi = *m_inst.lire(1, m_inst.lundi() + 1);
        QCOMPARE(int(mardi.POINTAGE_UTILISATEUR[0]), essai::h(22));
        QCOMPARE(int(mardi.POINTAGE_UTILISATEUR[1]), essai::h(6) + 1440);
        QCOMPARE(int(mardi.POINTAGE_UTILISATEUR[2]), essai::h(7) + 1440);
        QCOMPARE(int(mardi.TOTAL), 480);
        QCOMPARE(g->mode(), ModeSauvegarde::Others);
    }

    // The cursor's walk over hidden days and what a save leaves out are GrilleSemaine's; here the days outside
    // the employment are hidden and the arrows reach the core's walk.
    void hiddenDaysAreSkipped()
    {
        Personnel p = InstallationCorrection::employe(5, QStringLiteral("BLANC"));
        p.DATE_EMBAUCHE = m_inst.lundi() + 1; // Tuesday
        p.DATE_DEBAUCHE = m_inst.lundi() + 3; // Thursday
        m_inst.ajouter(p);
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 5, m_inst.lundi() + 1);
        QVERIFY(g);
        for (int j = 0; j < JoursSemaine; ++j)
            QCOMPARE(g->bloc(j)->isHidden(), j == 0 || j > 3);
        QCOMPARE(g->jourCourant(), 1);
        QTest::keyClick(g->cellule(1, 0), Qt::Key_Up);
        QCOMPARE(g->jourCourant(), 3);
        QTest::keyClick(g->cellule(3, 0), Qt::Key_Left);
        QCOMPARE(g->colonneCourante(), 13);
    }

    // The questions' texts and what each answer writes are the save pass's (FichierCorrectionTest); here the
    // window asks on a week change and on leaving, and follows the answer.
    void weekChangeQuestions()
    {
        m_inst.ajouter(InstallationCorrection::employe(7, QStringLiteral("COLIN")));
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 7, m_inst.lundi());
        QVERIFY(g);
        // The next week's lines do not exist yet: moving there makes them.
        QVERIFY(!m_inst.lire(7, m_inst.lundi() + 7));
        // No: the edits are dropped and the grid moves on.
        taper(g, 0, 0, QStringLiteral("8"));
        m_inst.presenter.answer(ButtonNo);
        QTest::keyClick(g->cellule(0, 1), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(g->grille().lundi(), m_inst.lundi() + 7);
        for (int j = 0; j < JoursSemaine; ++j)
            QVERIFY(m_inst.lire(7, m_inst.lundi() + 7 + j));
        QCOMPARE(int(m_inst.lire(7, m_inst.lundi())->POINTAGE_UTILISATEUR[0]), int(PunchEmpty));
        // Back: nothing changed, nothing asked.
        QTest::keyClick(g->cellule(0, 0), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(g->cellule(0, 0)->text(), QString());
        // OK saves and asks no more on a week change (the modes are the save pass's).
        taper(g, 0, 0, QStringLiteral("8"));
        m_inst.presenter.answer(ButtonOk);
        QTest::keyClick(g->cellule(0, 1), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(int(m_inst.lire(7, m_inst.lundi())->POINTAGE_UTILISATEUR[0]), essai::h(8));
        QCOMPARE(g->mode(), ModeSauvegarde::SaveAuto);
        taper(g, 0, 1, QStringLiteral("13"));
        // Quitter asks before leaving, whatever the mode; Yes (the default) saves.
        QPointer<CorrectionPointage> garde(g);
        evt::poster(g, evt::Bouton13);
        QTRY_VERIFY(!garde || garde->numeroFenetre() == 0);
        QCOMPARE(m_inst.presenter.shown().size(), 3);
        QCOMPARE(int(m_inst.lire(7, m_inst.lundi() + 7)->POINTAGE_UTILISATEUR[1]), essai::h(13));
        QCOMPARE(reponse(), Reponse::Annulee);
    }

    void closingAsksOnceAndNoDropsTheEdits()
    {
        m_inst.ajouter(InstallationCorrection::employe(8, QStringLiteral("DUVAL")));
        CadreEssai cadre;
        CorrectionPointage::setPeriodeVidage(10);
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 8, m_inst.lundi());
        QVERIFY(g);
        // The periodic flush keeps the cells being typed on disk.
        QTest::keyClicks(g->cellule(0, 0), QStringLiteral("8.3"));
        QTRY_VERIFY(QFile::exists(cheminBrouillon()));
        QCOMPARE(lireBrouillon(cheminBrouillon())->jours[0]->at(0), QStringLiteral("8.3"));
        m_inst.presenter.answer(ButtonNo);
        QPointer<CorrectionPointage> garde(g);
        evt::poster(g, evt::Bouton13);
        QTRY_VERIFY(!garde || garde->numeroFenetre() == 0);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(int(m_inst.lire(8, m_inst.lundi())->POINTAGE_UTILISATEUR[0]), int(PunchEmpty));
        QVERIFY(!QFile::exists(cheminBrouillon()));
    }

    void aRefusedSaveKeepsTheGridAndItsEdits()
    {
        m_inst.ajouter(InstallationCorrection::employe(9, QStringLiteral("ESNAULT")));
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 9, m_inst.lundi());
        QVERIFY(g);
        m_inst.sql(FileId::PointVal, "CREATE TRIGGER refus BEFORE UPDATE ON POINTVAL BEGIN "
                                     "SELECT RAISE(ABORT, 'disque plein'); END");
        taper(g, 0, 0, QStringLiteral("8"));
        taper(g, 3, 0, QStringLiteral("8"));
        // A week change: Yes, the store refuses: message 15, the grid stays on its week with the edits.
        m_inst.presenter.answer(ButtonYes);
        QTest::keyClick(g->cellule(3, 1), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(m_inst.presenter.shown().size(), 2);
        QCOMPARE(m_inst.presenter.shown()[1].number, 15);
        QCOMPARE(g->grille().lundi(), m_inst.lundi());
        QCOMPARE(g->cellule(0, 0)->text().trimmed(), QStringLiteral("8.00"));
        QVERIFY(QFile::exists(cheminBrouillon()));
        // (A close the store refuses keeps the window open: the next case.) Once the store takes it, F2 writes
        // both days.
        m_inst.sql(FileId::PointVal, "DROP TRIGGER refus");
        QTest::keyClick(g->cellule(0, 0), Qt::Key_F2);
        QCOMPARE(m_inst.presenter.shown().size(), 2);
        QCOMPARE(int(m_inst.lire(9, m_inst.lundi())->POINTAGE_UTILISATEUR[0]), essai::h(8));
        QCOMPARE(int(m_inst.lire(9, m_inst.lundi() + 3)->POINTAGE_UTILISATEUR[0]), essai::h(8));
        QVERIFY(!QFile::exists(cheminBrouillon()));
    }

    void aCloseThatCanKeepTheEditsNowhereKeepsTheWindowOpen()
    {
        m_inst.ajouter(InstallationCorrection::employe(10, QStringLiteral("GARNIER")));
        bool fini = false;
        CadreEssai cadre([&fini] { fini = true; });
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 10, m_inst.lundi());
        QVERIFY(g);
        taper(g, 0, 0, QStringLiteral("8"));
        // Neither the day line nor the draft can be written: the store refuses, a directory holds the name.
        m_inst.sql(FileId::PointVal, "CREATE TRIGGER refus BEFORE UPDATE ON POINTVAL BEGIN "
                                     "SELECT RAISE(ABORT, 'disque plein'); END");
        QVERIFY(QDir().mkpath(cheminBrouillon()));
        m_inst.presenter.answer(ButtonYes); // "Confirmez la sortie !"
        m_inst.presenter.answer(ButtonYes); // "Sauvegarder avant de quitter ?"
        QVERIFY(!cadre.close());
        const QList<MessageSpec> vus = m_inst.presenter.shown();
        QCOMPARE(vus.size(), 4);
        QCOMPARE(vus[2].number, 15);
        QVERIFY2(vus[3].text.contains(QStringLiteral("ni enregistrées ni gardées")), qPrintable(vus[3].text));
        QTest::qWait(0);
        QVERIFY(g->numeroFenetre() != 0);
        QVERIFY(g->isVisible());
        QVERIFY(!fini);
        QCOMPARE(g->cellule(0, 0)->text().trimmed(), QStringLiteral("8.00"));
        // Once the draft can be written, the frame closes and the edits wait in it.
        QVERIFY(QDir().rmdir(cheminBrouillon()));
        m_inst.presenter.answer(ButtonYes);
        m_inst.presenter.answer(ButtonYes);
        QVERIFY(cadre.close());
        QVERIFY(fini);
        const std::optional<Brouillon> brouillon = lireBrouillon(cheminBrouillon());
        QVERIFY(brouillon && brouillon->jours[0]);
        m_inst.sql(FileId::PointVal, "DROP TRIGGER refus");
    }

    void clearRequestAndHelp()
    {
        const Personnel p = m_inst.ajouter(InstallationCorrection::employe(4, QStringLiteral("FABRE")));
        m_inst.ajouterJournee(p, m_inst.lundi() + 1, {essai::h(8), essai::h(12)});
        CadreEssai cadre;
        setRequete(Requete::Suppression);
        // Cancel: nothing changes.
        setJourneeEnCours(4, m_inst.lundi() + 1);
        m_inst.presenter.answer(ButtonCancel);
        QVERIFY(!ouvrirFenetre(nom::CorrectionPointage, cadre));
        QCOMPARE(reponse(), Reponse::Annulee);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(m_inst.presenter.shown()[0].title, QStringLiteral("Confirmer effacement"));
        QCOMPARE(int(m_inst.lire(4, m_inst.lundi() + 1)->TOTAL), 240);
        // Yes clears the day (what a clear writes is FichierCorrectionTest's) and opens no grid.
        m_inst.presenter.answer(ButtonYes);
        QVERIFY(!ouvrirFenetre(nom::CorrectionPointage, cadre));
        QCOMPARE(reponse(), Reponse::Complete);
        QCOMPARE(int(m_inst.lire(4, m_inst.lundi() + 1)->TOTAL), 0);
        QVERIFY(!InstallationCorrection::grille(cadre));

        // The help box.
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 4, m_inst.lundi());
        QVERIFY(g);
        m_inst.presenter.clear();
        g->aide();
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(m_inst.presenter.shown()[0].title, QStringLiteral("Aide sur cet écran"));
        // The week picker: the grid saves, then shows the week picked.
        m_inst.presenter.answerWeek(Semaine{2, 2027});
        g->choisirSemaine();
        QCOMPARE(g->texteSemaine()->text(), QStringLiteral("Sem.: 2/2027"));
        QCOMPARE(g->grille().lundi(), dayNumber(2027, 1, 11));
    }

    void theJournalOfTheCurrentDayNewestFirst()
    {
        const Personnel p = m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("ARNAUD")));
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 1, m_inst.lundi());
        QVERIFY(g);
        // Nothing journalled yet: an empty list that says so.
        QTest::keyClick(g->cellule(0, 0), Qt::Key_F3);
        QTRY_VERIFY(g->journalOuvert());
        QCOMPARE(g->journalOuvert()->modele()->rowCount(), 0);
        QVERIFY(g->journalOuvert()->findChild<QLabel*>(QStringLiteral("vide")));
        g->journalOuvert()->reject();
        QTRY_VERIFY(!g->journalOuvert());

        // Two saves of Monday, one of Tuesday.
        taper(g, 0, 0, QStringLiteral("8"));
        taper(g, 0, 1, QStringLiteral("12"));
        taper(g, 1, 0, QStringLiteral("9"));
        QTest::keyClick(g->cellule(1, 1), Qt::Key_F2);
        taper(g, 0, 1, QStringLiteral("12.30"));
        QTest::keyClick(g->cellule(0, 2), Qt::Key_F2);
        QVERIFY(m_inst.presenter.shown().isEmpty());

        // The bar's Journal on Monday.
        g->allerA(0, 0);
        evt::poster(g, evt::BoutonListe + 8);
        QTRY_VERIFY(g->journalOuvert());
        JournalJournee* j = g->journalOuvert();
        QAbstractItemModelTester testeur(j->modele(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(j->modele()->rowCount(), 2);
        QCOMPARE(j->findChild<QLabel*>(QStringLiteral("journee"))->text(),
                 QStringLiteral("0001 ARNAUD Léa, Lundi ") + DateTexte(m_inst.lundi()));
        auto cellule = [j](int ligne, int colonne) { return j->modele()->index(ligne, colonne).data().toString(); };
        QCOMPARE(cellule(0, ModeleJournal::Avant), QStringLiteral("8.00 12.00 = 4.00"));
        QCOMPARE(cellule(0, ModeleJournal::Apres), QStringLiteral("8.00 12.30 = 4.30"));
        QCOMPARE(cellule(1, ModeleJournal::Avant), QStringLiteral("(aucun) = 0.00"));
        j->reject();
        QTRY_VERIFY(!g->journalOuvert());
    }
};

QTEST_MAIN(CorrectionPointageTest)
#include "CorrectionPointageTest.moc"
