// Printing through the print dialog: each print starts on all pages, the pages go on the paper chosen with
// "Config. Imp." whatever paper the dialog put on the printer, the choices are kept for the next start, and
// Qt's own dialogs speak French.
#include "reports/windows/ImprimerPages.h"

#include "shell/TraductionsQt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace kip;

namespace {

void pagesEssai(ImagesPages& pages, int n)
{
    for (int k = 1; k <= n; ++k) {
        ImagePage page(8268, 11693);
        page.texte(500, 500, 3000, 130, QStringLiteral("Page numéro %1").arg(k), polices::Normale);
        QVERIFY(pages.ajouter(page));
    }
}

// pdfinfo's "Pages:" and "Page size:" of a file.
QPair<int, QString> infosPdf(const QString& chemin)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {chemin});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {-1, QString()};
    int pages = -1;
    QString taille;
    for (const QString& ligne : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (ligne.startsWith(QLatin1String("Pages:")))
            pages = ligne.mid(6).trimmed().toInt();
        if (ligne.startsWith(QLatin1String("Page size:")))
            taille = ligne.mid(10).trimmed();
    }
    return {pages, taille};
}

} // namespace

class ImprimerPagesTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Acts on the next dialog of that kind once it shows, as its user would.
    template <class Dialogue = QPrintDialog> void repondre(std::function<void(Dialogue*)> reponse)
    {
        auto* attente = new QTimer(this);
        attente->setInterval(10);
        connect(attente, &QTimer::timeout, this, [attente, reponse] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialogue = qobject_cast<Dialogue*>(w);
                if (dialogue && dialogue->isVisible()) {
                    attente->deleteLater();
                    attente->stop();
                    reponse(dialogue);
                    return;
                }
            }
        });
        attente->start();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The user's settings of this run are the test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    void eachPrintStartsOnAllPagesOnThePaperOfConfigImp()
    {
        ImagesPages pages;
        pagesEssai(pages, 3);
        QPrinter& imprimante = imprimanteRapports();
        imprimante.setOutputFormat(QPrinter::PdfFormat);
        imprimante.setPageSize(QPageSize(QPageSize::Letter)); // chosen with "Config. Imp."
        // A print of pages 2 to 3 leaves its range on the printer.
        imprimante.setOutputFileName(m_dir.filePath(QStringLiteral("etendue.pdf")));
        repondre<QPrintDialog>([](QPrintDialog* d) {
            d->printer()->setPrintRange(QPrinter::PageRange);
            d->printer()->setFromTo(2, 3);
            d->done(QDialog::Accepted);
        });
        QVERIFY(imprimerAvecDialogue(pages, QStringLiteral("essai"), nullptr));
        QCOMPARE(infosPdf(m_dir.filePath(QStringLiteral("etendue.pdf"))).first, 2);

        // The next print opens on all pages and prints them.
        imprimante.setOutputFileName(m_dir.filePath(QStringLiteral("toutes.pdf")));
        QPrinter::PrintRange ouverture = QPrinter::PageRange;
        repondre<QPrintDialog>([&ouverture](QPrintDialog* d) {
            ouverture = d->printer()->printRange();
            d->done(QDialog::Accepted);
        });
        QVERIFY(imprimerAvecDialogue(pages, QStringLiteral("essai"), nullptr));
        QCOMPARE(ouverture, QPrinter::AllPages);
        QCOMPARE(infosPdf(m_dir.filePath(QStringLiteral("toutes.pdf"))).first, 3);

        // The dialog puts its queue's A4 on the printer: the pages still go on the Letter they were laid out for.
        imprimante.setOutputFileName(m_dir.filePath(QStringLiteral("papier.pdf")));
        repondre<QPrintDialog>([](QPrintDialog* d) {
            d->printer()->setPageSize(QPageSize(QPageSize::A4));
            d->done(QDialog::Accepted);
        });
        QVERIFY(imprimerAvecDialogue(pages, QStringLiteral("essai"), nullptr));
        const auto pdf = infosPdf(m_dir.filePath(QStringLiteral("papier.pdf")));
        QCOMPARE(pdf.first, 3);
        QVERIFY2(pdf.second.startsWith(QLatin1String("612 x 792")), qPrintable(pdf.second));
        // And the paper is in the user's settings for the next start.
        QSettings utilisateur(QStringLiteral("Kip"), QStringLiteral("Kip"));
        QVERIFY(utilisateur.fileName().startsWith(m_dir.path()));
        QCOMPARE(utilisateur.value(QStringLiteral("Impression/TaillePapier")).toString(),
                 QStringLiteral("215.9x279.4"));
    }

    void theChoicesAreReadBackAtTheNextStart()
    {
        QSettings reglages(m_dir.filePath(QStringLiteral("choix.conf")), QSettings::IniFormat);
        QPrinter avant(QPrinter::HighResolution);
        avant.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(10, 15, 10, 25),
                                        QPageLayout::Millimeter));
        ecrireReglagesImpression(reglages, avant);
        QPrinter apres(QPrinter::HighResolution);
        apres.setPageSize(QPageSize(QPageSize::A4));
        lireReglagesImpression(reglages, apres);
        QCOMPARE(apres.pageLayout().pageSize().id(), QPageSize::Letter);
        QCOMPARE(apres.pageLayout().orientation(), QPageLayout::Landscape);
        const MiseEnPage a = MiseEnPage::depuis(avant.pageLayout()), b = MiseEnPage::depuis(apres.pageLayout());
        QCOMPARE(b.largeurPapier, a.largeurPapier);
        QCOMPARE(b.margeBas, a.margeBas);
        // A printer that is no longer there is not taken; nothing kept leaves the printer as it is.
        reglages.setValue(QStringLiteral("Impression/Imprimante"), QStringLiteral("disparue"));
        reglages.remove(QStringLiteral("Impression/TaillePapier"));
        QPrinter rien(QPrinter::HighResolution);
        rien.setPageSize(QPageSize(QPageSize::A5));
        const QString nom = rien.printerName();
        lireReglagesImpression(reglages, rien);
        QCOMPARE(rien.printerName(), nom);
        QCOMPARE(rien.pageLayout().pageSize().id(), QPageSize::A5);
    }

    // Last: the translations stay installed for the rest of the run. The dialog's own texts: its title is Kip's.
    void qtsOwnDialogsSpeakFrench()
    {
        QVERIFY(installerTraductionsQt());
        QPrinter imprimante(QPrinter::HighResolution);
        imprimante.setOutputFormat(QPrinter::PdfFormat);
        imprimante.setOutputFileName(m_dir.filePath(QStringLiteral("francais.pdf")));
        QStringList textes;
        repondre<QPrintDialog>([&textes](QPrintDialog* d) {
            // Qt's own buttons; the options of a queue's driver come in the driver's language.
            for (const QAbstractButton* b : d->findChildren<QAbstractButton*>())
                textes << b->text();
            d->reject();
        });
        QPrintDialog(&imprimante).exec();
        const QString tout = textes.join(QLatin1Char('\n'));
        for (const char* francais : {"Annuler", "Imprimer tout", "Page courante"})
            QVERIFY2(tout.contains(QString::fromUtf8(francais)), qPrintable(tout));
        for (const char* anglais : {"Cancel", "Print all", "Current Page"})
            QVERIFY2(!tout.contains(QLatin1String(anglais)), qPrintable(tout));
    }
};

QTEST_MAIN(ImprimerPagesTest)
#include "ImprimerPagesTest.moc"
