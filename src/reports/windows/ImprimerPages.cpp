// Printing report pages.
#include "ImprimerPages.h"

#include "reports/PeintrePage.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

namespace kip {

namespace {

QPrinter* g_imprimante = nullptr;

void liberer()
{
    delete g_imprimante;
    g_imprimante = nullptr;
}

} // namespace

QPrinter& imprimanteRapports()
{
    if (!g_imprimante) {
        g_imprimante = new QPrinter(QPrinter::HighResolution);
        g_imprimante->setPageSize(QPageSize(QPageSize::A4));
        g_imprimante->setPageOrientation(QPageLayout::Portrait);
        // The printer goes before the application does, as a printer needs its platform.
        qAddPostRoutine(liberer);
    }
    return *g_imprimante;
}

MiseEnPage miseEnPageRapports()
{
    return MiseEnPage::depuis(imprimanteRapports().pageLayout());
}

bool imprimerPages(const ImagesPages& pages, QPrinter& imprimante)
{
    if (pages.vide())
        return false;
    // The page images place everything from the paper's corner.
    imprimante.setFullPage(true);
    const int premiere = imprimante.fromPage() > 0 ? imprimante.fromPage() : 1;
    const int derniere = imprimante.toPage() > 0 ? std::min(imprimante.toPage(), pages.nombre()) : pages.nombre();
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
    imprimante.setFromTo(0, 0);
    QPrintDialog dialogue(&imprimante, parent);
    dialogue.setWindowTitle(QStringLiteral("Imprimer"));
    dialogue.setMinMax(1, pages.nombre());
    dialogue.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialogue.exec() != QDialog::Accepted)
        return false;
    return imprimerPages(pages, imprimante);
}

} // namespace kip
