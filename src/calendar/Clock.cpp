#include "Clock.h"

#include <atomic>

namespace kip::Clock {

namespace {
std::atomic<qint32> g_injected{0};
std::atomic<int> g_injectedTimeMs{-1}; // milliseconds since midnight; -1 for the system's time
} // namespace

qint32 today()
{
    const qint32 injected = g_injected.load();
    return injected ? injected : dayNumber(QDate::currentDate());
}

QDate todayDate()
{
    return calendarDate(today());
}

void setToday(qint32 day)
{
    g_injected = day;
}

QTime timeOfDay()
{
    const int ms = g_injectedTimeMs.load();
    return ms >= 0 ? QTime::fromMSecsSinceStartOfDay(ms) : QTime::currentTime();
}

QDateTime now()
{
    const QDateTime system = QDateTime::currentDateTime();
    const qint32 day = g_injected.load();
    const int ms = g_injectedTimeMs.load();
    return QDateTime(day ? calendarDate(day) : system.date(),
                     ms >= 0 ? QTime::fromMSecsSinceStartOfDay(ms) : system.time());
}

void setTimeOfDay(const QTime& time)
{
    g_injectedTimeMs = time.isValid() ? time.msecsSinceStartOfDay() : -1;
}

} // namespace kip::Clock
