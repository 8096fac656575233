// The punches of one employee on one working day, and the raw punch file Origin00.txt drawn from them.
#pragma once

#include "Staff.h"
#include "punch/AppliquerPointage.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace kip::gen {

struct DayPunch
{
    int minute; // from midnight of the shift's first day; 1440 and more after midnight
    quint8 terminal;
};

// What the employee punched on the shift that starts on day: ascending, at least 3 minutes apart, at most
// 14. Mostly the employee's pattern with its jitter; also days off, forgotten punches, overtime, and now and
// then punches on days where the employee is not expected (inactivity, before hiring, after leaving).
std::vector<DayPunch> punchesOfDay(const Employee& e, qint32 day, std::uint64_t seed, int terminals);

// A punch at a minute (0 to 1439) of a calendar date, as a raw line holds it.
struct DatedPunch
{
    qint32 date;
    qint16 minute;
    quint8 terminal;
};

// The employee's punches on the calendar dates from `from` to `today` (today's stop at lastMinute), in time
// order: those of the shifts that start on each day, the one before `from` included.
std::vector<DatedPunch> punchesBetween(const Employee& e, qint32 from, qint32 today, std::uint64_t seed, int terminals,
                                       int lastMinute);

// What the transfer does with each punch, in the order given (time order): the punch rules of the core
// (AppliquerPointage), applied to the lines in `lines` and to the employee's punch dates.
std::vector<IssuePointage> applyPunches(Personnel& record, const std::vector<DatedPunch>& punches,
                                        JourneesEnMemoire& lines);

struct OriginOptions
{
    qint32 firstDay = 0;
    qint32 today = 0;
    std::uint64_t seed = 1;
    int terminals = 3;
    qint64 lines = -1;    // exact number of lines, or -1 for what the weeks hold
    int lastMinute = 720; // today's punches stop here (the program is started around noon)
};

// Writes the raw punch lines, CR LF ended, mostly in time order with late terminal batches, second swipes
// and a few malformed lines. The punches the transfer would reject are left out but for one of each kind:
// an unknown card, a punch before hiring and one in a period of inactivity (when the staff has such cases).
// Returns the number of lines written, or -1 when the file could not be written.
qint64 writeOrigin(const QString& path, const std::vector<Employee>& staff, const OriginOptions& options);

} // namespace kip::gen
