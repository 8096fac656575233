// The public holidays of France as a plain function of the year: the eleven of the whole country, and Good
// Friday and 26 December in Alsace-Moselle. Easter Sunday by the Gregorian computus.
#pragma once

#include <QString>
#include <vector>

namespace kip {

// Easter Sunday of a Gregorian year, as a day number.
qint32 Paques(int annee);

struct JourFerie
{
    qint32 date = 0;
    QString nom; // "Lundi de Pâques"
};

// The public holidays of the year in date order.
std::vector<JourFerie> JoursFeries(int annee, bool alsaceMoselle);

// The holiday on the date, or nullptr; the table of each year is made once.
const JourFerie* JourFerieDu(qint32 date, bool alsaceMoselle);
inline bool EstFerie(qint32 date, bool alsaceMoselle)
{
    return JourFerieDu(date, alsaceMoselle) != nullptr;
}

} // namespace kip
