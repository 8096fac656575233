// Rounding codes of an employee (entry, exit and week steps): their numeric values, the valid codes and
// the labels that forms and reports show for them.
#pragma once

#include <QString>
#include <QStringList>

namespace kip {

// The numeric value of a rounding code: its text read as a number ("05" is 5, "+15" is 15, "-30" is -30).
// Text that is not a number counts 0, so an unreadable code means no rounding.
int roundingValue(const QString& code);

// Valid codes, in the order the drop-down lists show them.
const QStringList& roundingCodes();     // entry and exit: "00", "05", "10", "15", "30", "60"
const QStringList& weekRoundingCodes(); // "000", "+05" ... "+60", "-05" ... "-60"

// Labels of the codes; an empty text for a code outside the list, so that callers choose their fallback.
QString entryRoundingLabel(const QString& code); // "05": "Arrondi aux 5 minutes supérieures"
QString exitRoundingLabel(const QString& code);  // "05": "Arrondi aux 5 minutes inférieures"
QString weekRoundingLabel(const QString& code);  // "+05" as entry, "-05" as exit, "000" "Pas d'arrondi"

} // namespace kip
