// The absence window from the keyboard: a code typed on a selection, the part chosen with Alt, Delete, Ctrl+Z,
// the month changed, the period chosen with the day picker, each read on a worker; the grid of the same day
// agrees with it; and the home window's panel reads who is here at the clock's time of day.
#include "absences/windows/FenetreAbsences.h"

#include "Installation.h"
#include "absences/FichierAbsences.h"
#include "absences/HorairesPrevus.h"
#include "absences/windows/FenetresAbsences.h"
#include "absences/windows/PresenceAccueil.h"
#include "absences/windows/TypesAbsence.h"
#include "calendar/Clock.h"
#include "correction/windows/CorrectionEssai.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace kip;

class FenetreAbsencesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    ScriptedPresenter m_presenter;
    const qint32 m_lundi = dayNumber(2026, 5, 11);

    QString stocke(qint16 carte, qint32 date)
    {
        Database db(paths().dataDir);
        Result<JourAbsences> j = LireJourAbsences(db, carte, date);
        return j ? TexteJourAbsences(*j) : j.error().description();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        setMessagePresenter(&m_presenter);
        Clock::setToday(m_lundi);
        enregistrerFenetresAbsences(Program::Kip);
    }
    void cleanupTestCase()
    {
        setMessagePresenter(nullptr);
        Clock::setToday(0);
    }

    void clavier()
    {
        QVERIFY(
            installationEssai(m_tmp.path() + QStringLiteral("/Kip"),
                              {employeEssai(7, QStringLiteral("BERNARD")), employeEssai(12, QStringLiteral("MARTIN")),
                               employeEssai(30, QStringLiteral("PETIT"))},
                              {}));
        Cadre cadre(Program::Kip, 0, [] {});
        auto* f = qobject_cast<FenetreAbsences*>(ouvrirFenetre(nom::Absences, cadre));
        QVERIFY(f);
        QVERIFY(f->enAttente()); // read on a worker
        QTRY_VERIFY(!f->enAttente());
        QTableView* v = f->vue();
        QCOMPARE(v->model()->rowCount(), 3);     // by name: BERNARD, MARTIN, PETIT
        QCOMPARE(v->model()->columnCount(), 31); // May
        const int lundi = m_lundi - f->modele()->choix().debut;
        QCOMPARE(v->currentIndex().column(), lundi); // opens on today

        // Two employees over two days take CP at once; "C" alone begins no other code but CP.
        v->setCurrentIndex(v->model()->index(0, lundi));
        v->selectionModel()->select(QItemSelection(v->model()->index(0, lundi), v->model()->index(1, lundi + 1)),
                                    QItemSelectionModel::ClearAndSelect);
        QTest::keyClicks(v, QStringLiteral("cp"));
        QCOMPARE(stocke(7, m_lundi), QStringLiteral("CP journée"));
        QCOMPARE(stocke(12, m_lundi + 1), QStringLiteral("CP journée"));
        QCOMPARE(v->model()->index(1, lundi).data().toString(), QStringLiteral("CP"));

        // A morning and an afternoon of the same date, chosen with Alt+M and Alt+A.
        v->setCurrentIndex(v->model()->index(2, lundi));
        v->selectionModel()->select(v->currentIndex(), QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(v, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(f->partie(), PartieJour::Matin);
        QTest::keyClicks(v, QStringLiteral("rtt"));
        QTest::keyClick(v, Qt::Key_A, Qt::AltModifier);
        QTest::keyClicks(v, QStringLiteral("mal"));
        QCOMPARE(stocke(30, m_lundi), QStringLiteral("RTT matin; MAL après-midi"));
        QCOMPARE(v->currentIndex().data().toString(), QStringLiteral("RTT/MAL"));

        // "A" begins ABS and AT: nothing is set until the code is whole; a code of no type is refused.
        QTest::keyClick(v, Qt::Key_J, Qt::AltModifier);
        v->setCurrentIndex(v->model()->index(2, lundi + 1));
        v->selectionModel()->select(v->currentIndex(), QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(v, Qt::Key_A);
        QCOMPARE(f->codeEnCours(), QStringLiteral("A"));
        QCOMPARE(stocke(30, m_lundi + 1), QStringLiteral("(aucune)"));
        QTest::keyClick(v, Qt::Key_T);
        QCOMPARE(stocke(30, m_lundi + 1), QStringLiteral("AT journée"));
        QTest::keyClick(v, Qt::Key_X);
        QVERIFY(f->codeEnCours().isEmpty());
        QVERIFY(f->statut().contains(QStringLiteral("X")));

        // Delete clears, Ctrl+Z puts it back (the undo's states are the model's).
        v->setCurrentIndex(v->model()->index(2, lundi));
        v->selectionModel()->select(v->currentIndex(), QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(stocke(30, m_lundi), QStringLiteral("(aucune)"));
        QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(stocke(30, m_lundi), QStringLiteral("RTT matin; MAL après-midi"));
        QCOMPARE(v->currentIndex().data().toString(), QStringLiteral("RTT/MAL"));

        // The next month, and back: what was saved is read again.
        // Two months forward, the second asked before the first is read: the window ends on July; then back.
        QTest::keyClick(v, Qt::Key_PageDown, Qt::ControlModifier);
        QTest::keyClick(v, Qt::Key_PageDown, Qt::ControlModifier);
        QTRY_VERIFY(!f->enAttente());
        QCOMPARE(f->modele()->choix().debut, dayNumber(2026, 7, 1));
        QTest::keyClick(v, Qt::Key_PageUp, Qt::ControlModifier);
        QTRY_VERIFY(!f->enAttente());
        QCOMPARE(v->model()->columnCount(), 30); // June
        QTest::keyClick(v, Qt::Key_PageUp, Qt::ControlModifier);
        QTRY_VERIFY(!f->enAttente());
        QCOMPARE(v->model()->index(0, lundi + 1).data().toString(), QStringLiteral("CP"));
        QCOMPARE(v->model()->index(2, lundi + 1).data().toString(), QStringLiteral("AT"));

        // The period's days through the day picker: a first day after the last moves the last with it, and a
        // period longer than the window shows is cut from the other end.
        const struct
        {
            bool fin;
            qint32 choisi, attenduDebut, attenduFin;
        } dates[] = {
            {false, dayNumber(2026, 5, 20), dayNumber(2026, 5, 20), dayNumber(2026, 5, 31)},
            {false, dayNumber(2026, 6, 10), dayNumber(2026, 6, 10), dayNumber(2026, 6, 10)},
            {true, dayNumber(2026, 9, 30), dayNumber(2026, 9, 30) - JoursMaxAbsences + 1, dayNumber(2026, 9, 30)}};
        for (const auto& d : dates) {
            m_presenter.answerDate(d.choisi);
            f->choisirDate(d.fin);
            QTRY_VERIFY(!f->enAttente());
            QCOMPARE(f->modele()->choix().debut, d.attenduDebut);
            QCOMPARE(f->modele()->choix().fin, d.attenduFin);
        }
        QCOMPARE(f->findChild<QLabel*>(QStringLiteral("finTexte"))->text(), QStringLiteral("30/09/2026"));
        m_presenter.answerDate(std::nullopt); // given up: nothing changes
        f->choisirDate(false);
        QVERIFY(!f->enAttente());
        QVERIFY(m_presenter.shown().isEmpty());
        f->close();
    }

    // The types window refuses a bad colour and a type in use, writing nothing, and saves a valid change.
    void typesEtReglages()
    {
        QVERIFY(
            installationEssai(m_tmp.path() + QStringLiteral("/Kip"), {employeEssai(7, QStringLiteral("BERNARD"))}, {}));
        {
            Database db(paths().dataDir);
            JourAbsences j{7, m_lundi, {}};
            Absence a;
            a.CODE = QStringLiteral("FOR");
            j.poser(a);
            QVERIFY(EnregistrerJours(db, {j}, {}, QStringLiteral("essai")).ok());
        }
        Cadre cadre(Program::Kip, 0, [] {});
        auto* t = qobject_cast<TypesAbsence*>(ouvrirFenetre(nom::TypesAbsence, cadre));
        QVERIFY(t);
        QTableWidget* table = t->table();
        QCOMPARE(table->rowCount(), 8);
        table->item(0, 2)->setText(QStringLiteral("bleu?"));
        m_presenter.clear();
        QVERIFY(!t->accepter());
        QCOMPARE(m_presenter.shown().size(), 1);
        QVERIFY(m_presenter.shown()[0].text.contains(QStringLiteral("#RRVVBB")));
        table->item(0, 2)->setText(QStringLiteral("#123456"));
        table->setCurrentCell(5, 0); // FOR, in use
        t->supprimerType();
        QVERIFY(!t->accepter());
        QVERIFY(m_presenter.shown().last().text.contains(QStringLiteral("FOR")));
        Database db(paths().dataDir);
        QCOMPARE(TypeDuCode(*LireTypes(db), u"CP")->COULEUR, TypesParDefaut().front().COULEUR); // nothing written

        // Without deleting FOR, with Alsace-Moselle: saved, and the window closes.
        QPointer<TypesAbsence> garde(t);
        t->close();
        QTRY_VERIFY(garde.isNull());
        t = qobject_cast<TypesAbsence*>(ouvrirFenetre(nom::TypesAbsence, cadre));
        t->table()->item(0, 2)->setText(QStringLiteral("#123456"));
        t->findChild<QCheckBox*>(QStringLiteral("alsace"))->setChecked(true);
        garde = t;
        QVERIFY(t->accepter());
        QTRY_VERIFY(garde.isNull());
        QCOMPARE(TypeDuCode(*LireTypes(db), u"CP")->COULEUR, 0x123456);
        QCOMPARE(int(LireTypes(db)->size()), 8);
        QCOMPARE(LireReglages(db)->ALSACE_MOSELLE, quint8(1));
    }

    // What the grid sets, the absence window shows, and the other way round.
    void grilleEtFenetreConcordent()
    {
        InstallationCorrection inst;
        inst.preparer();
        enregistrerFenetresAbsences(Program::Kip);
        const Personnel p = inst.ajouter(InstallationCorrection::employe(12, QStringLiteral("MARTIN")));
        inst.ajouterJournee(p, inst.lundi() + 1, {essai::h(8), essai::h(12)});
        CadreEssai cadre;
        CorrectionPointage* g = inst.ouvrirGrille(cadre, 12, inst.lundi() + 1);
        QVERIFY(g);
        QLineEdit* mardi = g->absenceJour(1);
        g->allerA(1, 0);
        QTest::keyClick(g->cellule(1, 0), Qt::Key_F4);
        QVERIFY(mardi->hasFocus());
        QTest::keyClicks(mardi, QStringLiteral("rtt m/mal am"));
        QTest::keyClick(mardi, Qt::Key_Return);
        QCOMPARE(mardi->text(), QStringLiteral("RTT M/MAL AM"));
        QCOMPARE(stocke(12, inst.lundi() + 1), QStringLiteral("RTT matin; MAL après-midi"));
        // A text that is no absence is refused and nothing is written.
        QTest::keyClick(g->cellule(1, 0), Qt::Key_F4);
        QTest::keyClicks(mardi, QStringLiteral("CP X"));
        QTest::keyClick(mardi, Qt::Key_Return);
        QVERIFY(mardi->hasFocus());
        QCOMPARE(stocke(12, inst.lundi() + 1), QStringLiteral("RTT matin; MAL après-midi"));
        QTest::keyClick(mardi, Qt::Key_Escape);
        QCOMPARE(mardi->text(), QStringLiteral("RTT M/MAL AM"));

        auto* f = qobject_cast<FenetreAbsences*>(ouvrirFenetre(nom::Absences, cadre));
        QVERIFY(f);
        f->charger(MoisDe(inst.today)); // the window keeps the month of the test before
        QTRY_VERIFY(!g->isVisible());
        QTRY_VERIFY(!f->enAttente()); // a show after the first reads the period again: typing waits for it
        const int l = f->modele()->ligneDe(12);
        const int mar = inst.lundi() + 1 - f->modele()->choix().debut;
        QCOMPARE(f->vue()->model()->index(l, mar).data().toString(), QStringLiteral("RTT/MAL"));
        QVERIFY(f->modele()->pointe(l, mar));
        f->vue()->setCurrentIndex(f->vue()->model()->index(l, mar + 1));
        QTest::keyClicks(f->vue(), QStringLiteral("cp"));
        QCOMPARE(stocke(12, inst.lundi() + 2), QStringLiteral("CP journée"));
        f->close();
        QTRY_VERIFY(g->isVisible());
        QCOMPARE(g->absenceJour(2)->text(), QStringLiteral("CP"));
        inst.terminer();
    }

    // The panel reads on a worker, at the clock's date and time of day.
    void presenceAccueil()
    {
        InstallationCorrection inst;
        inst.preparer();
        const Personnel p = inst.ajouter(InstallationCorrection::employe(12, QStringLiteral("MARTIN")));
        inst.ajouter(InstallationCorrection::employe(14, QStringLiteral("PETIT")));
        inst.ajouterJournee(p, inst.today, {essai::h(8)});
        Clock::setTimeOfDay(QTime(9, 30));
        {
            PresenceAccueil panneau(nullptr);
            panneau.actualiser();
            QVERIFY(panneau.enAttente());
            QTRY_VERIFY(!panneau.enAttente());
            QVERIFY(panneau.findChild<QLabel*>(QStringLiteral("moment"))->text().endsWith(QStringLiteral("à 9.30")));
            QCOMPARE(panneau.titre(PresenceAccueil::Presents), QStringLiteral("Présents (1)"));
            QCOMPARE(panneau.liste(PresenceAccueil::Presents)->topLevelItem(0)->text(0), QStringLiteral("8.00"));
            // Asked again while reading: read once more after, at the new time.
            Clock::setTimeOfDay(QTime(9, 45));
            panneau.actualiser();
            panneau.actualiser();
            QTRY_VERIFY(!panneau.enAttente());
            QVERIFY(panneau.findChild<QLabel*>(QStringLiteral("moment"))->text().endsWith(QStringLiteral("à 9.45")));
        }
        Clock::setTimeOfDay(QTime());
        inst.terminer();
    }
};

QTEST_MAIN(FenetreAbsencesTest)
#include "FenetreAbsencesTest.moc"
