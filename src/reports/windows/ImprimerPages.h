// Printing a report's pages: the printer and page set-up chosen with "Config. Imp.", kept for the
// following reports of the run and for the next start, and the replay of the page images onto the printer the
// print dialog chose, on the paper they were laid out for.
#pragma once

#include "reports/ImagesPages.h"
#include "reports/MoteurBandes.h"

class QPrinter;
class QSettings;
class QWidget;

namespace kip {

// The printer of the reports, made at its first use with the choices kept from the last run, and kept until
// the program ends.
QPrinter& imprimanteRapports();
// The paper and margins that the reports lay their pages on, from that printer's page set-up.
MiseEnPage miseEnPageRapports();

// The printer, paper, orientation and margins of the reports in the user's settings (group Impression): read
// onto a printer (a printer that is no longer there is not taken), and written from it.
void lireReglagesImpression(QSettings& reglages, QPrinter& imprimante);
void ecrireReglagesImpression(QSettings& reglages, const QPrinter& imprimante);

// "Config. Imp.": the page set-up dialog on the report printer; an accepted choice is kept for the next start.
void choisirMiseEnPage(QWidget* parent);

// Draws the pages onto the printer, within the page range it was given (all of them when none). False when
// the printer could not be started.
bool imprimerPages(const ImagesPages& pages, QPrinter& imprimante);

// The system print dialog on the report printer, on all pages, then the replay of the pages on the paper
// chosen with "Config. Imp."; false when the user gave up or printing failed.
bool imprimerAvecDialogue(const ImagesPages& pages, const QString& document, QWidget* parent);

} // namespace kip
