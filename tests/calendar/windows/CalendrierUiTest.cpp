// The day and week pickers driven as a user would: spins, tabs, rows and cells, with "today" injected.
#include "calendar/windows/CalendrierJour.h"
#include "calendar/windows/CalendrierSemaine.h"
#include "calendar/windows/OngletsMois.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace kip;

namespace {

qint32 d(int jour, int mois, int annee)
{
    return dayNumber(annee, mois, jour);
}

// Closes the modal window that the next exec() opens, as the user's close button would.
void fermerLaFenetreModale()
{
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
}

} // namespace

class CalendrierUiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::setToday(d(23, 3, 2005)); } // Wednesday of week 12 of 2005
    void cleanup() { Clock::setToday(0); }

    void semaineHorsBornesOuvreSurLaSemaineCourante()
    {
        for (const Semaine entree : {Semaine{0, 2010}, Semaine{10, 1975}}) {
            CalendrierSemaine w(entree.numero, entree.annee);
            QCOMPARE(w.semaineChoisie(), 12);
            QCOMPARE(w.spinAnnee()->value(), 2005);
            QCOMPARE(w.spinMois()->value(), 3);
            QVERIFY(w.onglets()->onglet(3)->isChecked());
            QCOMPARE(w.windowTitle(), QStringLiteral("12-2005 du 21/03/2005 au 27/03/2005"));
            // March 2005: weeks 9 to 13 (the weeks of a month are CalendrierAnnee's); week 12 in red.
            QCOMPARE(w.texteLigne(4), QStringLiteral("12 21/03/2005 27/03/2005"));
            QVERIFY(w.ligneChoisie(4) && !w.ligneChoisie(3) && !w.ligneChoisie(5));
        }
        // Closed without a pick, the arguments get the current week.
        quint8 semaine = 0;
        qint16 annee = 1975;
        fermerLaFenetreModale();
        QVERIFY(!CalendrierSemaine::choisir(semaine, annee, nullptr));
        QCOMPARE(int(semaine), 12);
        QCOMPARE(int(annee), 2005);
    }

    void ligneApresChangementDeMoisGardeLAnneeAffichee()
    {
        // Week 53 of 2004 shows December; going to January shows weeks 1 to 5 of week-year 2004.
        CalendrierSemaine w(53, 2004);
        QCOMPARE(w.moisAffiche(), 12);
        QCOMPARE(w.texteLigne(5), QStringLiteral("53 27/12/2004 02/01/2005"));
        QVERIFY(w.ligneChoisie(5));
        w.spinMois()->stepUp(); // 12 wraps to 1
        QCOMPARE(w.moisAffiche(), 1);
        QVERIFY(w.onglets()->onglet(1)->isChecked());
        QCOMPARE(w.texteLigne(1), QStringLiteral("1 29/12/2003 04/01/2004"));
        QVERIFY(!w.ligneChoisie(1));
        QTest::mouseClick(w.ligne(1), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.resultat(), (Semaine{1, 2004}));
    }

    void ongletsAnneeEtCetteSemaine()
    {
        CalendrierSemaine w(12, 2005);
        QTest::mouseClick(w.onglets()->onglet(6), Qt::LeftButton);
        QCOMPARE(w.spinMois()->value(), 6);
        QCOMPARE(w.semaineDeLigne(1), 22);
        // February 2005 holds four weeks: the fifth row is hidden.
        QTest::mouseClick(w.onglets()->onglet(2), Qt::LeftButton);
        QCOMPARE(w.semaineDeLigne(4), 8);
        QVERIFY(w.ligne(5)->isHidden());
        QTest::mouseClick(w.onglets()->onglet(6), Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QStringLiteral("12-2005 du 21/03/2005 au 27/03/2005"));

        // The year spin wraps at 2099 and below 1980, and rebuilds the table for the month on view.
        w.spinAnnee()->setValue(2099);
        w.spinAnnee()->stepUp();
        QCOMPARE(w.anneeAffichee(), 1980);
        QCOMPARE(w.moisAffiche(), 6);
        QCOMPARE(w.windowTitle(), CalendrierAnnee(1980).titre(12));
        w.spinAnnee()->stepDown();
        QCOMPARE(w.anneeAffichee(), 2099);

        // The chosen week 53 of 2004 does not exist in 2005: the caption names week 52 instead.
        CalendrierSemaine w53(53, 2004);
        w53.spinAnnee()->stepUp();
        QCOMPARE(w53.semaineChoisie(), 52);
        QCOMPARE(w53.windowTitle(), QStringLiteral("52-2005 du 26/12/2005 au 01/01/2006"));

        w.spinMois()->stepDown();
        QTest::mouseClick(w.boutonCetteSemaine(), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected)); // the window stays open
        QCOMPARE(w.anneeAffichee(), 2005);
        QCOMPARE(w.moisAffiche(), 3);
        QVERIFY(w.ligneChoisie(4));
        // Closed without a pick: the entry week comes back.
        w.reject();
        QCOMPARE(w.resultat(), (Semaine{12, 2005}));
    }

    void fevrier2000A29Jours()
    {
        CalendrierJour w(d(15, 2, 2000));
        QCOMPARE(w.windowTitle(), QStringLiteral("Février 2000"));
        QVERIFY(w.onglets()->onglet(2)->isChecked());
        // 1 February 2000 was a Tuesday.
        QCOMPARE(w.celluleDuJour(1), 2);
        QCOMPARE(w.celluleDuJour(29), 30);
        QCOMPARE(w.celluleDuJour(30), 0);
        QCOMPARE(w.cellule(31)->text(), QString());
        QVERIFY(w.cellule(w.celluleDuJour(15))->property("marque").toBool());
        QTest::mouseClick(w.cellule(w.celluleDuJour(29)), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.resultat(), d(29, 2, 2000));
    }

    void spinsEtOngletsDuJour()
    {
        CalendrierJour w(d(15, 6, 2099));
        w.spinAnnee()->stepUp();
        QCOMPARE(w.windowTitle(), QStringLiteral("Juin 1980"));
        QVERIFY(!w.cellule(w.celluleDuJour(15))->property("marque").toBool());
        w.spinAnnee()->stepDown();
        w.spinMois()->setValue(12);
        w.spinMois()->stepUp();
        QCOMPARE(w.moisAffiche(), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Janvier 2099"));
        QTest::mouseClick(w.onglets()->onglet(3), Qt::LeftButton);
        QCOMPARE(w.spinMois()->value(), 3);
        QCOMPARE(w.windowTitle(), QStringLiteral("Mars 2099"));

        // A blank cell does nothing (1 March 2099 is a Sunday).
        QCOMPARE(w.cellule(1)->text(), QString());
        QTest::mouseClick(w.cellule(1), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));

        // "Aujourd'hui" shows and marks today but keeps the window open and the entry date.
        QTest::mouseClick(w.boutonAujourdhui(), Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QStringLiteral("Mars 2005"));
        QCOMPARE(w.dateMarquee(), d(23, 3, 2005));
        QVERIFY(w.cellule(w.celluleDuJour(23))->property("marque").toBool());
        w.reject();
        QCOMPARE(w.resultat(), d(15, 6, 2099));

        // An entry year outside 1980..2099 is shown as it is.
        CalendrierJour ancien(d(4, 7, 1975));
        QCOMPARE(ancien.spinAnnee()->value(), 1975);
        QCOMPARE(ancien.windowTitle(), QStringLiteral("Juillet 1975"));
    }

    void jourZeroFermeRendAujourdhui()
    {
        qint32 date = 0;
        fermerLaFenetreModale();
        QVERIFY(!CalendrierJour::choisir(date, nullptr));
        QCOMPARE(date, d(23, 3, 2005));

        date = d(1, 5, 2004);
        fermerLaFenetreModale();
        QVERIFY(!CalendrierJour::choisir(date, nullptr));
        QCOMPARE(date, d(1, 5, 2004));
    }
};

QTEST_MAIN(CalendrierUiTest)
#include "CalendrierUiTest.moc"
