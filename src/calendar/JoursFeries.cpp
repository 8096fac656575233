#include "JoursFeries.h"

#include "Clock.h"

#include <QMutex>
#include <algorithm>
#include <map>

namespace kip {

qint32 Paques(int annee)
{
    // The anonymous Gregorian algorithm (Meeus): valid for every year of the Gregorian calendar.
    const int a = annee % 19;
    const int b = annee / 100;
    const int c = annee % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int mois = (h + l - 7 * m + 114) / 31;
    const int jour = (h + l - 7 * m + 114) % 31 + 1;
    return dayNumber(annee, mois, jour);
}

std::vector<JourFerie> JoursFeries(int annee, bool alsaceMoselle)
{
    const qint32 paques = Paques(annee);
    std::vector<JourFerie> j = {
        {dayNumber(annee, 1, 1), QStringLiteral("Jour de l'an")},
        {paques + 1, QStringLiteral("Lundi de Pâques")},
        {dayNumber(annee, 5, 1), QStringLiteral("Fête du travail")},
        {dayNumber(annee, 5, 8), QStringLiteral("Victoire 1945")},
        {paques + 39, QStringLiteral("Ascension")},
        {paques + 50, QStringLiteral("Lundi de Pentecôte")},
        {dayNumber(annee, 7, 14), QStringLiteral("Fête nationale")},
        {dayNumber(annee, 8, 15), QStringLiteral("Assomption")},
        {dayNumber(annee, 11, 1), QStringLiteral("Toussaint")},
        {dayNumber(annee, 11, 11), QStringLiteral("Armistice 1918")},
        {dayNumber(annee, 12, 25), QStringLiteral("Noël")},
    };
    if (alsaceMoselle) {
        j.push_back({paques - 2, QStringLiteral("Vendredi saint")});
        j.push_back({dayNumber(annee, 12, 26), QStringLiteral("Saint-Étienne")});
    }
    // Ascension falls on 1 or 8 May in some years (2008: 1 May): one holiday then, under its fixed name.
    std::stable_sort(j.begin(), j.end(), [](const JourFerie& x, const JourFerie& y) { return x.date < y.date; });
    j.erase(std::unique(j.begin(), j.end(), [](const JourFerie& x, const JourFerie& y) { return x.date == y.date; }),
            j.end());
    return j;
}

const JourFerie* JourFerieDu(qint32 date, bool alsaceMoselle)
{
    // The absence window asks for every cell of a month: the years' tables are kept. They are never removed, so
    // that a pointer handed out stays valid.
    static QMutex mutex;
    static std::map<std::pair<int, bool>, std::vector<JourFerie>> tables;
    const int annee = calendarDate(date).year();
    QMutexLocker lock(&mutex);
    auto it = tables.find({annee, alsaceMoselle});
    if (it == tables.end())
        it = tables.emplace(std::make_pair(annee, alsaceMoselle), JoursFeries(annee, alsaceMoselle)).first;
    for (const JourFerie& j : it->second)
        if (j.date == date)
            return &j;
    return nullptr;
}

} // namespace kip
