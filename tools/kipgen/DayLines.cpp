// Day lines computed by the punch rules from the employees' habits and added to POINTVAL in one batch.
#include "DayLines.h"

#include "Punches.h"
#include "Random.h"
#include "calendar/HeureTexte.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "punch/CalculerTotal.h"
#include "punch/PreparerJournee.h"

#include <algorithm>

namespace kip::gen {

namespace {

// A user's correction now and then: the forgotten exit put back at the usual hour, or the entry set to the
// planned start.
void correctByHand(const Employee& e, PointVal& line)
{
    const auto used = std::find_if(line.POINTAGE_ORIGINE.begin(), line.POINTAGE_ORIGINE.begin() + PunchSlotsUsed,
                                   [](qint16 v) { return v < 0; });
    const int n = int(used - line.POINTAGE_ORIGINE.begin());
    PunchLine& u = line.POINTAGE_UTILISATEUR;
    if (n % 2 == 1 && n < PunchSlotsUsed && e.profile.exit > u[size_t(n - 1)]) {
        u[size_t(n)] = qint16(std::min(DerniereMinuteStockee, e.profile.exit));
    } else if (n >= 2 && e.profile.entry < u[1] && e.profile.entry != u[0]) {
        u[0] = qint16(e.profile.entry);
    } else {
        return;
    }
    line.MODIF = 1;
    CalculerTotal(line); // the user's line is kept, its total taken
}

} // namespace

std::vector<PointVal> makeDayLines(Employee& e, qint32 first, const DayLineOptions& o)
{
    JourneesEnMemoire punched;
    (void)applyPunches(e.record, punchesBetween(e, first, o.today, o.seed, o.terminals, o.lastMinute), punched);
    std::vector<PointVal> out;
    out.reserve(size_t(o.today - first + 1));
    for (qint32 day = first; day <= o.today; ++day) {
        const JourneeEnMain& j = punched.ligne(e.record.CARTE, day);
        PointVal line = j.existe ? j.ligne : ligneVide(e.record, day);
        if (!j.existe)
            line.INACTIF = estInactif(e.record, day) ? 1 : 0; // a line the preparation added, since flagged
        Random r(Random::mix(o.seed, quint64(e.record.CARTE), quint64(day) ^ 0xC0DE));
        if (j.existe && r.chance(40))
            correctByHand(e, line);
        out.push_back(line);
    }
    return out;
}

FileError writeDayLines(Database& db, std::vector<Employee>& staff, const DayLineOptions& o)
{
    if (staff.empty() || o.lines <= 0)
        return {};
    Transaction t(db, {FileId::Personnel, FileId::PointVal});
    if (!t.ok())
        return t.error();
    RecordFile<PointVal> pov(db);
    RecordFile<Personnel> per(db);
    const qint64 n = qint64(staff.size());
    FileError rc;
    for (qint64 i = 0; i < n && rc.ok(); ++i) {
        Employee& e = staff[size_t(i)];
        const qint64 count = o.lines / n + (i < o.lines % n ? 1 : 0);
        if (count == 0)
            continue;
        const qint32 before = e.record.PREMIER_POINTAGE;
        for (PointVal& line : makeDayLines(e, qint32(o.today - count + 1), o)) {
            rc = pov.add(line);
            if (!rc.ok())
                break;
        }
        if (rc.ok() && e.record.PREMIER_POINTAGE != before)
            rc = per.put(e.record);
    }
    return rc.ok() ? t.commit() : rc;
}

} // namespace kip::gen
