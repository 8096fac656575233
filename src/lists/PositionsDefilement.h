// The scroll bar of a list read by key range has 100 positions laid out over the keys of the list's order, from
// the first row to the last: a position is a key value, and a drag goes to the first row not below it.
#pragma once

#include <QString>
#include <vector>

namespace kip {

constexpr int PositionsDefilement = 100;

// 100 texts laid out evenly, character by character, from the first to the last key (the case of A to Z
// ignored, as the keys compare). Never decreasing.
std::vector<QString> positionsTexte(const QString& premier, const QString& dernier);
// The number of leading characters that those positions weigh.
int longueurPositions(const QString& premier, const QString& dernier);

} // namespace kip
