// The draft of the correction grid: the user rows that the grid holds and has not saved, written beside the
// data files while the grid is open, so that edits survive a program that dies before they are saved. Every
// save of the grid is one committed transaction, so nothing else waits in a buffer; the draft is what the
// grid's timer keeps on disk instead. It goes once the edits are saved or dropped; the grid opened after a
// crash comes back on the draft's card and week with the edits in its cells, still to be saved.
#pragma once

#include "GrilleSemaine.h"
#include "data/FileError.h"

#include <QString>
#include <optional>

namespace kip {

// Data/BrouillonCorrection.txt of the installation.
QString cheminBrouillon();

// Writes the draft whole (a temporary file renamed over the former one); false on failure.
FileError ecrireBrouillon(const QString& chemin, const Brouillon& brouillon);
// The draft of the file, or nothing when there is none or it cannot be read.
std::optional<Brouillon> lireBrouillon(const QString& chemin);
void effacerBrouillon(const QString& chemin);

// The draft as it is written, and read back from those bytes.
QByteArray texteBrouillon(const Brouillon& brouillon);
std::optional<Brouillon> brouillonDeTexte(const QByteArray& texte);

} // namespace kip
