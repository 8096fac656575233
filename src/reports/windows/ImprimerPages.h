// Printing a report's pages: the printer and page set-up chosen with "Config. Imp.", kept for the
// following reports of the run, and the replay of the page images onto the printer the print dialog
// chose.
#pragma once

#include "reports/ImagesPages.h"
#include "reports/MoteurBandes.h"

class QPrinter;
class QWidget;

namespace kip {

// The printer of the reports, made at its first use and kept until the program ends.
QPrinter& imprimanteRapports();
// The paper and margins that the reports lay their pages on, from that printer's page set-up.
MiseEnPage miseEnPageRapports();

// Draws the pages onto the printer, within the page range it was given (all of them when none). False when
// the printer could not be started.
bool imprimerPages(const ImagesPages& pages, QPrinter& imprimante);

// The system print dialog on the report printer, then the replay of the pages; false when the user gave up
// or printing failed.
bool imprimerAvecDialogue(const ImagesPages& pages, const QString& document, QWidget* parent);

} // namespace kip
