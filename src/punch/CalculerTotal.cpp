#include "CalculerTotal.h"

#include <algorithm>
#include <limits>

namespace kip {

qint32 totalPaires(const PunchLine& ligne)
{
    qint32 total = 0;
    for (int i = 0; i + 1 < PunchSlotsUsed; i += 2) {
        if (ligne[i] >= 0 && ligne[i + 1] >= 0) // an open entry adds nothing
            total += qint32(ligne[i + 1]) - qint32(ligne[i]);
    }
    return total;
}

void CalculerTotal(PointVal& ligne)
{
    // With POV:MODIF 0 the user line equals the programme line on slots 1 to 14; copying all fourteen (not
    // only the filled ones) also sets right a user line left over from an inconsistent record.
    if (ligne.MODIF == 0)
        std::copy_n(ligne.POINTAGE_PROGRAMME.begin(), PunchSlotsUsed, ligne.POINTAGE_UTILISATEUR.begin());
    const qint32 total = totalPaires(ligne.POINTAGE_UTILISATEUR);
    ligne.TOTAL =
        qint16(std::clamp<qint32>(total, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

} // namespace kip
