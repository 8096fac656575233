// Printing report pages.
#include "ImprimerPages.h"

#include "reports/PeintrePage.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <memory>

namespace kip {

namespace {

QPrinter* g_imprimante = nullptr;

void liberer()
{
    delete g_imprimante;
    g_imprimante = nullptr;
}

// ~/.config/Kip/Kip.conf, beside the installation directory of a start from the menu: the user's choice,
// not the installation's, since each workstation has printers of its own.
const QString OrganisationReglages = QStringLiteral("Kip");
const QString ApplicationReglages = QStringLiteral("Kip");

const QString CleImprimante = QStringLiteral("Impression/Imprimante");
const QString ClePapier = QStringLiteral("Impression/Papier");             // its name, "A4", "Letter"
const QString CleTaillePapier = QStringLiteral("Impression/TaillePapier"); // width x height, millimetres
const QString CleOrientation = QStringLiteral("Impression/Orientation");
const QString CleMarges = QStringLiteral("Impression/Marges"); // left, top, right, bottom, millimetres

// The paper by its name where Qt knows it (US Letter and ANSI A have one size but not one name for a queue), by
// its size otherwise.
QPageSize papierNomme(const QString& nom, const QSizeF& taille)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id)
        if (QPageSize::key(QPageSize::PageSizeId(id)) == nom)
            return QPageSize(QPageSize::PageSizeId(id));
    return QPageSize(taille, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

} // namespace

QPrinter& imprimanteRapports()
{
    if (!g_imprimante) {
        g_imprimante = new QPrinter(QPrinter::HighResolution);
        g_imprimante->setPageSize(QPageSize(QPageSize::A4));
        g_imprimante->setPageOrientation(QPageLayout::Portrait);
        QSettings reglages(OrganisationReglages, ApplicationReglages);
        lireReglagesImpression(reglages, *g_imprimante);
        // The printer goes before the application does, as a printer needs its platform.
        qAddPostRoutine(liberer);
    }
    return *g_imprimante;
}

MiseEnPage miseEnPageRapports()
{
    return MiseEnPage::depuis(imprimanteRapports().pageLayout());
}

void lireReglagesImpression(QSettings& reglages, QPrinter& imprimante)
{
    const QString nom = reglages.value(CleImprimante).toString();
    if (!nom.isEmpty() && QPrinterInfo::availablePrinterNames().contains(nom))
        imprimante.setPrinterName(nom);
    const QStringList papier = reglages.value(CleTaillePapier).toString().split(QLatin1Char('x'));
    const QStringList marges = reglages.value(CleMarges).toString().split(QLatin1Char(' '));
    if (papier.size() != 2 || marges.size() != 4)
        return;
    const QSizeF taille(papier[0].toDouble(), papier[1].toDouble());
    if (taille.width() <= 0 || taille.height() <= 0)
        return;
    const QPageSize page = papierNomme(reglages.value(ClePapier).toString(), taille);
    const QPageLayout::Orientation sens = reglages.value(CleOrientation).toString() == QLatin1String("Paysage")
                                              ? QPageLayout::Landscape
                                              : QPageLayout::Portrait;
    const QMarginsF m(marges[0].toDouble(), marges[1].toDouble(), marges[2].toDouble(), marges[3].toDouble());
    imprimante.setPageLayout(QPageLayout(page, sens, m, QPageLayout::Millimeter));
}

void ecrireReglagesImpression(QSettings& reglages, const QPrinter& imprimante)
{
    // A file printer (PDF) has no name worth keeping: the next start takes the system's default printer.
    if (imprimante.outputFormat() == QPrinter::NativeFormat && !imprimante.printerName().isEmpty())
        reglages.setValue(CleImprimante, imprimante.printerName());
    const QPageLayout mise = imprimante.pageLayout();
    const QSizeF taille = mise.pageSize().size(QPageSize::Millimeter);
    reglages.setValue(ClePapier, mise.pageSize().key());
    reglages.setValue(CleTaillePapier, QStringLiteral("%1x%2").arg(taille.width()).arg(taille.height()));
    reglages.setValue(CleOrientation, mise.orientation() == QPageLayout::Landscape ? QStringLiteral("Paysage")
                                                                                   : QStringLiteral("Portrait"));
    const QMarginsF m = mise.margins(QPageLayout::Millimeter);
    reglages.setValue(CleMarges,
                      QStringLiteral("%1 %2 %3 %4").arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom()));
}

void choisirMiseEnPage(QWidget* parent)
{
    QPageSetupDialog dialogue(&imprimanteRapports(), parent);
    if (dialogue.exec() != QDialog::Accepted)
        return;
    QSettings reglages(OrganisationReglages, ApplicationReglages);
    ecrireReglagesImpression(reglages, imprimanteRapports());
}

bool imprimerPages(const ImagesPages& pages, QPrinter& imprimante)
{
    if (pages.vide())
        return false;
    // The page images place everything from the paper's corner.
    imprimante.setFullPage(true);
    const bool etendue = imprimante.printRange() == QPrinter::PageRange;
    const int premiere = etendue && imprimante.fromPage() > 0 ? imprimante.fromPage() : 1;
    const int derniere =
        etendue && imprimante.toPage() > 0 ? std::min(imprimante.toPage(), pages.nombre()) : pages.nombre();
    QPainter painter;
    if (!painter.begin(&imprimante))
        return false;
    const double echelle = imprimante.resolution() / 1000.0;
    for (int n = premiere; n <= derniere; ++n) {
        if (n > premiere && !imprimante.newPage())
            return false;
        if (const std::optional<ImagePage> page = pages.page(n))
            peindrePage(painter, *page, QPointF(0, 0), echelle);
    }
    return painter.end();
}

bool imprimerAvecDialogue(const ImagesPages& pages, const QString& document, QWidget* parent)
{
    QPrinter& imprimante = imprimanteRapports();
    imprimante.setDocName(document);
    // Each print starts on all pages: the range of the last one, hidden in the dialog's folded options, would
    // otherwise print part of this report without a word.
    imprimante.setPrintRange(QPrinter::AllPages);
    imprimante.setFromTo(0, 0);
    // The pages are laid out for this paper. Choosing a queue in the dialog may put that queue's default paper
    // on the printer: the paper of "Config. Imp." goes back on it, so that what prints is what the preview
    // showed, neither cut nor shrunk.
    const QPageLayout papier = imprimante.pageLayout();
    QPrintDialog dialogue(&imprimante, parent);
    dialogue.setWindowTitle(QStringLiteral("Imprimer"));
    dialogue.setMinMax(1, pages.nombre());
    dialogue.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialogue.exec() != QDialog::Accepted)
        return false;
    imprimante.setPageLayout(papier);
    QSettings reglages(OrganisationReglages, ApplicationReglages);
    ecrireReglagesImpression(reglages, imprimante);
    return imprimerPages(pages, imprimante);
}

} // namespace kip
