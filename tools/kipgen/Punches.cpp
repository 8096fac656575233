// Punches drawn from the employees' habits, and the raw punch file written from them.
#include "Punches.h"

#include "Absences.h"
#include "Random.h"
#include "calendar/Clock.h"
#include "calendar/HeureTexte.h"
#include "calendar/JoursFeries.h"
#include "data/TextFiles.h"
#include "punch/PreparerJournee.h"

#include <QFile>
#include <algorithm>

namespace kip::gen {

namespace {

bool worksOn(const Employee& e, qint32 day, Random& r)
{
    const int weekday = day % 7; // 0 Sunday .. 6 Saturday
    // A whole day of absence is a day without punches; a weekday off in the planned hours nearly always is.
    if (absentAllDay(e, day))
        return false;
    bool works;
    if (EstFerie(day, false)) // a public holiday is worked now and then, as a Sunday
        works = r.chance(8);
    else if (weekday >= 1 && weekday <= 5 && plannedDayOff(e, day))
        works = r.chance(10);
    else if (e.profile.night)
        works = weekday >= 1 && weekday <= 5 ? r.chance(960) : r.chance(10);
    else if (weekday == 0)
        works = r.chance(8);
    else if (weekday == 6)
        works = r.chance(e.profile.saturdayPerMille);
    else
        works = r.chance(965);
    // No shift starts on a day on which the employee is not expected (the few punches the transfer rejects
    // are added on purpose, one of each kind).
    return works && !estInactif(e.record, day);
}

void addBreaks(std::vector<int>& m, const WorkProfile& w, int pairs, Random& r)
{
    for (int k = 0; k < pairs; ++k) {
        const int base = k % 2 == 0 ? (w.entry + w.lunchOut) / 2 : (w.lunchIn + w.exit) / 2;
        const int out = r.around(base + 40 * (k / 2), 5);
        m.push_back(out);
        m.push_back(out + r.between(10, 20));
    }
}

} // namespace

std::vector<DayPunch> punchesOfDay(const Employee& e, qint32 day, std::uint64_t seed, int terminals)
{
    Random r(Random::mix(seed, quint64(e.record.CARTE), quint64(day)));
    if (!worksOn(e, day, r))
        return {};
    const WorkProfile& w = e.profile;
    const int nombre = e.record.NOMBRE;
    const int j = w.jitter;
    std::vector<int> m;
    m.reserve(16);
    m.push_back(r.around(w.entry, j) - (r.chance(100) ? r.between(5, 25) : 0));
    if (!w.night && day % 7 == 6) { // Saturday morning
        m.push_back(r.around(720, j));
    } else {
        if (nombre >= 4) {
            m.push_back(r.around(w.lunchOut, w.night ? 5 : j));
            m.push_back(r.around(w.lunchIn, w.night ? 5 : j));
        }
        if (!w.night && nombre >= 6)
            addBreaks(m, w, (nombre - 4) / 2, r);
        m.push_back(r.around(w.exit, j) + (r.chance(60) ? r.between(30, 150) : 0));
        if (r.chance(15)) // a forgotten punch
            m.erase(m.begin() + r.below(int(m.size())));
    }
    std::sort(m.begin(), m.end());
    std::vector<DayPunch> out;
    out.reserve(m.size());
    for (int v : m) {
        if (!out.empty() && v < out.back().minute + 3)
            v = out.back().minute + 3;
        if (v < 0 || v > DerniereMinuteStockee || out.size() == size_t(PunchSlotsUsed))
            break;
        const quint8 t = r.chance(900) || terminals <= 1 ? w.terminal : quint8(1 + r.below(terminals));
        out.push_back({v, t});
    }
    return out;
}

std::vector<DatedPunch> punchesBetween(const Employee& e, qint32 from, qint32 today, std::uint64_t seed, int terminals,
                                       int lastMinute)
{
    std::vector<DatedPunch> out;
    for (qint32 day = from - 1; day <= today; ++day) {
        for (const DayPunch& p : punchesOfDay(e, day, seed, terminals)) {
            const qint32 date = day + p.minute / MinutesJour;
            const int minute = p.minute % MinutesJour;
            if (date < from || date > today || (date == today && minute > lastMinute))
                continue;
            out.push_back({date, qint16(minute), p.terminal});
        }
    }
    // A night shift ends after the next day's shift may have started: time order, the day's order kept.
    std::stable_sort(out.begin(), out.end(), [](const DatedPunch& a, const DatedPunch& b) {
        return a.date != b.date ? a.date < b.date : a.minute < b.minute;
    });
    return out;
}

std::vector<IssuePointage> applyPunches(Personnel& record, const std::vector<DatedPunch>& punches,
                                        JourneesEnMemoire& lines)
{
    std::vector<IssuePointage> outcomes;
    outcomes.reserve(punches.size());
    for (const DatedPunch& p : punches)
        outcomes.push_back(AppliquerPointage(record, p.date, p.minute, p.terminal, lines).issue);
    return outcomes;
}

namespace {

enum Kind : quint8
{
    Normal,
    Unknown,
    BeforeHiring,
    Inactivity,
    TerminalZero,
    TerminalHigh,
    Midnight24,
    CardZero,
    NonDigit,
    OldDate,
    KindCount
};

struct Event
{
    qint32 day;    // calendar date of the punch
    qint16 minute; // 0..1439
    qint16 card;
    quint8 terminal;
    quint8 kind;
    qint64 writeAt; // when the card reader wrote the line: day * 2880 + minute, later for late batches
};

qint64 at(qint32 day, int minute)
{
    return qint64(day) * 2 * MinutesJour + minute;
}

// Now and then a terminal keeps its punches and hands them over hours later, so that they reach the file
// after punches of other terminals made in the meantime.
void delayLateBatches(std::vector<Event>& events, const OriginOptions& o)
{
    struct Batch
    {
        int terminal = 0;
        int from = 0, to = 0, flushAt = 0;
    };
    std::vector<Batch> batches(size_t(o.today - o.firstDay + 1));
    for (qint32 d = o.firstDay; d <= o.today; ++d) {
        Random r(Random::mix(o.seed, 0x1A7E, quint64(d)));
        if (!r.chance(120))
            continue;
        Batch& b = batches[size_t(d - o.firstDay)];
        b.terminal = 1 + r.below(std::max(1, o.terminals));
        b.from = r.between(360, 1200);
        b.to = b.from + r.between(60, 480);
        b.flushAt = b.to + r.between(15, 900);
    }
    for (Event& e : events) {
        if (e.day < o.firstDay || e.day > o.today)
            continue;
        const Batch& b = batches[size_t(e.day - o.firstDay)];
        if (b.terminal == e.terminal && e.minute >= b.from && e.minute < b.to)
            e.writeAt = at(e.day, b.flushAt);
    }
}

// Keeps exactly `lines` events: all the special ones when they fit, and a uniform choice of the others; or
// adds ordinary punches of random employees on random working days.
void fitToCount(std::vector<Event>& events, qint64 lines, const std::vector<Employee>& staff, const OriginOptions& o)
{
    Random r(Random::mix(o.seed, 0xF17));
    const qint64 have = qint64(events.size());
    if (have > lines) {
        const qint64 special = std::count_if(events.begin(), events.end(), [](const Event& e) { return e.kind; });
        const bool keepSpecial = special <= lines;
        qint64 pool = keepSpecial ? have - special : have;
        qint64 wanted = keepSpecial ? lines - special : lines;
        std::vector<Event> kept;
        kept.reserve(size_t(lines));
        for (const Event& e : events) {
            if (keepSpecial && e.kind) {
                kept.push_back(e);
                continue;
            }
            // Selection sampling: each remaining candidate is taken with the chance wanted / pool.
            if (qint64(static_cast<unsigned __int128>(r.next()) * quint64(pool) >> 64) < wanted) {
                kept.push_back(e);
                --wanted;
            }
            --pool;
        }
        events.swap(kept);
        return;
    }
    if (staff.empty())
        return;
    for (qint64 i = have; i < lines; ++i) {
        // Where the punch cannot be rejected, whichever of the day and the day before it goes to; a few draws
        // at most, for a staff that is hardly ever active.
        const Employee* e = nullptr;
        qint32 day = 0;
        for (int essai = 0; essai < 16 && (!e || estInactif(e->record, day) || estInactif(e->record, day - 1));
             ++essai) {
            e = &staff[size_t(r.below(int(staff.size())))];
            day = r.between(o.firstDay, o.today);
            if (day % 7 == 0)
                day = std::min(day + 1, o.today);
        }
        const int from = e->profile.night ? 0 : e->profile.entry - 30;
        const int to = e->profile.night ? DerniereMinute : std::min(DerniereMinute, e->profile.exit + 30);
        int minute = r.between(from, to);
        if (day == o.today)
            minute = std::min(minute, o.lastMinute);
        events.push_back({day, qint16(minute), e->record.CARTE, e->profile.terminal, Normal, at(day, minute)});
    }
}

QByteArray lineOf(const Event& e, const QDate& date)
{
    int card = e.card, year = date.year(), hour = e.minute / 60, minute = e.minute % 60, terminal = e.terminal;
    switch (e.kind) {
    case TerminalZero:
        terminal = 0;
        break;
    case TerminalHigh:
        terminal = 17;
        break;
    case Midnight24:
        hour = 24;
        minute = 0;
        break;
    case CardZero:
        card = 0;
        break;
    case OldDate:
        year -= 2;
        break;
    default:
        break;
    }
    QByteArray line = formatOriginLine(card, date.day(), date.month(), year, hour, minute, terminal);
    if (e.kind == NonDigit)
        line[e.card % 2 ? 2 : 19] = 'O'; // a letter O typed for a zero, in the card or in the minutes
    return line;
}

// One punch of each kind that the transfer rejects, so that the rejection list shows what it is for: an
// unknown card, a punch the day before an employee's hiring, and one on the first day of a period of
// inactivity. Each is checked by the punch rules against the employee's own punches.
void addRejections(std::vector<Event>& events, const std::vector<Employee>& staff, const OriginOptions& o)
{
    Random r(Random::mix(o.seed, 0xBAD1));
    const std::vector<qint16> strangers = unknownCards(staff, 1, o.seed);
    if (!strangers.empty()) {
        const qint32 day = r.between(o.firstDay, o.today);
        const int minute = std::min(o.lastMinute, r.around(600, 120));
        events.push_back({day, qint16(minute), strangers[0], quint8(1 + r.below(std::max(1, o.terminals))), Unknown,
                          at(day, minute)});
    }
    constexpr int Minute = 540;
    auto firstRejected = [&](IssuePointage wanted, Kind kind, auto dayOf) {
        for (const Employee& e : staff) {
            const qint32 day = dayOf(e);
            if (day < o.firstDay || day > o.today || (day == o.today && Minute > o.lastMinute))
                continue;
            std::vector<DatedPunch> punches = punchesBetween(e, o.firstDay, o.today, o.seed, o.terminals, o.lastMinute);
            const DatedPunch extra{day, qint16(Minute), e.profile.terminal};
            const auto place = std::upper_bound(punches.begin(), punches.end(), extra, [](auto& a, auto& b) {
                return a.date != b.date ? a.date < b.date : a.minute < b.minute;
            });
            const size_t index = size_t(place - punches.begin());
            punches.insert(place, extra);
            Personnel record = e.record;
            JourneesEnMemoire lines;
            if (applyPunches(record, punches, lines)[index] == wanted) {
                events.push_back({day, qint16(Minute), e.record.CARTE, e.profile.terminal, kind, at(day, Minute)});
                return;
            }
        }
    };
    firstRejected(IssuePointage::NonEmbauche, BeforeHiring,
                  [](const Employee& e) { return e.record.DATE_EMBAUCHE - 1; });
    firstRejected(IssuePointage::Inactivite, Inactivity, [&o](const Employee& e) {
        const Personnel& p = e.record;
        for (size_t i = 0; i < p.PERIODE_INACTIVITE_DEBUT.size(); ++i)
            if (p.PERIODE_INACTIVITE_DEBUT[i] != 0 && p.PERIODE_INACTIVITE_FIN[i] >= o.firstDay)
                return std::max(p.PERIODE_INACTIVITE_DEBUT[i], o.firstDay);
        return qint32(0);
    });
}

} // namespace

qint64 writeOrigin(const QString& path, const std::vector<Employee>& staff, const OriginOptions& o)
{
    std::vector<Event> events;
    events.reserve(o.lines > 0 ? size_t(o.lines) + 1024 : staff.size() * size_t(o.today - o.firstDay + 2) * 3);
    Random r(Random::mix(o.seed, 0x0819));
    for (const Employee& e : staff) {
        std::vector<DatedPunch> punches;
        for (const DatedPunch& p : punchesBetween(e, o.firstDay, o.today, o.seed, o.terminals, o.lastMinute)) {
            punches.push_back(p);
            if (r.chance(6)) // a second swipe: the same minute, or the next one
                punches.push_back(
                    {p.date, qint16(std::min(DerniereMinute, p.minute + (r.chance(700) ? 0 : 1))), p.terminal});
        }
        // The transfer's verdict on each punch: those it would reject are left out.
        Personnel record = e.record;
        JourneesEnMemoire lines;
        const std::vector<IssuePointage> outcomes = applyPunches(record, punches, lines);
        for (size_t i = 0; i < punches.size(); ++i) {
            if (outcomes[i] == IssuePointage::Inactivite || outcomes[i] == IssuePointage::NonEmbauche)
                continue;
            const DatedPunch& p = punches[i];
            events.push_back({p.date, p.minute, e.record.CARTE, p.terminal, Normal, at(p.date, p.minute)});
        }
    }
    const qint64 natural = qint64(events.size());
    addRejections(events, staff, o);
    const qint64 malformed = std::max<qint64>(KindCount - TerminalZero, natural / 5000);
    for (qint64 i = 0; i < malformed && !staff.empty(); ++i) {
        const Employee& e = staff[size_t(r.below(int(staff.size())))];
        const qint32 day = r.between(o.firstDay, o.today);
        const int minute = std::min(o.lastMinute, r.around(e.profile.night ? 1320 : 480, 60));
        events.push_back({day, qint16(minute), e.record.CARTE, e.profile.terminal,
                          quint8(TerminalZero + i % (KindCount - TerminalZero)), at(day, minute)});
    }

    if (o.lines >= 0)
        fitToCount(events, o.lines, staff, o);
    delayLateBatches(events, o);
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.writeAt < b.writeAt; });

    QByteArray out;
    out.reserve(qsizetype(events.size()) * (OriginLineLength + 2));
    qint32 cachedDay = -1;
    QDate date;
    for (const Event& e : events) {
        if (e.day != cachedDay) {
            cachedDay = e.day;
            date = calendarDate(e.day);
        }
        out += lineOf(e, date);
        out += "\r\n";
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(out) != out.size())
        return -1;
    return qint64(events.size());
}

} // namespace kip::gen
