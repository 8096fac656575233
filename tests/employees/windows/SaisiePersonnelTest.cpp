// The employee form inside the frame of Kip: the bounds that follow the rounding, the worked example, the
// time texts, the periods and dates, the insert with its day lines and the change with its cascade; each
// refused value says why and leaves the record as stored. The writes themselves (duplicate keys, the delete
// and its day lines) are checked on the core in FichierPersonnelTest.
#include "employees/windows/SaisiePersonnel.h"

#include "FenetresEssai.h"
#include "absences/HorairesPrevus.h"
#include "calendar/Dates.h"
#include "employees/windows/ExempleVue.h"
#include "employees/windows/TablePersonnel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>

using namespace kip;

class SaisiePersonnelTest : public QObject
{
    Q_OBJECT

private:
    Installation m_inst;
    void choisir(QComboBox* liste, const QString& code)
    {
        const int i = liste->findData(code);
        QVERIFY(i >= 0);
        liste->setCurrentIndex(i);
        Q_EMIT liste->activated(i);
    }
    void choisirDate(SaisiePersonnel* f, const char* champ, qint32 date)
    {
        m_inst.presenter.answerDate(date);
        f->findChild<QToolButton*>(QStringLiteral("calendrier_") + QLatin1String(champ))->click();
    }
    template <class T> static T* c(QWidget* f, const char* nom) { return f->findChild<T*>(QLatin1String(nom)); }

private Q_SLOTS:
    void initTestCase() { m_inst.preparer(); }
    void init() { QVERIFY(m_inst.vider()); }
    void cleanup() { m_inst.verifier(); }
    void cleanupTestCase() { m_inst.terminer(); }

    // The bounds and the example's values are the core's (ReglesFiche); here the form follows the rounding chosen,
    // and a stored value beyond its bound stays as stored until a rounding is chosen again.
    void roundingChoiceBoundsToleranceAndOffset()
    {
        Personnel p = m_inst.employe(12, QStringLiteral("MARTIN"));
        p.ARRONDI_ENTREE = QStringLiteral("05");
        p.TOLERANCE_ENTREE = 10;
        p = m_inst.ajouter(p);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        auto* f = new SaisiePersonnel(cadre, Requete::Modification, p);
        QSpinBox* tolerance = c<QSpinBox>(f, "toleranceEntree");
        QCOMPARE(tolerance->value(), 10);
        choisir(c<QComboBox>(f, "arrondiEntree"), QStringLiteral("15"));
        QCOMPARE(tolerance->maximum(), 14);
        c<QSpinBox>(f, "decalageEntree")->setValue(5);
        QCOMPARE(f->findChild<ExempleVue*>()->retenues(), QStringList({"7.35", "7.50", "8.05", "8.20", "8.35"}));
        choisir(c<QComboBox>(f, "arrondiEntree"), QStringLiteral("05"));
        QCOMPARE(tolerance->value(), 4);
        QCOMPARE(f->fiche().TOLERANCE_ENTREE, 4);
        QCOMPARE(f->fiche().DECALAGE_ENTREE, 5);
    }

    void midnightShiftTextsAreCheckedAndStored()
    {
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        liste->nouveau();
        SaisiePersonnel* f = m_inst.formulaire(cadre);
        QVERIFY(f);
        QLineEdit* minuit = c<QLineEdit>(f, "decalageMinuit");
        minuit->setText(QStringLiteral("12.30"));
        Q_EMIT minuit->editingFinished();
        QCOMPARE(f->fiche().DECALAGE_MINUIT, 0);
        // The extension's own check as the focus goes back leaves the reason in sight.
        Q_EMIT c<QLineEdit>(f, "extension")->editingFinished();
        QVERIFY(f->avis().startsWith(QStringLiteral("Décalage minuit : ")));
        QTRY_COMPARE(f->focusWidget(), minuit);
        // OK with a refused text stores nothing.
        f->accepter();
        QVERIFY(m_inst.cartes().isEmpty());
        minuit->setText(QStringLiteral("12.00"));
        Q_EMIT minuit->editingFinished();
        QCOMPARE(f->fiche().DECALAGE_MINUIT, 720);
        QVERIFY(f->avis().isEmpty());
        c<QLineEdit>(f, "extension")->setText(QStringLiteral("14.00"));
        c<QLineEdit>(f, "nom")->setText(QStringLiteral("MARTIN"));
        Q_EMIT c<QLineEdit>(f, "nom")->textEdited(QStringLiteral("MARTIN"));
        QPointer<SaisiePersonnel> garde(f);
        evt::poster(f, evt::Bouton1Formulaire);
        QTRY_VERIFY_WITH_TIMEOUT(garde.isNull(), 10000);
        const Personnel stocke = *m_inst.employeLu(1);
        QCOMPARE(stocke.DECALAGE_MINUIT, qint16(720));
        QCOMPARE(stocke.EXTENSION, qint16(840));
        QCOMPARE(stocke.MATRICULE, QStringLiteral("0000000001"));
    }

    void aBlankNameIsRefusedAndTheDefaultMatriculeFollowsTheCard()
    {
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        auto* f = new SaisiePersonnel(cadre, Requete::Insertion, {});
        // The matricule made from card 1 follows the card; one typed by the user stays.
        QSpinBox* carte = c<QSpinBox>(f, "carte");
        QLineEdit* matricule = c<QLineEdit>(f, "matricule");
        Q_EMIT carte->editingFinished();
        QCOMPARE(matricule->text(), QStringLiteral("0000000001"));
        // Changed with the arrows, then OK straight away: the matricule still follows.
        carte->setValue(43);
        // A blank name is refused: the lists sort by it.
        f->accepter();
        QCOMPARE(f->avis(), QStringLiteral("Entrez le nom de l'employé."));
        QTRY_COMPARE(f->focusWidget(), c<QLineEdit>(f, "nom"));
        QVERIFY(m_inst.cartes().isEmpty());
        QCOMPARE(f->fiche().MATRICULE, QStringLiteral("0000000043"));
        matricule->setText(QStringLiteral("A7"));
        Q_EMIT matricule->textEdited(QStringLiteral("A7"));
        carte->setValue(44);
        Q_EMIT carte->editingFinished();
        QCOMPARE(f->fiche().MATRICULE, QStringLiteral("A7"));
    }

    void periodsAndDates()
    {
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        auto* f = new SaisiePersonnel(cadre, Requete::Insertion, {});
        const qint32 t = m_inst.today;
        // A last working day picked before the first swaps the two.
        choisirDate(f, "dernierJour", t - 30);
        QCOMPARE(f->fiche().DATE_EMBAUCHE, t - 30);
        QCOMPARE(f->fiche().DATE_DEBAUCHE, t);
        QCOMPARE(c<QLineEdit>(f, "premierJour")->text(), DateTexte(t - 30));
        QVERIFY(f->datesChangees());
        // Two periods (keeping the ten latest is ReglesFiche's); selecting in one list selects in the other, and
        // the selected period goes.
        for (int i = 1; i >= 0; --i) {
            choisirDate(f, "debutInactivite", t - 400 + 30 * i);
            choisirDate(f, "finInactivite", t - 395 + 30 * i);
            c<QPushButton>(f, "ajouterPeriode")->click();
        }
        QListWidget* debuts = c<QListWidget>(f, "debutsPeriodes");
        QListWidget* fins = c<QListWidget>(f, "finsPeriodes");
        QCOMPARE(fins->item(0)->text(), DateTexte(t - 365));
        debuts->setCurrentRow(1);
        QCOMPARE(fins->currentRow(), 1);
        c<QPushButton>(f, "supprimerPeriode")->click();
        QCOMPARE(fins->count(), 1);
        QCOMPARE(f->periodes().last(), (Periode{t - 370, t - 365}));
    }

    void newEmployeeGetsItsDayLines()
    {
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QSignalSpy retour(liste, &TablePersonnel::saisieTerminee);
        liste->nouveau();
        SaisiePersonnel* f = m_inst.formulaire(cadre);
        QVERIFY(f);
        QTRY_VERIFY(!liste->isVisible());
        const qint32 t = m_inst.today;
        c<QSpinBox>(f, "carte")->setValue(42);
        c<QLineEdit>(f, "nom")->setText(QStringLiteral("DUPONT"));
        Q_EMIT c<QLineEdit>(f, "nom")->textEdited(QStringLiteral("DUPONT"));
        choisirDate(f, "premierJour", t - 100);
        QSignalSpy prete(f, &SaisiePersonnel::preparationTerminee);
        evt::poster(f, evt::Bouton1Formulaire);
        QVERIFY(retour.wait(10000));
        QCOMPARE(int(prete.size()), 1);
        QCOMPARE(retour.first().first().value<Reponse>(), Reponse::Complete);
        // Which days get a line is PreparationEmploye's: here they were made, from ninety days back to Sunday.
        QCOMPARE(m_inst.journees(42).firstKey(), t - 90);
        QCOMPARE(m_inst.journees(42).lastKey(), LundiDimanche(t).dimanche);
        // Back in the list, the new employee is the current row.
        QCOMPARE(liste->page().employeCourant()->CARTE, qint16(42));
        QCOMPARE(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("TablePersonnel"));
    }

    // A new employee keeps the default pattern of its hiring; a change applies from its date, the past kept.
    void plannedHoursOfTheForm()
    {
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QSignalSpy retour(liste, &TablePersonnel::saisieTerminee);
        liste->nouveau();
        SaisiePersonnel* f = m_inst.formulaire(cadre);
        QVERIFY(f);
        c<QLineEdit>(f, "nom")->setText(QStringLiteral("MARTIN"));
        Q_EMIT c<QLineEdit>(f, "nom")->textEdited(QStringLiteral("MARTIN"));
        c<QLineEdit>(f, "prevu4")->setText(QStringLiteral("4.75")); // minutes above 59: refused, nothing written
        f->accepter();
        QVERIFY(f->avis().contains(QStringLiteral("Ven")));
        QVERIFY(m_inst.cartes().isEmpty());
        c<QLineEdit>(f, "prevu4")->setText(QStringLiteral("4.00"));
        evt::poster(f, evt::Bouton1Formulaire);
        QVERIFY(retour.wait(10000));
        Result<HorairesPrevus> h = LireHoraires(*m_inst.base);
        QVERIFY(h.ok());
        QCOMPARE(h->deLaCarte(1).size(), size_t(1));
        QCOMPARE(h->motif(1, m_inst.today), (MinutesSemaine{420, 420, 420, 420, 240, 0, 0}));

        liste->modifier();
        f = m_inst.formulaire(cadre);
        QVERIFY(f);
        QCOMPARE(c<QLineEdit>(f, "prevuDepuis")->text(), DateTexte(m_inst.today));
        // The date from which the change applies, chosen with the day picker.
        m_inst.presenter.answerDate(m_inst.today + 7);
        c<QToolButton>(f, "calendrier_prevuDepuis")->click();
        QCOMPARE(c<QLineEdit>(f, "prevuDepuis")->text(), DateTexte(m_inst.today + 7));
        c<QLineEdit>(f, "prevu2")->setText(QStringLiteral("0"));
        evt::poster(f, evt::Bouton1Formulaire);
        QVERIFY(retour.wait(10000));
        h = LireHoraires(*m_inst.base);
        QCOMPARE(h->motif(1, m_inst.today + 6)[2], qint16(420));
        QCOMPARE(h->motif(1, m_inst.today + 7)[2], qint16(0));
    }

    // The cascade, its refusals and messages 15 and 16 are the core's (FichierPersonnelTest); here the form
    // reaches it and the list follows the new card.
    void changeOfCardReachesTheDayLines()
    {
        const Personnel p = m_inst.ajouter(m_inst.employe(12, QStringLiteral("MARTIN")));
        for (qint32 d = m_inst.today - 4; d <= m_inst.today; ++d)
            m_inst.ajouterJournee(p, d);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        QSignalSpy retour(liste, &TablePersonnel::saisieTerminee);
        liste->modifier();
        SaisiePersonnel* f = m_inst.formulaire(cadre);
        QVERIFY(f);
        c<QSpinBox>(f, "carte")->setValue(15);
        evt::poster(f, evt::Bouton1Formulaire);
        QVERIFY(retour.wait(5000));
        QCOMPARE(retour.last().first().value<Reponse>(), Reponse::Complete);
        QCOMPARE(int(m_inst.journees(15).size()), 5);
        QVERIFY(m_inst.journees(12).isEmpty());
        QCOMPARE(liste->page().employeCourant()->CARTE, qint16(15));
    }

    void changeMadeElsewhereIsShownInTheForm()
    {
        Personnel p = m_inst.ajouter(m_inst.employe(12, QStringLiteral("MARTIN")));
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        TablePersonnel* liste = m_inst.ouvrirListe(cadre);
        liste->modifier();
        SaisiePersonnel* f = m_inst.formulaire(cadre);
        QVERIFY(f);
        // Another station renames the employee while the form is open.
        {
            Database ailleurs(paths().dataDir);
            LinkValues liens = LinkValues::of(p);
            p.NOM = QStringLiteral("MARTINEZ");
            QVERIFY(updateEmployee(ailleurs, p, liens).ok());
        }
        c<QSpinBox>(f, "toleranceSortie")->setValue(0);
        c<QLineEdit>(f, "prenom")->setText(QStringLiteral("Pierre"));
        Q_EMIT c<QLineEdit>(f, "prenom")->textEdited(QStringLiteral("Pierre"));
        m_inst.presenter.clear();
        f->accepter();
        QCOMPARE(int(m_inst.presenter.shown().size()), 1);
        QCOMPARE(m_inst.presenter.shown()[0].text,
                 QStringLiteral("Cet enregistrement a été modifié par une autre station."));
        QCOMPARE(c<QLineEdit>(f, "nom")->text(), QStringLiteral("MARTINEZ"));
        QCOMPARE(c<QLineEdit>(f, "prenom")->text(), QStringLiteral("Paul"));
        QCOMPARE(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("SaisiePersonnel"));
        QCOMPARE(m_inst.employeLu(12)->NOM, QStringLiteral("MARTINEZ"));
    }
};

QTEST_MAIN(SaisiePersonnelTest)
#include "SaisiePersonnelTest.moc"
