// Drawing page images.
#include "PeintrePage.h"

#include "data/FileWriter.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace kip {

namespace {

constexpr int PdfResolution = 1200; // device units per inch of the PDF: 1.2 per thousandth

int drapeaux(Alignement a)
{
    const int horizontal = a == Alignement::Droite   ? Qt::AlignRight
                           : a == Alignement::Centre ? Qt::AlignHCenter
                                                     : Qt::AlignLeft;
    return horizontal | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
}

} // namespace

void peindrePage(QPainter& painter, const ImagePage& page, QPointF origine, double echelle)
{
    if (echelle <= 0)
        return;
    painter.save();
    painter.translate(origine);
    painter.scale(echelle, echelle);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // A line is never thinner than one unit of the device, so that it shows at every zoom.
    const double finesse = 1.0 / echelle;
    auto plume = [&](quint8 epaisseur) {
        QPen pen(Qt::black);
        pen.setWidthF(std::max<double>(epaisseur, finesse));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    };
    std::vector<QFont> polices;
    polices.reserve(page.polices().size());
    for (const PoliceRapport& p : page.polices())
        polices.push_back(policeQt(p));
    for (const ElementPage& e : page.elements()) {
        switch (e.genre) {
        case ElementPage::Genre::Texte:
            painter.setFont(polices[e.police]);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(e.x, e.y, e.l, e.h), drapeaux(e.alignement), e.texte);
            break;
        case ElementPage::Genre::Ligne:
            painter.setPen(plume(e.epaisseur));
            painter.drawLine(QPointF(e.x, e.y), QPointF(e.x + e.l, e.y + e.h));
            break;
        case ElementPage::Genre::Cadre:
            painter.setPen(plume(e.epaisseur));
            painter.drawRect(QRectF(e.x, e.y, e.l, e.h));
            break;
        case ElementPage::Genre::Case: {
            painter.setPen(plume(e.epaisseur));
            const QRectF boite(e.x, e.y, e.l, e.h);
            painter.drawRect(boite);
            if (e.coche) {
                const QRectF croix = boite.adjusted(e.l / 5.0, e.h / 5.0, -e.l / 5.0, -e.h / 5.0);
                painter.drawLine(croix.topLeft(), croix.bottomRight());
                painter.drawLine(croix.bottomLeft(), croix.topRight());
            }
            break;
        }
        }
    }
    painter.restore();
}

void peindrePage(QPainter& painter, const ImagePage& page, const QRectF& cible)
{
    if (page.largeur() <= 0)
        return;
    peindrePage(painter, page, cible.topLeft(), cible.width() / page.largeur());
}

FileError ecrirePdf(const ImagesPages& pages, const QString& chemin, const QString& titre)
{
    auto echec = [&chemin](const QString& texte) {
        FileError e = plainError(texte);
        e.path = chemin;
        return e;
    };
    if (pages.vide())
        return echec(QStringLiteral("aucune page à écrire"));
    // The document is made in memory and written by the one checked writer, which puts it in place only whole.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&document);
        pdf.setResolution(PdfResolution);
        pdf.setCreator(QStringLiteral("Kip"));
        pdf.setTitle(titre);
        QPainter painter;
        for (int n = 1; n <= pages.nombre(); ++n) {
            const std::optional<ImagePage> page = pages.page(n);
            if (!page)
                return echec(QStringLiteral("page %1 illisible: %2").arg(n).arg(pages.PRINTPREVIEWIMAGE[n - 1]));
            const QPageSize taille(QSizeF(page->largeur() / 1000.0, page->hauteur() / 1000.0), QPageSize::Inch,
                                   QString(), QPageSize::ExactMatch);
            pdf.setPageSize(taille);
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            if (n == 1) {
                if (!painter.begin(&pdf))
                    return echec(QStringLiteral("le document PDF n'a pas pu être créé"));
            } else if (!pdf.newPage()) {
                return echec(QStringLiteral("la page %1 n'a pas pu être ajoutée au document PDF").arg(n));
            }
            peindrePage(painter, *page, QPointF(0, 0), PdfResolution / 1000.0);
        }
        painter.end();
    }
    return writeFileAtomically(chemin, document.data());
}

} // namespace kip
