#include "ChoisirJournee.h"

#include "calendar/HeureTexte.h"

namespace kip {

namespace {
ChoixJournee jourCourant(qint32 date, int minute)
{
    return {false, date, qint16(minute)};
}
ChoixJournee veille(qint32 date, int minute)
{
    return {true, date - 1, qint16(minute + MinutesJour)};
}

// Whether the day before, as its raw punches stand, still takes a punch stored as `stored`.
bool veillePrend(const PunchLine& origine, int stored, int extension)
{
    // Counting the filled slots and taking the latest punch keeps the decision sound on a line with holes;
    // on a well-formed line the latest punch is the one in slot n.
    int n = 0;
    int last = -1;
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        if (origine[i] >= 0) {
            ++n;
            last = origine[i];
        }
    }
    if (n == 0)
        return false;
    if (last >= MinutesJour) // the day before already reaches past midnight: it takes what falls within it
        return stored <= last;
    if (n % 2 == 0) // closed before midnight
        return false;
    return stored - last <= extension; // an entry still open before midnight, closed within the extension
}
} // namespace

ChoixJournee ChoisirJournee(const Personnel& employe, qint32 date, int minute, JourneePrecedente& precedente)
{
    if (employe.DECALAGE_MINUIT > 0 && minute >= 0 && minute <= employe.DECALAGE_MINUIT)
        return veille(date, minute);
    PointVal ligne;
    if (!precedente.lire(employe.CARTE, date - 1, ligne))
        return jourCourant(date, minute);
    return veillePrend(ligne.POINTAGE_ORIGINE, minute + MinutesJour, employe.EXTENSION) ? veille(date, minute)
                                                                                        : jourCourant(date, minute);
}

} // namespace kip
