// Rule 4 of the punch rules: the user line follows the programme line until a user changes it, and the day
// total is taken from the user line.
#pragma once

#include "data/Records.h"

namespace kip {

// Sum over the seven entry/exit pairs of the line of exit - entry, for the pairs whose two slots are filled.
// Computed in 32 bits: a line of arbitrary values can pass the range of the 16-bit total field.
qint32 totalPaires(const PunchLine& ligne);

// Copies the programme punches of slots 1 to 14 into the user line unless POV:MODIF is 1 (the user's own
// values are then kept), then sets POV:TOTAL from the user line, held within the 16-bit field.
void CalculerTotal(PointVal& ligne);

} // namespace kip
