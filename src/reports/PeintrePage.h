// The one painter of the reports: draws a page image onto any device (the preview, a printer, a PDF) at any
// scale, and writes the pages of a report as a PDF file.
#pragma once

#include "ImagesPages.h"
#include "data/FileError.h"

#include <QPointF>
#include <QRectF>

class QPainter;

namespace kip {

// Draws the page with its top left corner at `origine` (in the painter's coordinates) and `echelle` of the
// painter's units per thousandth of an inch. Nothing is filled: the caller lays the paper.
void peindrePage(QPainter& painter, const ImagePage& page, QPointF origine, double echelle);

// Draws the page scaled into `cible`, whose proportions the caller matched to the page's.
void peindrePage(QPainter& painter, const ImagePage& page, const QRectF& cible);

// Writes every page into a PDF file at `chemin`, each page at its paper size. The file appears only once
// whole; a file that cannot be written leaves the former one as it was.
FileError ecrirePdf(const ImagesPages& pages, const QString& chemin, const QString& titre = {});

} // namespace kip
