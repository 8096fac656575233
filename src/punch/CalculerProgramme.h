// Rule 3 of the punch rules: the programme line, the raw punches after the employee's entry and exit
// rounding, tolerance and grid offset.
#pragma once

#include "calendar/HeureTexte.h"
#include "data/Records.h"

namespace kip {

constexpr int LastProgrammeMinute = DerniereMinuteStockee; // 47:59 from the line's midnight

// One entry punch rounded up to the grid {k*step + offset} after forgiving the tolerance; step 0 keeps it.
// Integer division truncates toward zero, as the rule is stated, also for a negative dividend.
int roundEntry(int origine, int step, int tolerance, int offset);
// One exit punch rounded down to the grid after adding the tolerance; step 0 keeps it.
int roundExit(int origine, int step, int tolerance, int offset);

// Computes the programme line from the raw punches of slots 1 to 14, up to the first empty one; every other
// programme slot is emptied. The result is strictly ascending, never negative and never above 2879.
void CalculerProgramme(PointVal& ligne, const Personnel& employe);

} // namespace kip
