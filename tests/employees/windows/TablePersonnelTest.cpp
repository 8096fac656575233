// The employee list inside the frame: an empty list, paging through many employees under the model tester,
// the scroll bar, the order remembered between openings and a read error while paging.
#include "employees/windows/TablePersonnel.h"

#include "FenetresEssai.h"
#include "employees/windows/ModelePersonnel.h"
#include "shell/windows/FenetreSommaire.h"
#include "shell/windows/ImageActive.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <sqlite3.h>

using namespace kip;

class TablePersonnelTest : public QObject
{
    Q_OBJECT

private:
    Installation m_inst;

    static QString nomCourant(TablePersonnel* l) { return l->page().employeCourant()->NOM; }
    // The current row of the view, which must be the page's current employee.
    static QString nomChoisi(TablePersonnel* l) { return l->modele()->employe(l->vue()->currentIndex().row()).NOM; }

private Q_SLOTS:
    void initTestCase() { m_inst.preparer(); }
    void init() { QVERIFY(m_inst.vider()); }
    void cleanup() { m_inst.verifier(); }
    void cleanupTestCase() { m_inst.terminer(); }

    void emptyListStillInserts()
    {
        Cadre cadre(Program::KipOther, 0, [] {});
        cadre.show();
        // The bar's Personnel button opens the list.
        FenetreSommaire::setDelaiAppui(10);
        QTRY_COMPARE(cadre.sommaire()->emplacement(3)->nom(), QStringLiteral("Personnel"));
        QSignalSpy appui(cadre.sommaire(), &FenetreSommaire::appuiTermine);
        QTest::mouseClick(cadre.sommaire()->emplacement(3), Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(appui.wait(3000));
        auto* liste = cadre.zone()->findChild<TablePersonnel*>();
        QVERIFY(liste);
        QTRY_COMPARE(cadre.sommaire()->emplacement(1)->nom(), QStringLiteral("Ajouter"));
        QAbstractItemModelTester testeur(liste->modele(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(liste->modele()->rowCount(), 0);
        QVERIFY(!liste->findChild<QPushButton*>(QStringLiteral("modifier"))->isEnabled());
        QVERIFY(!liste->findChild<QPushButton*>(QStringLiteral("supprimer"))->isEnabled());
        QVERIFY(liste->findChild<QPushButton*>(QStringLiteral("creer"))->isEnabled());
        // The bar's Modifier and Supprimer do nothing; Insert opens the form.
        evt::poster(liste, evt::BoutonListe + 2);
        evt::poster(liste, evt::BoutonListe + 3);
        QTest::qWait(0);
        QVERIFY(!Installation::formulaire(cadre));
        QVERIFY(m_inst.presenter.shown().isEmpty());
        QTest::keyClick(liste->vue(), Qt::Key_Insert);
        SaisiePersonnel* f = Installation::formulaire(cadre);
        QVERIFY(f);
        QCOMPARE(f->requeteSaisie(), Requete::Insertion);
        QTRY_COMPARE(int(cadre.sommaire()->rangee().emplacements.size()), 2); // Accepter, Annuler
        QSignalSpy retour(liste, &TablePersonnel::saisieTerminee);
        evt::poster(f, evt::Bouton13);
        QVERIFY(retour.wait(3000));
        QCOMPARE(retour.first().first().value<Reponse>(), Reponse::Annulee);
        QTRY_VERIFY(liste->isVisible());
        QVERIFY(m_inst.cartes().isEmpty());
    }

    // The moves, the letter locator and the scroll bar's positions are PagePersonnel's; here the keys and the bar
    // reach them and the view follows.
    void pagesThroughManyEmployees()
    {
        for (qint16 carte = 1; carte <= 60; ++carte)
            m_inst.ajouter(
                Installation::employe(carte, QStringLiteral("NOM%1").arg(61 - carte, 2, 10, QLatin1Char('0'))));
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.resize(1100, 700);
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QVERIFY(liste);
        QAbstractItemModelTester testeur(liste->modele(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_VERIFY(liste->isVisible());
        QTRY_VERIFY(liste->page().taille() > 2);
        const int taille = liste->page().taille();
        QCOMPARE(liste->modele()->rowCount(), taille);
        QCOMPARE(nomCourant(liste), QStringLiteral("NOM01"));
        QCOMPARE(liste->barre()->value(), 1);
        // Down through the whole order: the view follows, the model never holds more than the page.
        for (int i = 2; i <= 60; ++i) {
            QTest::keyClick(liste->vue(), Qt::Key_Down);
            QCOMPARE(nomCourant(liste), QStringLiteral("NOM%1").arg(i, 2, 10, QLatin1Char('0')));
            QCOMPARE(nomChoisi(liste), nomCourant(liste));
            QVERIFY(liste->modele()->rowCount() <= taille);
        }
        QCOMPARE(liste->barre()->value(), 100);
        // The scroll bar reaches the page (its positions over the keys are PagePersonnel's).
        liste->barre()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(nomCourant(liste), QStringLiteral("NOM01"));
        // The order by card reverses the names; the current employee stays current.
        QTest::keyClick(liste->vue(), Qt::Key_Down);
        evt::poster(liste, evt::BoutonListe + 5);
        QTRY_COMPARE(liste->ordre(), OrdrePersonnel::Carte);
        QCOMPARE(nomCourant(liste), QStringLiteral("NOM02"));
        QCOMPARE(liste->page().employeCourant()->CARTE, qint16(59));
        QCOMPARE(liste->onglets()->currentIndex(), 1);
        // A double click changes the row's employee.
        const QRect r = liste->vue()->visualRect(liste->modele()->index(0, 0));
        QTest::mouseClick(liste->vue()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(liste->vue()->viewport(), Qt::LeftButton, {}, r.center());
        SaisiePersonnel* f = Installation::formulaire(cadre);
        QVERIFY(f);
        QCOMPARE(f->fiche().CARTE, liste->modele()->employe(0).CARTE);
    }

    void orderRememberedBetweenOpenings()
    {
        // Until an order is chosen, the list opens on the settings' tab.
        {
            RecordFile<Parametre> par(*m_inst.base);
            QVERIFY(par.open().ok());
            Parametre p;
            p.TABPERSONNEL = 3;
            QVERIFY(par.add(p).ok());
        }
        m_inst.ajouter(Installation::employe(1, QStringLiteral("MARTIN")));
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QCOMPARE(liste->ordre(), OrdrePersonnel::Matricule);
        QCOMPARE(liste->onglets()->currentIndex(), 2);
        QTest::keyClick(liste->vue(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(liste->ordre(), OrdrePersonnel::Nom);
        evt::poster(liste, evt::BoutonListe + 5);
        QTRY_COMPARE(liste->ordre(), OrdrePersonnel::Carte);
        QPointer<TablePersonnel> garde(liste);
        evt::poster(liste, evt::Bouton13);
        QTRY_VERIFY(garde.isNull());
        liste = m_inst.ouvrirListe(cadre);
        QCOMPARE(liste->ordre(), OrdrePersonnel::Carte);
        QCOMPARE(liste->onglets()->currentIndex(), 1);
        liste->onglets()->setCurrentIndex(0);
        QCOMPARE(liste->ordre(), OrdrePersonnel::Nom);
        liste->close();
        liste = m_inst.ouvrirListe(cadre);
        QCOMPARE(liste->ordre(), OrdrePersonnel::Nom);
    }

    void readErrorWhilePagingClosesTheList()
    {
        for (qint16 carte = 1; carte <= 40; ++carte)
            m_inst.ajouter(Installation::employe(carte, QStringLiteral("NOM%1").arg(carte, 2, 10, QLatin1Char('0'))));
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QVERIFY(liste);
        QPointer<TablePersonnel> garde(liste);
        // Another program holds the file alone: reads fail once the wait is over.
        sqlite3* autre = nullptr;
        QCOMPARE(sqlite3_open(paths().file(FileId::Personnel).toUtf8().constData(), &autre), SQLITE_OK);
        QCOMPARE(sqlite3_exec(autre, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        m_inst.presenter.clear();
        QTest::keyClick(liste->vue(), Qt::Key_End);
        sqlite3_exec(autre, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(autre);
        QCOMPARE(int(m_inst.presenter.shown().size()), 1);
        QCOMPARE(m_inst.presenter.shown()[0].number, 35);
        QVERIFY(m_inst.presenter.shown()[0].text.contains(QStringLiteral("PERSONNEL")));
        QTRY_VERIFY(garde.isNull());
        QTRY_COMPARE(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("FenetrePrincipale"));
    }
};

QTEST_MAIN(TablePersonnelTest)
#include "TablePersonnelTest.moc"
