// The day lines' reads that go beyond a key read of RecordFile: the punch list's reads by key range in its four
// orders (dates and cards bounded, inactive lines left out), and the reports' reads of a period employee by
// employee (the next employee that has day lines, then its lines of the period), their counts, and the whole
// file in a report's order.
//
// Each statement is written once for both engines: parameters $1, $2 ... numbered in the order of their first
// use, tables named by schema (POINTVAL.POINTVAL), texts compared by the columns' case-blind collation, row
// values compared as a whole. What each read needs of an engine beyond that is said at the read.
#pragma once

#include "Database.h"
#include "EmployeeReads.h"
#include "RecordFile.h"
#include "Records.h"
#include "Result.h"

#include <optional>

namespace kip {

// The punch list's four orders: by date then card, card then date, date then name, name then date.
enum class DayLineOrder
{
    DateCard,
    CardDate,
    DateName,
    NameDate
};

// Where an ordered read starts: after a key value (excluded), at it (included), or at an end of the order.
enum class ReadStart
{
    After,
    At,
    End
};

// The punch list's range: the active lines between two dates and two cards, bounds included.
struct ActiveLineRange
{
    qint32 firstDate = 0;
    qint32 lastDate = 0;
    qint16 firstCard = 0;
    qint16 lastCard = 0;
};

// Checks that the list's reads in the order can be made on the file; the error otherwise.
FileError checkActiveLineReads(Database& db, DayLineOrder order);

// The orders led by the date (DateCard, DateName): up to limit lines of the range in the order's key, from the
// key value of from (After, At) or from an end of the order (End: from unused), in the direction.
// Needs: row values compared as a whole, LIMIT with a parameter, an index per key to read from a key value.
Cursor<PointVal> readActiveLines(Database& db, DayLineOrder order, const ActiveLineRange& range, ReadStart start,
                                 const PointVal& from, Direction direction, qint64 limit);

// The orders led by the employee (CardDate, NameDate): up to limit lines of the range of one employee (the card
// of employee, or its name and first name), by date from date (After, At), in the direction.
// Needs: LIMIT with a parameter.
Cursor<PointVal> readActiveLinesOf(Database& db, DayLineOrder order, const ActiveLineRange& range,
                                   const PointVal& employee, qint32 date, ReadStart start, Direction direction,
                                   qint64 limit);

// The orders led by the employee: the employee of the day lines next to employee in the direction (After, At),
// or the first (Forward) or last (Backward) one (End: employee unused). In card order only the range's cards
// count. Only CARTE, NOM and PRENOM are read; nothing when there is no such employee.
// Needs: row values compared as a whole, ORDER BY ... LIMIT 1 read through the key.
Result<std::optional<PointVal>> neighbourOfLines(Database& db, DayLineOrder order, const ActiveLineRange& range,
                                                 ReadStart start, const PointVal* employee, Direction direction);

// A report's selection: the lines of a period whose card, or name, or matricule lies in a range (bounds included,
// texts already clipped to their field).
struct LineSelection
{
    EmployeeKey key = EmployeeKey::Card;
    qint32 firstDate = 0;
    qint32 lastDate = 0;
    qint16 firstCard = 0;
    qint16 lastCard = 0;
    QString firstText; // of the name or the matricule
    QString lastText;
};

// The number of lines of the selection, inactive ones too unless activeOnly. The period bounds the count: the
// range's column is kept out of the choice of index.
// Needs: an expression over the range's column that the planner does not read through that column's index.
Result<qint64> countSelectedLines(Database& db, const LineSelection& selection, bool activeOnly);

// Every day line in a report's order: card, date; name, first name, card, date; matricule, card, date.
// Needs: an ordered read of the whole table, sent in batches.
Cursor<PointVal> readAllLines(Database& db, EmployeeKey key);

// The next employee of the selection's range that has day lines (any date): after the key of after (its card,
// or name and first name, or matricule), or the first one of the range (after null). In matricule order the
// lines without a matricule are never a group of their own here: readGroupLines gives them. Only the key's
// fields are read; nothing when there is none.
// Needs: row values compared as a whole, ORDER BY ... LIMIT 1 read through the key.
Result<std::optional<PointVal>> nextLineGroup(Database& db, const LineSelection& selection, const PointVal* after);

// The lines of the period of one group: of the card by date; of the name and first name, or of the matricule, by
// card then date. A group of matricule order with a blank matricule gives every line of the period without one.
// Needs: equality on the key's columns read through the key.
Cursor<PointVal> readGroupLines(Database& db, const LineSelection& selection, const PointVal& group);

} // namespace kip
