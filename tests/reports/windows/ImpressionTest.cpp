// The report selection inside the frame: what it proposes, how the report's code bounds the period, the
// employee ranges, the frame's requests, and a report run through its progress window to the preview.
#include "reports/windows/Impression.h"

#include "InstallationFenetres.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "reports/Editions.h"
#include "reports/ExportPaie.h"
#include "reports/windows/CaseCouleur.h"
#include "reports/windows/GenerationRapport.h"
#include "reports/windows/Previsualisation.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <QToolButton>
#include <atomic>

using namespace kip;

class ImpressionTest : public QObject
{
    Q_OBJECT

private:
    InstallationFenetres m_inst;
    ScriptedPresenter& m_presenter = m_inst.presenter;
    const qint32 m_today = dayNumber(2026, 12, 13); // a Sunday
    std::unique_ptr<Cadre> m_cadre;

    // Three employees with two weeks of five days of 7 hours before this one, or none.
    void installation(bool avecEmployes)
    {
        QVERIFY(m_inst.vider());
        if (!avecEmployes)
            return;
        const std::tuple<qint16, const char*, const char*> employes[] = {
            {5, "BERNARD", "Luc"}, {12, "MARTIN", "Paul"}, {30, "DUPONT", "Anne"}};
        for (const auto& [carte, nom, prenom] : employes) {
            const Personnel p =
                m_inst.ajouter(m_inst.employe(carte, QString::fromUtf8(nom), QString::fromUtf8(prenom)));
            for (qint32 d = m_today - 20; d <= m_today - 7; ++d)
                if (jourSemaine(d) != 0 && jourSemaine(d) != 6)
                    m_inst.ajouterJournee(p, d, {480, 900});
        }
    }

    Impression* ouvrir()
    {
        m_cadre = std::make_unique<Cadre>(Program::Kip, 0, [] {});
        m_cadre->show();
        auto* w = qobject_cast<Impression*>(ouvrirFenetre(nom::Impression, *m_cadre));
        if (w)
            w->imprimer = [this](const ImagesPages& pages, const QString& document) {
                imprimees << pages.nombre();
                documents << document;
                QStringList lignes;
                for (int n = 1; n <= pages.nombre(); ++n)
                    lignes += pages.page(n)->lignesDeTexte();
                textes << lignes.join(u'\n');
            };
        return w;
    }

    // Whether Impression is in the frame's list of open windows.
    bool listee() const
    {
        for (const EntreeFenetre& e : m_cadre->liste().entrees())
            if (e.NOMFENETREACTIVE == QLatin1String("Impression"))
                return true;
        return false;
    }

    QList<int> imprimees;
    QStringList documents;
    QStringList textes; // the text of every page printed, one entry per print

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.today = m_today;
        m_inst.fichiers = {FileId::Personnel, FileId::PointVal};
        enregistrerFenetresEditions();
    }
    void cleanupTestCase() { m_inst.terminer(); }
    void init()
    {
        m_presenter.clear();
        imprimees.clear();
        documents.clear();
        textes.clear();
        setEditionCentiemes(false);
    }
    void cleanup() { m_cadre.reset(); }

    void withoutEmployeesNothingOpens()
    {
        installation(false);
        QVERIFY(!ouvrir());
        QVERIFY(!listee());
        QVERIFY(m_presenter.shown().isEmpty());
    }

    // The proposed week is the selection's (SelectionImpressionTest); here the window shows it, nothing chosen.
    void opensOnTheWeekBeforeWithNothingChosen()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        QCOMPARE(m_cadre->liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("Impression"));
        QCOMPARE(w->texteDateDebut()->text(), QStringLiteral("30/11/2026"));
        QCOMPARE(w->ligneCourante(), 1);
        for (CaseCouleur* c : {w->caseHeuresMinutes(), w->caseHeuresCentiemes(), w->caseSemaines(), w->caseDates()})
            QVERIFY(!c->isEnabled());
        QCOMPARE(w->texteEtendue(Tri::Numero, false)->text(), QStringLiteral("0005 BERNARD Luc M0005"));
        QCOMPARE(w->texteEtendue(Tri::Nom, true)->text(), QStringLiteral("MARTIN Paul 0012 M0012"));
    }

    // The bounds of each code and the exchange of reversed weeks are the selection's (SelectionImpressionTest);
    // here the boxes and texts follow the row.
    void theCodeOfTheRowBoundsThePeriod()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        auto cliquer = [w](const char* bouton) { w->findChild<QToolButton*>(QLatin1String(bouton))->click(); };

        w->choisirLigne(5); // "1/xj": weeks or dates, no bound
        QCOMPARE(w->caseSemaines()->etat(), CaseCouleur::Etat::Actif);
        QCOMPARE(w->caseDates()->etat(), CaseCouleur::Etat::Inactif);
        QVERIFY(w->caseDates()->isEnabled());
        QVERIFY(w->caseHeuresMinutes()->isEnabled());
        m_presenter.answerWeek(Semaine{40, 2026});
        cliquer("semaineDebut");
        QCOMPARE(w->texteSemaineDebut()->text(), QStringLiteral("Sem.: 40/2026"));
        w->choisirLigne(2); // "1/5s": weeks only
        QVERIFY(!w->caseDates()->isEnabled());
        QCOMPARE(w->caseDates()->etat(), CaseCouleur::Etat::Gris);
        w->choisirLigne(1); // no period: the unit boxes go grey
        QVERIFY(!w->caseHeuresCentiemes()->isEnabled());
        QCOMPARE(w->caseHeuresCentiemes()->etat(), CaseCouleur::Etat::Gris);
        QVERIFY(!w->groupeSemaines()->isEnabled());
    }

    void unitsSortModesAndRanges()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        w->choisirLigne(3);
        QTest::mouseClick(w->caseHeuresCentiemes(), Qt::LeftButton);
        QVERIFY(EditionCentiemes());
        QTest::mouseClick(w->caseTri(Tri::Nom), Qt::LeftButton);
        QCOMPARE(w->selection().tri(), Tri::Nom);
        QVERIFY(w->groupeTri(Tri::Nom)->isEnabled());
        QVERIFY(!w->groupeTri(Tri::Numero)->isEnabled());
        // The lists reach the selection (its exchange of reversed ranges is SelectionImpressionTest's).
        QTest::mouseClick(w->caseTri(Tri::Numero), Qt::LeftButton);
        Q_EMIT w->listeEmployes(Tri::Numero, false)->activated(1); // card 12
        QCOMPARE(w->selection().carteDebut(), 12);
        QCOMPARE(w->texteEtendue(Tri::Numero, false)->text(), QStringLiteral("0012 MARTIN Paul M0012"));
    }

    void theFramesRequests()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        int configurations = 0;
        w->configurerImprimante = [&] { ++configurations; };
        evt::poster(w, evt::BoutonListe + 2);
        QTRY_COMPARE(configurations, 1);
        QCOMPARE(m_cadre->focusWidget(), w->boutonConfig());
        QPointer<Impression> garde(w);
        evt::poster(w, evt::Bouton13);
        QTRY_VERIFY(!garde);
        QVERIFY(!listee());
    }

    void aRunGoesToThePreviewAndPrintsOnlyWhenAsked()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        w->choisirLigne(3);
        evt::poster(w, evt::BoutonListe + 1); // the bar's Impression
        QTRY_VERIFY_WITH_TIMEOUT(w->apercu(), 20000);
        Previsualisation* a = w->apercu();
        QVERIFY(!w->progression());
        QCOMPARE(a->nombrePages(), 1);
        a->close(); // the close box
        QTRY_VERIFY(!w->editionEnCours());
        QVERIFY(imprimees.isEmpty());

        w->boutonImprimer()->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->apercu(), 20000);
        w->apercu()->actionImprimer()->trigger();
        QCOMPARE(imprimees, QList<int>{1});
        QCOMPARE(documents, QStringList{QStringLiteral("EditionSemaine du 30-11-2026 au 06-12-2026")});
        QTRY_VERIFY(!w->editionEnCours());
        QVERIFY(m_presenter.shown().isEmpty());
    }

    void nothingMatchingPreviewsNothing()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        m_presenter.answerWeek(Semaine{10, 2020});
        m_presenter.answerWeek(Semaine{10, 2020});
        w->choisirLigne(2);
        w->findChild<QToolButton*>(QStringLiteral("semaineDebut"))->click();
        w->findChild<QToolButton*>(QStringLiteral("semaineFin"))->click();
        w->lancerEdition();
        QVERIFY(w->editionEnCours());
        QTRY_VERIFY_WITH_TIMEOUT(!w->editionEnCours(), 20000);
        QVERIFY(!w->apercu());
        QVERIFY(m_presenter.shown().isEmpty());
    }

    void cancellingHalfwayPreviewsNothing()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        m_presenter.answerWeek(NumeroSemaine(m_today - 20));
        w->choisirLigne(3);
        w->findChild<QToolButton*>(QStringLiteral("semaineDebut"))->click();
        // The run stops at half-way until the test lets it go on; never longer than the wait below.
        auto arrete = std::make_shared<std::atomic<bool>>(false);
        auto reprise = std::make_shared<QSemaphore>(0);
        w->etapeEdition = [arrete, reprise](int pourcent) {
            if (pourcent >= 50 && !arrete->exchange(true))
                reprise->tryAcquire(1, 20000);
        };
        w->lancerEdition();
        QTRY_VERIFY_WITH_TIMEOUT(arrete->load(), 20000);
        GenerationRapport* g = w->progression();
        QVERIFY(g && g->isVisible());
        QTRY_VERIFY(g->pourcent() > 0); // the window follows the run while it waits
        QVERIFY(g->textePourcent().endsWith(QStringLiteral("% terminé")));
        g->boutonAnnuler()->click();
        reprise->release();
        QTRY_VERIFY_WITH_TIMEOUT(!w->editionEnCours(), 20000);
        QVERIFY(!w->apercu());
        QVERIFY(imprimees.isEmpty());
    }

    void exportsTheTotalsOfTheWeekAndPeriodTotalsRows()
    {
        installation(true);
        Impression* w = ouvrir();
        QVERIFY(w);
        w->choisirLigne(3);
        QVERIFY(!w->boutonExporter()->isEnabled());
        w->choisirLigne(6);
        QVERIFY(w->boutonExporter()->isEnabled());

        // The file question answered "Annuler": nothing runs.
        m_presenter.answerFile(std::nullopt);
        w->boutonExporter()->click();
        QVERIFY(!w->editionEnCours());
        QCOMPARE(m_presenter.fileQuestions().size(), 1);
        QCOMPARE(m_presenter.fileQuestions()[0].suggestedName,
                 QStringLiteral("EditionTotauxSemaine du 30-11-2026 au 06-12-2026.csv"));

        // The week totals: the same file as the export of the same choices.
        const QString semaines = m_inst.tmp.path() + QStringLiteral("/semaines.csv");
        m_presenter.answerFile(semaines);
        w->boutonExporter()->click();
        QVERIFY(w->editionEnCours());
        QTRY_VERIFY_WITH_TIMEOUT(!w->editionEnCours(), 20000);
        const QString attendu = m_inst.tmp.path() + QStringLiteral("/attendu.csv");
        {
            Database db(paths().dataDir);
            const ParametresEdition p = w->selection().parametres(*definitionEdition(6), false);
            QVERIFY(Exporter(db, GenreExport::TotauxSemaines, p, SeuilsPaie{}, attendu).ecrit());
        }
        QCOMPARE(lire(semaines), lire(attendu));
        QCOMPARE(m_presenter.shown().size(), 1);
        QCOMPARE(m_presenter.shown()[0].icon, MessageIcon::Information);
        QVERIFY(m_presenter.shown()[0].text.startsWith(QStringLiteral("6 ligne(s) exportée(s) dans")));

        // The period totals (checked here only), in hundredths: one row per employee and the grand total.
        w->choisirUnite(true);
        w->choisirLigne(7);
        const QString periode = m_inst.tmp.path() + QStringLiteral("/periode.csv");
        m_presenter.answerFile(periode);
        w->boutonExporter()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->editionEnCours(), 20000);
        const QList<QByteArray> lignes = lire(periode).split('\n');
        QCOMPARE(lignes.size(), 6);
        QCOMPARE(lignes[1], QByteArray("5;M0005;BERNARD;Luc;35,00\r"));
        QCOMPARE(lignes[4], QByteArray("Total g\xC3\xA9n\xC3\xA9ral;;;;105,00\r"));
    }

private:
    static QByteArray lire(const QString& chemin)
    {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }
};

QTEST_MAIN(ImpressionTest)
#include "ImpressionTest.moc"
