#include "CalculerProgramme.h"

#include "CodesArrondi.h"

namespace kip {

int roundEntry(int origine, int step, int tolerance, int offset)
{
    if (step == 0)
        return origine;
    return (5 * step + origine - 1 - tolerance - offset) / step * step - 4 * step + offset;
}

int roundExit(int origine, int step, int tolerance, int offset)
{
    if (step == 0)
        return origine;
    return (5 * step + origine + tolerance - offset) / step * step - 5 * step + offset;
}

namespace {
// Brings the n rounded punches into 0 to 2879, strictly ascending.
void clamp(PunchLine& p, int n)
{
    int prev = -1;
    bool overflow = false;
    for (int i = 0; i < n; ++i) {
        int v = p[i];
        if (v > LastProgrammeMinute)
            v = LastProgrammeMinute - n + (i + 1); // the latest punches take the last minutes of the range
        if (v <= prev)
            v = prev + 1;
        overflow = overflow || v > LastProgrammeMinute;
        p[i] = qint16(v);
        prev = v;
    }
    if (!overflow)
        return;
    // Pushing a punch past its predecessor can carry the line beyond 2879 (an entry rounded up onto 47:59
    // followed by an unrounded exit, say), where no screen or report can show it. Pull the tail back below
    // the end of the range, keeping the line strictly ascending.
    int limit = LastProgrammeMinute;
    for (int i = n - 1; i >= 0; --i) {
        if (p[i] > limit)
            p[i] = qint16(limit);
        limit = p[i] - 1;
    }
}
} // namespace

void CalculerProgramme(PointVal& ligne, const Personnel& employe)
{
    PunchLine& p = ligne.POINTAGE_PROGRAMME;
    p.fill(PunchEmpty);

    const int entryStep = roundingValue(employe.ARRONDI_ENTREE);
    const int exitStep = roundingValue(employe.ARRONDI_SORTIE);
    int n = 0;
    while (n < PunchSlotsUsed && ligne.POINTAGE_ORIGINE[n] >= 0) {
        const int o = ligne.POINTAGE_ORIGINE[n];
        // Slot n + 1 counted from 1: odd slots are entries.
        const int v = n % 2 == 0 ? roundEntry(o, entryStep, employe.TOLERANCE_ENTREE, employe.DECALAGE_ENTREE)
                                 : roundExit(o, exitStep, employe.TOLERANCE_SORTIE, employe.DECALAGE_SORTIE);
        // Rounding moves a punch by at most a few steps; the clamp below brings it into range.
        p[n] = qint16(qBound(-30000, v, 30000));
        ++n;
    }
    clamp(p, n);
}

} // namespace kip
