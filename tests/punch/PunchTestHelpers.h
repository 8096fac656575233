// Builders shared by the punch rule tests: employees with given rules and day lines with given punches.
#pragma once

#include "data/Records.h"

#include <initializer_list>

namespace kip::test {

inline constexpr int hm(int hours, int minutes)
{
    return hours * 60 + minutes;
}

inline PunchLine punchLine(std::initializer_list<int> minutes)
{
    PunchLine line;
    line.fill(PunchEmpty);
    int i = 0;
    for (int m : minutes)
        line[i++] = qint16(m);
    return line;
}

// An existing day line whose raw punches are the given ones and whose other lines are empty.
inline PointVal rawLine(std::initializer_list<int> minutes)
{
    PointVal pov;
    pov.clearPunches();
    pov.POINTAGE_ORIGINE = punchLine(minutes);
    return pov;
}

inline Personnel employee(const char* entry = "00", const char* exit = "00")
{
    Personnel per;
    per.CARTE = 12;
    per.ARRONDI_ENTREE = QString::fromLatin1(entry);
    per.ARRONDI_SORTIE = QString::fromLatin1(exit);
    per.ARRONDI_SEMAINE = QStringLiteral("000");
    per.NOMBRE = 4;
    return per;
}

} // namespace kip::test
