// Planned hours and absences drawn for a generated staff, checked by the absence rules of the core.
#include "Absences.h"

#include "Random.h"
#include "absences/HorairesPrevus.h"
#include "absences/ReglesAbsences.h"
#include "calendar/Clock.h"
#include "calendar/JoursFeries.h"
#include "data/RecordFile.h"
#include "data/RecordsAbsences.h"
#include "data/Transaction.h"

#include <algorithm>
#include <map>

namespace kip::gen {

namespace {

constexpr int FutureDays = 28; // leave is planned ahead: the coming weeks hold some

MinutesSemaine pattern(std::initializer_list<qint16> m)
{
    MinutesSemaine p{};
    std::copy(m.begin(), m.end(), p.begin());
    return p;
}

void drawPlannedHours(Employee& e, qint32 firstDay, qint32 today, Random& r)
{
    const int x = r.below(1000);
    if (x < 80) { // part time, Wednesday off
        Horaire h;
        h.CARTE = e.record.CARTE;
        h.MINUTES = pattern({420, 420, 0, 420, 420, 0, 0});
        e.horaires.push_back(h);
    } else if (x < 130 && today > firstDay) { // a change of contract during the generated weeks: 39 hours
        Horaire h;
        h.CARTE = e.record.CARTE;
        h.DEBUT = r.between(firstDay, today);
        h.MINUTES = pattern({480, 480, 480, 480, 420, 0, 0});
        e.horaires.push_back(h);
    }
}

// The planned days from `from` on, up to `count` of them, skipping public holidays and days off.
std::vector<qint32> plannedDays(const Employee& e, const HorairesPrevus& plans, qint32 from, int count, qint32 last)
{
    std::vector<qint32> days;
    for (qint32 d = from; d <= last && int(days.size()) < count; ++d)
        if (plans.minutes(e.record, d) > 0 && !EstFerie(d, false))
            days.push_back(d);
    return days;
}

Absence make(const char* code, PartieJour part, qint16 minutes = 0, const char* comment = "")
{
    Absence a;
    a.CODE = QLatin1String(code);
    a.PARTIE = quint8(part);
    a.MINUTES = minutes;
    a.COMMENTAIRE = QString::fromUtf8(comment);
    return a;
}

void drawDays(Employee& e, const HorairesPrevus& plans, qint32 firstDay, qint32 last, Random& r)
{
    std::map<qint32, JourAbsences> days;
    auto put = [&](qint32 d, const Absence& a) {
        auto it = days.try_emplace(d, JourAbsences{e.record.CARTE, d, {}}).first;
        it->second.poser(a);
    };
    auto start = [&] { return r.between(firstDay, last); };
    if (r.chance(350)) // a week or two of paid leave
        for (qint32 d : plannedDays(e, plans, start(), r.between(5, 10), last))
            put(d, make("CP", PartieJour::Journee));
    if (r.chance(80))
        for (qint32 d : plannedDays(e, plans, start(), r.between(1, 3), last))
            put(d, make("MAL", PartieJour::Journee));
    if (r.chance(150)) {
        for (int k = r.between(1, 3); k > 0; --k) {
            const std::vector<qint32> one = plannedDays(e, plans, start(), 1, last);
            const int x = r.below(3);
            if (!one.empty())
                put(one[0], make("RTT", x == 0   ? PartieJour::Journee
                                        : x == 1 ? PartieJour::Matin
                                                 : PartieJour::ApresMidi));
        }
    }
    if (r.chance(80))
        for (qint32 d : plannedDays(e, plans, start(), 1, last))
            put(d, make("REC", PartieJour::Heures, qint16(60 * r.between(1, 3)), "rendez-vous"));
    if (r.chance(30))
        for (qint32 d : plannedDays(e, plans, start(), r.between(1, 2), last))
            put(d, make("FOR", PartieJour::Journee, 0, "formation sécurité"));
    const std::vector<TypeAbsence> types = TypesParDefaut();
    for (auto& [d, day] : days)
        if (ErreurJour(day, types).isEmpty()) // always: the days are made by the rules' own poser
            e.absences.insert(e.absences.end(), day.absences.begin(), day.absences.end());
}

} // namespace

void drawAbsences(std::vector<Employee>& staff, qint32 firstDay, qint32 today, std::uint64_t seed)
{
    for (Employee& e : staff) {
        Random r(Random::mix(seed, quint64(e.record.CARTE), 0xAB5E));
        drawPlannedHours(e, firstDay, today, r);
    }
    std::vector<Horaire> all;
    for (const Employee& e : staff)
        all.insert(all.end(), e.horaires.begin(), e.horaires.end());
    const HorairesPrevus plans(all, ReglagesParDefaut().HORAIRE_DEFAUT);
    for (Employee& e : staff) {
        Random r(Random::mix(seed, quint64(e.record.CARTE), 0xAB5F));
        drawDays(e, plans, firstDay, today + FutureDays, r);
        // The balances as an operator sets them when the account starts: the paid leave left over from the
        // periods before, and the year's RTT days, on the 1 June before the first day.
        const QDate q = calendarDate(firstDay);
        Solde s;
        s.CARTE = e.record.CARTE;
        s.DATE = dayNumber(q.month() >= 6 ? q.year() : q.year() - 1, 6, 1);
        s.COMPTE = QLatin1String(CompteSolde::Conges);
        s.VALEUR = 50 * r.between(0, 24);
        e.soldes.push_back(s);
        s.COMPTE = QLatin1String(CompteSolde::Rtt);
        s.NATURE = quint8(NatureSolde::Credit);
        s.VALEUR = 100 * r.between(5, 10);
        e.soldes.push_back(s);
    }
}

bool absentAllDay(const Employee& e, qint32 day)
{
    return std::any_of(e.absences.begin(), e.absences.end(),
                       [day](const Absence& a) { return a.DATE == day && a.partie() == PartieJour::Journee; });
}

bool plannedDayOff(const Employee& e, qint32 day)
{
    const Horaire* inForce = nullptr;
    for (const Horaire& h : e.horaires)
        if (h.DEBUT <= day && (!inForce || h.DEBUT > inForce->DEBUT))
            inForce = &h;
    const MinutesSemaine& m = inForce ? inForce->MINUTES : ReglagesParDefaut().HORAIRE_DEFAUT;
    return m[size_t(IndexJour(day))] == 0;
}

FileError writeAbsences(Database& db, const std::vector<Employee>& staff)
{
    Transaction t(db, {FileId::Absence, FileId::Horaire, FileId::Solde});
    if (!t.ok())
        return t.error();
    RecordFile<Absence> absences(db);
    RecordFile<Horaire> horaires(db);
    RecordFile<Solde> soldes(db);
    for (const Employee& e : staff) {
        for (Solde s : e.soldes)
            if (FileError err = soldes.add(s); !err.ok())
                return err;
        for (Horaire h : e.horaires)
            if (FileError err = horaires.add(h); !err.ok())
                return err;
        for (Absence a : e.absences)
            if (FileError err = absences.add(a); !err.ok())
                return err;
    }
    return t.commit();
}

} // namespace kip::gen
