#include "Clock.h"

#include <atomic>

namespace kip::Clock {

namespace {
std::atomic<qint32> g_injected{0};
}

qint32 today()
{
    const qint32 injected = g_injected.load();
    return injected ? injected : dayNumber(QDate::currentDate());
}

QDate todayDate() { return calendarDate(today()); }

void setToday(qint32 day) { g_injected = day; }

} // namespace kip::Clock
