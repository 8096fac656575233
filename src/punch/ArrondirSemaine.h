// Rule 5 of the punch rules: rounding a week total by the employee's week code. Day totals are never
// rounded, only the sum of a week.
#pragma once

#include <QString>

namespace kip {

// "000" (or any code worth 0) keeps the total; "+N" rounds it up to the next multiple of N, "-N" down to the
// previous one; a multiple of N is kept. A negative total rounds the same way on the number line (-10 with
// "+15" is 0, with "-15" is -15). Week totals can pass 32767 minutes, hence 32 bits.
qint32 ArrondirSemaine(qint32 total, const QString& code);

} // namespace kip
