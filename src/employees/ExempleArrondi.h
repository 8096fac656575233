// The worked example of the employee form: around 8 h for entries or 17 h for exits, five retained values of
// the rounding grid and, under each, the range of punches that the rule turns into it.
#pragma once

#include "ReglesFiche.h"

#include <QString>
#include <array>

namespace kip {

constexpr int ValeursExemple = 5; // k = -2 .. +2

struct ExempleArrondi
{
    QString titre;
    std::array<int, ValeursExemple> retenues{};    // minutes
    std::array<int, ValeursExemple> debutPlages{}; // minutes, both ends included
    std::array<int, ValeursExemple> finPlages{};

    // "7.21-7.35" and "7.30": the hour texts of a range and of a retained value.
    QString textePlage(int i) const;
    QString texteRetenue(int i) const;
};

// N is the code's step (1 without rounding), t the tolerance, d the offset. Entry: R(k) = 480 + d + kN, a
// punch from R(k-1) + t + 1 to R(k) + t is retained as R(k). Exit: R(k) = 1020 + d + kN, from R(k) - t to
// R(k+1) - t - 1.
ExempleArrondi exempleArrondi(Cote cote, const QString& code, int tolerance, int decalage);

} // namespace kip
