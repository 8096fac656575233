// Week numbering (Monday to Sunday, ISO 8601), day and month names and the dd/mm/yyyy date text, as plain
// functions of the day numbers of Clock.h. Every program uses them for the weeks stored in the day lines.
#pragma once

#include "Clock.h"

#include <QString>

namespace kip {

// A week: number 1 to 53 and the week-year it belongs to (which differs from the calendar year for the few
// days around 1 January that fall in a week of the neighbouring year).
struct Semaine
{
    quint8 numero = 0;
    qint16 annee = 0;
    friend bool operator==(const Semaine&, const Semaine&) = default;
};

// The weeks of one week-year: the first is always 1, the last 52 or 53.
struct SemainesAnnee
{
    qint16 annee = 0;
    quint8 premiere = 1;
    quint8 derniere = 0;
};

// A Monday and the Sunday that closes its week.
struct LundiEtDimanche
{
    qint32 lundi = 0;
    qint32 dimanche = 0;
};

// Weekday of a day number, 0 = Sunday ... 6 = Saturday, also for days before day 0.
constexpr int jourSemaine(qint32 date)
{
    return int(((qint64(date) % 7) + 7) % 7);
}

// Monday of week 1 of year Y: the week that holds the year's first Thursday.
qint32 DebutPremiereSemaine(int annee);
// Sunday that closes the last week of year Y.
qint32 FinDerniereSemaine(int annee);

Semaine NumeroSemaine(qint32 date);
// Weeks of the week-year that holds the date.
SemainesAnnee SemainesDeLAnnee(qint32 date);
// Weeks of the week-year Y itself (taken on 1 July, which is always inside it).
SemainesAnnee SemainesDeLAnneeParAn(int annee);
LundiEtDimanche DatesDeSemaine(int numero, int annee);
LundiEtDimanche LundiDimanche(qint32 date);

// "Dimanche" ... "Samedi".
QString NomJour(qint32 date);
// "Janvier" ... "Décembre" for 1 to 12; empty otherwise.
QString NomMois(int mois);
// dd/mm/yyyy (the "d6" picture); empty for 0, which means no date.
QString DateTexte(qint32 date);
// Days of a month of the Gregorian calendar (February of 2100 has 28).
int JoursDuMois(int mois, int annee);

} // namespace kip
