// Today's date and the time of day, from one source that tests can set.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace kip {

// Day numbers count days from 28/12/1800 (day 0, a Sunday): day mod 7 is 0 on a Sunday, 1 on a Monday.
// 0 means no date.
constexpr qint64 DayZeroJulian = 2378858; // QDate(1800, 12, 28).toJulianDay()

inline qint32 dayNumber(const QDate& date)
{
    return date.isValid() ? qint32(date.toJulianDay() - DayZeroJulian) : 0;
}
inline qint32 dayNumber(int year, int month, int day)
{
    return dayNumber(QDate(year, month, day));
}
inline QDate calendarDate(qint32 day)
{
    return QDate::fromJulianDay(qint64(day) + DayZeroJulian);
}

namespace Clock {
// Today as a day number: the injected date when one is set, else the system's.
qint32 today();
QDate todayDate();
// Sets "today" for the whole process; 0 returns to the system's date.
void setToday(qint32 day);
// The time of day: the injected time when one is set, else the system's.
QTime timeOfDay();
// Today's date and the time of day read at one instant, so that a read at midnight never pairs one day's date
// with the next day's time.
QDateTime now();
// Sets the time of day for the whole process (it then stands still); an invalid time returns to the system's.
void setTimeOfDay(const QTime& time);
} // namespace Clock

} // namespace kip
