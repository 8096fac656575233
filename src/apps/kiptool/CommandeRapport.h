// kiptool report: one report of the report list written as a PDF, for scripts and scheduled jobs. It only
// reads, in one read transaction, so it may run while a workstation program holds the data.
#pragma once

#include <QStringList>

namespace kip::outil {

// Exit statuses of kiptool.
enum Sortie : int
{
    PdfEcrit = 0,         // the PDF was written
    RienNeCorrespond = 1, // nothing matched: no file written
    Refus = 2             // bad arguments or an unusable installation
};

// Runs `kiptool report ...` (arguments as given after the program name, the command first) from the
// directory `repertoireCourant`. Messages go to standard error, in French.
int commandeRapport(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageRapport;

} // namespace kip::outil
