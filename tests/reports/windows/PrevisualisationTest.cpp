// The print preview: its page grid and zooms, its commands and their limits, its answer, the PDF it saves
// and the printing of its pages.
#include "reports/windows/Previsualisation.h"

#include "../TexteDuPdf.h"
#include "data/ScriptedPresenter.h"
#include "reports/MoteurBandes.h"
#include "reports/windows/DialoguesApercu.h"
#include "reports/windows/ImprimerPages.h"
#include "reports/windows/VuePage.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>

using namespace kip;

namespace {

void remplir(ImagesPages& pages, int n)
{
    for (int k = 1; k <= n; ++k) {
        ImagePage page(8268, 11693);
        page.cadre(405, 400, 7458, 469, Trait);
        page.texte(500, 500, 3000, 130, QStringLiteral("Page numéro %1").arg(k), polices::Normale);
        QVERIFY(pages.ajouter(page));
    }
}

// The pages the grid's cells show, 0 for a hidden cell.
QList<int> cellules(const Previsualisation& a)
{
    QList<int> out;
    for (int k = 1; k <= a.nombreCellules(); ++k)
        out << (a.cellule(k)->isVisible() ? a.cellule(k)->numero() : 0);
    return out;
}

} // namespace

class PrevisualisationTest : public QObject
{
    Q_OBJECT

private:
    ScriptedPresenter m_presenter;

private Q_SLOTS:
    void initTestCase() { setMessagePresenter(&m_presenter); }
    void cleanupTestCase() { setMessagePresenter(nullptr); }
    void init() { m_presenter.clear(); }

    void fivePagesInATwoByTwoGridOrOnePage()
    {
        ImagesPages pages;
        remplir(pages, 5);
        Previsualisation a(pages, QStringLiteral("essai"));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QVERIFY(!a.actionPrecedente()->isEnabled());
        QCOMPARE(a.spinPage()->maximum(), 5);
        a.spinHorizontal()->setValue(2);
        a.spinVertical()->setValue(2);
        QCOMPARE(a.textePage(), QStringLiteral("Pages 1-4 sur 5"));
        QCOMPARE(cellules(a), (QList<int>{1, 2, 3, 4}));
        QVERIFY(a.actionSuivante()->isEnabled());
        a.actionSuivante()->trigger();
        QCOMPARE(a.pageCourante(), 5);
        QCOMPARE(cellules(a), (QList<int>{5, 0, 0, 0}));
        QCOMPARE(a.textePage(), QStringLiteral("Page 5 sur 5"));
        QCOMPARE(a.spinPage()->value(), 5);
        QVERIFY(!a.actionSuivante()->isEnabled());
        QVERIFY(a.actionPrecedente()->isEnabled());
        QTest::keyClick(&a, Qt::Key_PageUp);
        QCOMPARE(a.pageCourante(), 1);
        QCOMPARE(a.textePage(), QStringLiteral("Pages 1-4 sur 5"));
        // The cells keep the page's proportions and never overlap.
        const QRect c1 = a.cellule(1)->geometry();
        const QRect c2 = a.cellule(2)->geometry();
        QVERIFY(qAbs(double(c1.height()) / c1.width() - 11693.0 / 8268) < 0.02);
        QVERIFY(c2.left() > c1.right());

        // One page: nothing to move to.
        ImagesPages une;
        remplir(une, 1);
        Previsualisation c(une, QStringLiteral("essai"));
        c.show();
        QVERIFY(!c.spinPage()->isEnabled() && !c.menuVoir()->isEnabled() && !c.actionSuivante()->isEnabled());
        QTest::keyClick(&c, Qt::Key_PageDown);
        QCOMPARE(cellules(c), QList<int>{1});
    }

    void aClickOnACellZoomsOnItsPageAndAClickOnThePageComesBack()
    {
        ImagesPages pages;
        remplir(pages, 8);
        Previsualisation a(pages, QStringLiteral("essai"));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.changerGrille(2, 2);
        a.spinPage()->setValue(5);
        QCOMPARE(cellules(a), (QList<int>{5, 6, 7, 8}));
        QTest::mouseClick(a.cellule(3), Qt::LeftButton, {}, a.cellule(3)->rect().center());
        QCOMPARE(a.pageCourante(), 7);
        QCOMPARE(a.zoom(), Previsualisation::Zoom::LargeurPage);
        QCOMPARE(a.texteZoom(), QStringLiteral("Zoom (Largeur page)"));
        QTRY_VERIFY(a.pageZoomee()->isVisible());
        QCOMPARE(a.pageZoomee()->numero(), 7);
        const int vue = a.findChild<QScrollArea*>(QStringLiteral("defilement"))->viewport()->width();
        QVERIFY(a.pageZoomee()->width() <= vue);
        QVERIFY(a.pageZoomee()->width() > vue * 9 / 10);
        // In a zoomed mode the pages go one by one.
        a.actionSuivante()->trigger();
        QCOMPARE(a.pageCourante(), 8);
        QVERIFY(!a.actionSuivante()->isEnabled());
        QTest::mouseClick(a.pageZoomee(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(a.zoom(), Previsualisation::Zoom::PasDeZoom);
        QCOMPARE(a.textePage(), QStringLiteral("Page 8 sur 8"));
    }

    void zoomsFromTheMenuThePopUpAndTheGridSpinBoxes()
    {
        ImagesPages pages;
        remplir(pages, 4);
        Previsualisation a(pages, QStringLiteral("essai"));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.actionZoom(Previsualisation::Zoom::Z200)->trigger();
        QCOMPARE(a.texteZoom(), QStringLiteral("Zoom (200 %)"));
        const int naturelle = int(8268 / 1000.0 * a.logicalDpiX());
        QVERIFY(qAbs(a.pageZoomee()->width() - 2 * naturelle) <= 1);
        a.boutonLoupe()->click();
        QMenu* menu = a.menuZoom();
        QVERIFY(menu);
        QList<QAction*> entrees;
        for (QAction* e : menu->actions())
            if (!e->isSeparator())
                entrees << e;
        QCOMPARE(entrees.size(), 7);
        QVERIFY(entrees[5]->isChecked());
        QCOMPARE(entrees[4]->text(), QStringLiteral("100 %"));
        entrees[4]->trigger();
        QCOMPARE(a.zoom(), Previsualisation::Zoom::Z100);
        QVERIFY(a.actionZoom(Previsualisation::Zoom::Z100)->isChecked());
        menu->close();
        a.spinVertical()->setValue(2); // a change of the grid comes back to the pages
        QCOMPARE(a.zoom(), Previsualisation::Zoom::PasDeZoom);
        QCOMPARE(a.pagesEnHauteur(), 2);
        // A page typed beyond the range comes back to its nearest end.
        QLineEdit* saisie = a.spinPage()->findChild<QLineEdit*>();
        saisie->selectAll();
        QTest::keyClicks(saisie, QStringLiteral("0"));
        QTest::keyClick(saisie, Qt::Key_Enter);
        QCOMPARE(a.spinPage()->value(), 1);
        QCOMPARE(a.pageCourante(), 1);
    }

    void thePageJumpAndTheLayoutDialogs()
    {
        ImagesPages pages;
        remplir(pages, 9);
        Previsualisation a(pages, QStringLiteral("essai"));
        a.show();
        a.actionAllerA()->trigger();
        auto* saut = a.findChild<SautDePage*>();
        QVERIFY(saut);
        QCOMPARE(saut->spin()->maximum(), 9);
        saut->spin()->setValue(6);
        saut->boutonOk()->click();
        QCOMPARE(a.pageCourante(), 6);
        QTRY_VERIFY(!a.findChild<SautDePage*>());
        a.actionAllerA()->trigger();
        saut = a.findChild<SautDePage*>();
        saut->spin()->setValue(2);
        saut->boutonAnnuler()->click();
        QCOMPARE(a.pageCourante(), 6);

        a.actionChanger()->trigger();
        auto* affichage = a.findChild<ChangementAffichage*>();
        QVERIFY(affichage);
        affichage->spinHorizontal()->setValue(3);
        QCOMPARE(a.pagesEnLargeur(), 3);
        QCOMPARE(a.textePage(), QStringLiteral("Pages 6-8 sur 9"));
        affichage->close();
    }

    void theAnswerIsOneOnlyAfterAPrintCommand()
    {
        ImagesPages pages;
        remplir(pages, 2);
        // The window's close box, the Sortie command, the print button.
        const std::function<void(Previsualisation&)> fins[] = {
            [](Previsualisation& a) { a.close(); }, [](Previsualisation& a) { a.actionSortie()->trigger(); },
            [](Previsualisation& a) { a.findChild<QToolButton*>(QStringLiteral("boutonImprimer"))->click(); }};
        for (int i = 0; i < 3; ++i) {
            Previsualisation a(pages, QStringLiteral("essai"));
            a.show();
            QVERIFY(QTest::qWaitForWindowExposed(&a));
            fins[i](a);
            QCOMPARE(a.reponse(), int(i == 2 ? Previsualisation::Imprimer : Previsualisation::NePasImprimer));
            if (i == 0) {
                QCOMPARE(a.result(), int(QDialog::Rejected));
            }
            QVERIFY(!a.isVisible());
        }
    }

    void savesThePagesAsAPdfWhereTheUserSays()
    {
        ImagesPages pages;
        remplir(pages, 3);
        QTemporaryDir dir;
        const QString chemin = dir.filePath(QStringLiteral("rapport.pdf"));
        Previsualisation a(pages, QStringLiteral("EditionSemaine du 16-11-2026 au 22-11-2026"));
        a.show();
        m_presenter.answerFile(std::nullopt); // the user gives up: nothing written, nothing said
        a.actionPdf()->trigger();
        QVERIFY(!QFile::exists(chemin));
        m_presenter.answerFile(chemin);
        a.actionPdf()->trigger();
        QVERIFY(QFile::exists(chemin));
        QCOMPARE(m_presenter.fileQuestions()[0].suggestedName,
                 QStringLiteral("EditionSemaine du 16-11-2026 au 22-11-2026.pdf"));
        const QString texte = texteDuPdf(chemin);
        QVERIFY2(texte.contains(QStringLiteral("Page numéro 3")), qPrintable(texte));
        QVERIFY(m_presenter.shown().isEmpty());
        QVERIFY(a.isVisible()); // saving does not end the preview
        m_presenter.answerFile(dir.filePath(QStringLiteral("absent/rapport.pdf")));
        a.actionPdf()->trigger();
        QCOMPARE(m_presenter.shown().size(), 1); // a file that cannot be written is said
    }

    void printingReplaysThePagesOfTheChosenRange()
    {
        ImagesPages pages;
        remplir(pages, 3);
        QTemporaryDir dir;
        QPrinter imprimante(QPrinter::HighResolution);
        imprimante.setOutputFormat(QPrinter::PdfFormat);
        imprimante.setOutputFileName(dir.filePath(QStringLiteral("imprime.pdf")));
        imprimante.setPrintRange(QPrinter::PageRange);
        imprimante.setFromTo(2, 3);
        QVERIFY(imprimerPages(pages, imprimante));
        const QString texte = texteDuPdf(dir.filePath(QStringLiteral("imprime.pdf")));
        QVERIFY2(texte.contains(QStringLiteral("Page numéro 2")) && texte.contains(QStringLiteral("Page numéro 3")),
                 qPrintable(texte));
        QVERIFY(!texte.contains(QStringLiteral("Page numéro 1")));
    }
};

QTEST_MAIN(PrevisualisationTest)
#include "PrevisualisationTest.moc"
