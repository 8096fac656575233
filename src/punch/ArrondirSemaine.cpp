#include "ArrondirSemaine.h"

#include "CodesArrondi.h"

#include <algorithm>
#include <limits>

namespace kip {

qint32 ArrondirSemaine(qint32 total, const QString& code)
{
    const int value = roundingValue(code);
    if (value == 0)
        return total;
    const qint64 step = value < 0 ? -qint64(value) : value;
    // The remainder brought into 0 to step - 1 also for a negative total, so that rounding down always goes
    // toward minus infinity and rounding up toward plus infinity.
    const qint64 remainder = ((qint64(total) % step) + step) % step;
    if (remainder == 0)
        return total;
    const qint64 down = qint64(total) - remainder;
    const qint64 rounded = value > 0 ? down + step : down;
    return qint32(std::clamp<qint64>(rounded, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace kip
