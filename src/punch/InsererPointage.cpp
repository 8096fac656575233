#include "InsererPointage.h"

#include "calendar/HeureTexte.h"

#include <algorithm>
#include <vector>

namespace kip {

namespace {
constexpr int MinimumGap = 3; // punches closer than this are the same swipe read twice

struct Punch
{
    qint16 minute;
    quint8 terminal;
};

bool userLineChanged(const PointVal& ligne)
{
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        if (ligne.POINTAGE_PROGRAMME[i] != ligne.POINTAGE_UTILISATEUR[i])
            return true;
    }
    return false;
}
} // namespace

ResultatInsertion InsererPointage(PointVal& ligne, LigneJournee etat, qint16 valeur, quint8 terminal)
{
    if (valeur < 0 || valeur > DerniereMinuteStockee)
        return ResultatInsertion::HorsLimites;

    if (etat == LigneJournee::Nouvelle) {
        ligne.clearPunches();
        ligne.MODIF = 0;
        ligne.POINTAGE_ORIGINE[0] = valeur;
        ligne.TERMINAL[0] = terminal;
        return ResultatInsertion::Insere;
    }

    // Checked before anything else so that a duplicate leaves the whole buffer as it was read.
    const auto used = ligne.POINTAGE_ORIGINE.begin() + PunchSlotsUsed;
    if (std::find(ligne.POINTAGE_ORIGINE.begin(), used, valeur) != used)
        return ResultatInsertion::Doublon;

    ligne.MODIF = userLineChanged(ligne) ? 1 : 0;

    std::vector<Punch> punches;
    punches.reserve(PunchSlotsUsed + 1);
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        if (ligne.POINTAGE_ORIGINE[i] >= 0)
            punches.push_back({ligne.POINTAGE_ORIGINE[i], ligne.TERMINAL[i]});
    }
    punches.push_back({valeur, terminal});
    std::stable_sort(punches.begin(), punches.end(),
                     [](const Punch& a, const Punch& b) { return a.minute < b.minute; });

    ligne.POINTAGE_ORIGINE.fill(PunchEmpty);
    ligne.POINTAGE_PROGRAMME.fill(PunchEmpty);
    ligne.TERMINAL.fill(1);
    int kept = 0;
    for (const Punch& p : punches) {
        if (kept == PunchSlotsUsed) // the latest punches beyond the fourteenth are lost
            break;
        if (kept > 0 && p.minute < ligne.POINTAGE_ORIGINE[kept - 1] + MinimumGap)
            continue;
        ligne.POINTAGE_ORIGINE[kept] = p.minute;
        ligne.TERMINAL[kept] = p.terminal;
        ++kept;
    }
    return ResultatInsertion::Insere;
}

} // namespace kip
