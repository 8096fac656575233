// Rule 2 of the punch rules: merging one punch into the raw punches of a day line.
#pragma once

#include "data/Records.h"

namespace kip {

enum class LigneJournee
{
    Nouvelle,  // no line yet for the card and date: the punch starts one
    Existante, // the line was read from the file
};

enum class ResultatInsertion
{
    Insere,      // the raw line changed and must be written with its recomputed lines
    Doublon,     // the minute is already on the line: nothing changed, nothing to write
    HorsLimites, // a value outside 0 to 2879 is no punch time: nothing changed, nothing to write
};

// Merges the stored value (0 to 2879) read at terminal into the raw line. A new line is cleared first and
// gets POV:MODIF 0; an existing line gets POV:MODIF recomputed from its programme and user lines as they
// were before the merge. The raw line keeps its invariants: filled from slot 1, strictly ascending, punches
// at least 3 minutes apart, at most 14. The programme line is emptied (CalculerProgramme refills it); the
// user line is never touched.
[[nodiscard]] ResultatInsertion InsererPointage(PointVal& ligne, LigneJournee etat, qint16 valeur, quint8 terminal);

} // namespace kip
