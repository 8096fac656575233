// Day lines computed by the punch rules from the employees' habits and added to POINTVAL in one batch.
#include "DayLines.h"

#include "Punches.h"
#include "Random.h"
#include "calendar/Clock.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <algorithm>

namespace kip::gen {

int programmeValue(const Personnel& p, int slot, int raw)
{
    const bool entry = slot % 2 == 1;
    const int a = (entry ? p.ARRONDI_ENTREE : p.ARRONDI_SORTIE).toInt();
    if (a == 0)
        return raw;
    const int t = entry ? p.TOLERANCE_ENTREE : p.TOLERANCE_SORTIE;
    const int d = entry ? p.DECALAGE_ENTREE : p.DECALAGE_SORTIE;
    // Integer division truncates toward zero, as the rule asks.
    return entry ? (5 * a + raw - 1 - t - d) / a * a - 4 * a + d : (5 * a + raw + t - d) / a * a - 5 * a + d;
}

namespace {

void computeProgramme(const Personnel& p, PointVal& line, int n)
{
    int prev = -1;
    for (int i = 1; i <= n; ++i) {
        int v = programmeValue(p, i, line.POINTAGE_ORIGINE[size_t(i - 1)]);
        if (v > 2879)
            v = 2879 - n + i;
        if (v <= prev)
            v = prev + 1;
        line.POINTAGE_PROGRAMME[size_t(i - 1)] = qint16(v);
        prev = v;
    }
}

qint16 dayTotal(const PunchLine& user)
{
    int total = 0;
    for (int k = 0; k < PunchSlotsUsed / 2; ++k)
        if (user[size_t(2 * k)] >= 0 && user[size_t(2 * k + 1)] >= 0)
            total += user[size_t(2 * k + 1)] - user[size_t(2 * k)];
    return qint16(total);
}

// A user's correction now and then: the forgotten exit put back at the usual hour, or the entry set to the
// planned start.
void correctByHand(const Employee& e, PointVal& line, int n)
{
    PunchLine& u = line.POINTAGE_UTILISATEUR;
    if (n % 2 == 1 && n < PunchSlotsUsed && e.profile.exit > u[size_t(n - 1)]) {
        u[size_t(n)] = qint16(std::min(2879, e.profile.exit));
    } else if (n >= 2 && e.profile.entry < u[1] && e.profile.entry != u[0]) {
        u[0] = qint16(e.profile.entry);
    } else {
        return;
    }
    line.MODIF = 1;
}

} // namespace

void makeDayLine(const Employee& e, qint32 day, const DayLineOptions& o, PointVal& line)
{
    const Personnel& p = e.record;
    line = PointVal{};
    line.CARTE = p.CARTE;
    line.MATRICULE = p.MATRICULE;
    line.NOM = p.NOM;
    line.PRENOM = p.PRENOM;
    line.DATE = day;
    int weekYear = 0;
    line.NUM_SEMAINE = quint8(calendarDate(day).weekNumber(&weekYear));
    line.NUM_ANNEE = qint16(weekYear);
    line.clearPunches();
    line.INACTIF = e.inactiveOn(day) ? 1 : 0;
    if (line.INACTIF)
        return; // the transfer turned its punches away
    std::vector<DayPunch> punches = punchesOfDay(e, day, o.seed, o.terminals);
    const int limit = (o.today - day) * 1440 + o.lastMinute;
    while (!punches.empty() && punches.back().minute > limit)
        punches.pop_back();
    const int n = int(punches.size());
    for (int i = 0; i < n; ++i) {
        line.POINTAGE_ORIGINE[size_t(i)] = qint16(punches[size_t(i)].minute);
        line.TERMINAL[size_t(i)] = punches[size_t(i)].terminal;
    }
    computeProgramme(p, line, n);
    line.POINTAGE_UTILISATEUR = line.POINTAGE_PROGRAMME;
    Random r(Random::mix(o.seed, quint64(p.CARTE), quint64(day) ^ 0xC0DE));
    if (n > 0 && r.chance(40))
        correctByHand(e, line, n);
    line.TOTAL = dayTotal(line.POINTAGE_UTILISATEUR);
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
    PointVal line;
    FileError rc;
    for (qint64 i = 0; i < n && rc.ok(); ++i) {
        Employee& e = staff[size_t(i)];
        const qint64 count = o.lines / n + (i < o.lines % n ? 1 : 0);
        for (qint32 day = qint32(o.today - count + 1); day <= o.today && rc.ok(); ++day) {
            makeDayLine(e, day, o, line);
            rc = pov.add(line);
            const int used = int(std::count_if(line.POINTAGE_ORIGINE.begin(), line.POINTAGE_ORIGINE.end(),
                                               [](qint16 v) { return v >= 0; }));
            if (used == 0)
                continue;
            const qint32 last = day + (line.POINTAGE_ORIGINE[size_t(used - 1)] >= 1440 ? 1 : 0);
            if (e.record.PREMIER_POINTAGE == 0 || e.record.PREMIER_POINTAGE > day)
                e.record.PREMIER_POINTAGE = day;
            e.record.DERNIER_POINTAGE = std::max(e.record.DERNIER_POINTAGE, last);
        }
        if (rc.ok() && e.record.PREMIER_POINTAGE != 0)
            rc = per.put(e.record);
    }
    return rc.ok() ? t.commit() : rc;
}

} // namespace kip::gen
