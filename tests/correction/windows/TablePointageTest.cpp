// The punch list inside the frame: opened from the bar on the current week, the attendance filters on the
// worked example day, inactive lines, the name order within the ranges, and the grid opened from a line and the
// clear of a day, each followed by the list read again.
#include "correction/windows/TablePointage.h"

#include "CorrectionEssai.h"
#include "correction/windows/ModelePointage.h"
#include "correction/windows/SelecteurEmploye.h"
#include "shell/windows/FenetreSommaire.h"
#include "shell/windows/ImageActive.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>

using namespace kip;

class TablePointageTest : public QObject
{
    Q_OBJECT

private:
    InstallationCorrection m_inst;

    // The cards of the rows shown, in order.
    static QList<int> cartes(TablePointage* l)
    {
        QList<int> out;
        for (int r = 0; r < l->modele()->rowCount(); ++r)
            out << l->modele()->ligne(r).CARTE;
        return out;
    }
    static QList<int> dates(TablePointage* l)
    {
        QList<int> out;
        for (int r = 0; r < l->modele()->rowCount(); ++r)
            out << l->modele()->ligne(r).DATE;
        return out;
    }

    TablePointage* ouvrirParLaBarre(Cadre& cadre)
    {
        FenetreSommaire::setDelaiAppui(10);
        if (!QTest::qWaitFor([&] {
                return cadre.sommaire()->emplacement(1) &&
                       cadre.sommaire()->emplacement(1)->nom() == QStringLiteral("Corriger");
            }))
            return nullptr;
        QSignalSpy appui(cadre.sommaire(), &FenetreSommaire::appuiTermine);
        QTest::mouseClick(cadre.sommaire()->emplacement(1), Qt::LeftButton, {}, QPoint(10, 5));
        if (!appui.wait(3000))
            return nullptr;
        return cadre.zone()->findChild<TablePointage*>();
    }

    // The worked example day: 8.00, 12.00, 13.30, 17.30.
    static std::initializer_list<int> exemple()
    {
        static const std::initializer_list<int> e = {480, 720, 810, 1050};
        return e;
    }

private Q_SLOTS:
    void initTestCase() { m_inst.preparer(); }
    void init() { QVERIFY(m_inst.vider()); }
    void cleanup() { m_inst.verifier(); }
    void cleanupTestCase() { m_inst.terminer(); }

    void attendanceFiltersOnTheCurrentWeek()
    {
        const Personnel quatre = m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("QUATRE"), 4));
        const Personnel six = m_inst.ajouter(InstallationCorrection::employe(2, QStringLiteral("SIX"), 6));
        const Personnel trois = m_inst.ajouter(InstallationCorrection::employe(3, QStringLiteral("TROIS"), 4));
        const qint32 mardi = m_inst.lundi() + 1;
        m_inst.ajouterJournee(quatre, mardi, exemple());
        m_inst.ajouterJournee(six, mardi, exemple());
        m_inst.ajouterJournee(trois, mardi, {480, 720, 810});
        m_inst.ajouterJournee(quatre, m_inst.lundi(), {});            // absent
        m_inst.ajouterJournee(six, m_inst.lundi(), exemple(), true);  // inactive: never shown
        m_inst.ajouterJournee(quatre, m_inst.lundi() - 1, exemple()); // last week
        m_inst.ajouterJournee(quatre, m_inst.today + 1, exemple());   // after today
        CadreEssai cadre([] {}, Program::KipOther);
        TablePointage* l = ouvrirParLaBarre(cadre);
        QVERIFY(l);
        QAbstractItemModelTester testeur(l->modele(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // The current week from its Monday to today, every card, by date and card.
        QCOMPARE(l->bornes().dateDebut(), m_inst.lundi());
        QCOMPARE(l->bornes().dateFin(), m_inst.today);
        QCOMPARE(l->onglets()->currentIndex(), 0);
        QCOMPARE(cartes(l), (QList<int>{1, 1, 2, 3}));
        QCOMPARE(l->modele()->data(l->modele()->index(1, 0)).toString(), QStringLiteral("Mar  08/12/2026"));
        QCOMPARE(l->modele()->data(l->modele()->index(1, 4)).toString(), QStringLiteral("8.00"));
        QCOMPARE(l->modele()->data(l->modele()->index(0, 4)).toString(), QString()); // blank when zero

        auto filtre = [&](Presence p) {
            QTest::mouseClick(l->boutonPresence(p), Qt::LeftButton);
            return cartes(l);
        };
        QCOMPARE(filtre(Presence::Presence), (QList<int>{1, 2, 3}));
        // Every filter is LecturePointage's; the buttons reach it.
        QCOMPARE(filtre(Presence::Impairs), (QList<int>{3}));
        QCOMPARE(filtre(Presence::Tous), (QList<int>{1, 1, 2, 3}));
        // The bar's four order buttons (slots 4 to 7) choose the tab; the order is remembered for the next opening.
        for (const auto& [slot, onglet] : std::initializer_list<std::pair<int, int>>{{7, 3}, {4, 0}, {5, 1}}) {
            evt::poster(l, evt::BoutonListe + slot);
            QTRY_COMPARE(l->onglets()->currentIndex(), onglet);
        }
        QCOMPARE(l->modele()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N°"));
        QCOMPARE(ordrePointageMemorise(), OrdrePointage::CarteDate);
    }

    void rangesSwapAndBindEveryOrder()
    {
        QList<Personnel> p;
        for (qint16 c = 1; c <= 4; ++c)
            p << m_inst.ajouter(InstallationCorrection::employe(c, QStringLiteral("NOM%1").arg(5 - c)));
        for (const Personnel& e : p)
            for (int j = -14; j < 3; ++j)
                m_inst.ajouterJournee(e, m_inst.lundi() + j, exemple());
        CadreEssai cadre;
        auto* l = qobject_cast<TablePointage*>(ouvrirFenetre(nom::TablePointage, cadre));
        QVERIFY(l);
        QTest::qWait(0);
        // The weeks set the dates (the swaps of every bound are BornesPointage's).
        m_inst.presenter.answerWeek(Semaine{48, 2026});
        l->choisirSemaine(false);
        m_inst.presenter.answerWeek(Semaine{49, 2026});
        l->choisirSemaine(true);
        QCOMPARE(l->bornes().dateDebut(), m_inst.lundi() - 14);
        QCOMPARE(l->bornes().dateFin(), m_inst.lundi() - 1);
        // Cards 2 to 3 only, chosen backwards.
        l->choisirEmploye(false, p[2]);
        l->choisirEmploye(true, p[1]);
        QCOMPARE(int(l->bornes().employeDebut().CARTE), 2);
        QCOMPARE(int(l->bornes().employeFin().CARTE), 3);
        QVERIFY(l->findChild<QLabel*>(QStringLiteral("texteDebut"))->text().startsWith(QStringLiteral("0002 NOM3")));
        // By name and date: names NOM2 (card 3) before NOM3 (card 2), each within the dates.
        l->choisirOrdre(OrdrePointage::NomDate);
        // (each order against a plain sort is LecturePointage's).
        QTest::keyClick(l->vue(), Qt::Key_Home);
        QCOMPARE(int(l->page().ligneCourante()->CARTE), 3);
        QCOMPARE(l->page().ligneCourante()->DATE, m_inst.lundi() - 14);
        QTest::keyClick(l->vue(), Qt::Key_End);
        QCOMPARE(int(l->page().ligneCourante()->CARTE), 2);
        QCOMPARE(l->page().ligneCourante()->DATE, m_inst.lundi() - 1);
    }

    void gridFromALineAndClearADay()
    {
        const Personnel a = m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("ALBERT")));
        m_inst.ajouterJournee(a, m_inst.lundi(), exemple());
        m_inst.ajouterJournee(a, m_inst.lundi() + 1, exemple());
        CadreEssai cadre;
        auto* l = qobject_cast<TablePointage*>(ouvrirFenetre(nom::TablePointage, cadre));
        QVERIFY(l);
        QTest::qWait(0);
        QCOMPARE(dates(l).size(), 2);
        // Ctrl+Enter on Tuesday opens the grid there; the list waits for it.
        QTest::keyClick(l->vue(), Qt::Key_Down);
        QSignalSpy retour(l, &TablePointage::grilleTerminee);
        QTest::keyClick(l->vue(), Qt::Key_Return, Qt::ControlModifier);
        CorrectionPointage* g = InstallationCorrection::grille(cadre);
        QVERIFY(g);
        QVERIFY(l->enAttente());
        QCOMPARE(g->jourCourant(), 1);
        QTRY_COMPARE(cadre.sommaire()->emplacement(1)->nom(), QStringLiteral("Sauver"));
        QLineEdit* e = g->cellule(1, 3);
        e->selectAll();
        QTest::keyClicks(e, QStringLiteral("18"));
        QTest::keyClick(e, Qt::Key_F2);
        evt::poster(g, evt::Bouton13);
        QVERIFY(retour.wait(3000));
        QCOMPARE(retour.first().first().value<Reponse>(), Reponse::Annulee);
        QVERIFY(!l->enAttente());
        // The list is read again: Tuesday now totals 8.30.
        QCOMPARE(l->modele()->data(l->modele()->index(1, 4)).toString(), QStringLiteral("8.30"));
        QCOMPARE(l->page().courante(), 1);
        // Delete: the clear's confirmation; Yes empties the day and the list shows it.
        m_inst.presenter.answer(ButtonYes);
        QTest::keyClick(l->vue(), Qt::Key_Delete);
        QCOMPARE(retour.size(), 2);
        QCOMPARE(retour.last().first().value<Reponse>(), Reponse::Complete);
        QCOMPARE(l->modele()->data(l->modele()->index(1, 4)).toString(), QString());
        QCOMPARE(int(m_inst.lire(1, m_inst.lundi() + 1)->POINTAGE_UTILISATEUR[0]), int(PunchEmpty));
        // Insert opens the grid on the start card and the start date.
        QTest::keyClick(l->vue(), Qt::Key_Insert);
        g = InstallationCorrection::grille(cadre);
        QVERIFY(g);
        QCOMPARE(g->grille().lundi(), m_inst.lundi());
        QCOMPARE(g->jourCourant(), 0);
        evt::poster(g, evt::Bouton13);
        QVERIFY(retour.wait(3000));
    }
};

QTEST_MAIN(TablePointageTest)
#include "TablePointageTest.moc"
