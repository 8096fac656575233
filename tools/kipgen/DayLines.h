// Day lines written straight into POINTVAL, as the transfer and the day initialisation would have left
// them, for installations that need a long history (benchmarks of the reports, the purge, the lists). They
// are made by the punch rules of the core, not by a copy of them.
#pragma once

#include "Staff.h"
#include "data/Database.h"

#include <cstdint>
#include <vector>

namespace kip::gen {

struct DayLineOptions
{
    qint64 lines = 0; // exact number of day lines, spread evenly over the employees
    qint32 today = 0; // each employee's lines end on this day
    std::uint64_t seed = 1;
    int terminals = 3;
    int lastMinute = 720; // punches of today after this minute have not happened yet
};

// One line per day from first to o.today: the employee's punches of those days put on their lines by the
// transfer's rules (the day choice, the merge, the programme line, the total), an empty line on a day
// without punches (flagged inactive when the employee is), and now and then a user's correction. The
// employee's first and last punch dates follow.
std::vector<PointVal> makeDayLines(Employee& e, qint32 first, const DayLineOptions& o);

// Adds the day lines in one batch and updates the employees' first and last punch dates.
FileError writeDayLines(Database& db, std::vector<Employee>& staff, const DayLineOptions& o);

} // namespace kip::gen
