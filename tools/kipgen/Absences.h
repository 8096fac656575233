// The planned hours and absences of a generated staff: most employees on the default 7.00 from Monday to
// Friday, some part-time or with a change of contract; paid leave, a few sick days, days off and half days,
// recovered hours and training, on planned days that are not public holidays. Whole days off are days
// without punches (Punches.cpp asks absentAllDay); half days and hours sit beside the day's punches. Each
// employee starts with a balance of paid leave and a credit of RTT days.
#pragma once

#include "Staff.h"
#include "data/Database.h"

#include <cstdint>

namespace kip::gen {

// Draws each employee's planned hours and its absences from firstDay to four weeks after today.
void drawAbsences(std::vector<Employee>& staff, qint32 firstDay, qint32 today, std::uint64_t seed);

// Whether the employee is away for the whole day; whether its planned hours have that weekday off.
bool absentAllDay(const Employee& e, qint32 day);
bool plannedDayOff(const Employee& e, qint32 day);

// Writes the planned hours, absences and starting balances in one batch.
FileError writeAbsences(Database& db, const std::vector<Employee>& staff);

} // namespace kip::gen
