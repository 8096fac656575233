// Day lines written straight into POINTVAL, as the transfer and the day initialisation would have left
// them, for installations that need a long history (benchmarks of the reports, the purge, the lists).
#pragma once

#include "Staff.h"
#include "data/Database.h"

#include <cstdint>

namespace kip::gen {

struct DayLineOptions
{
    qint64 lines = 0; // exact number of day lines, spread evenly over the employees
    qint32 today = 0; // each employee's lines end on this day
    std::uint64_t seed = 1;
    int terminals = 3;
    int lastMinute = 720; // punches of today after this minute have not happened yet
};

// Fills a day line from the employee's punches of that day: raw, programme and user lines, total, week.
void makeDayLine(const Employee& e, qint32 day, const DayLineOptions& o, PointVal& line);

// The programme value of raw punch `raw` in slot `slot` (1-based) by the employee's rounding, tolerance and
// offset, before the clamp of the whole line.
int programmeValue(const Personnel& p, int slot, int raw);

// Adds the day lines in one batch and updates the employees' first and last punch dates.
FileError writeDayLines(Database& db, std::vector<Employee>& staff, const DayLineOptions& o);

} // namespace kip::gen
