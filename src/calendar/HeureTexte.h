// Minute counts as hour texts and back: "hours.minutes" (8.30 is 8 h 30) or, with the decimal flag,
// hours and hundredths of an hour (8.50 is 8 h 30), as the grids, messages and reports show them.
#pragma once

#include <QString>
#include <QStringView>

namespace kip {

// The minute bounds of a stored punch: a day line holds its own day's punches as their minutes after midnight,
// and those that the day's shift carries past midnight as their minutes plus a day.
constexpr int MinutesJour = 1440;           // the minutes of a day: what a punch past midnight adds
constexpr int DerniereMinute = 1439;        // 23.59
constexpr int DerniereMinuteStockee = 2879; // 23.59 of the following day, the last value a punch slot holds

// " 8.05": hours right-aligned in two positions, a point, two digits of minutes (or of hundredths of an
// hour with the decimal flag). A negative count is written with a minus sign before its hours ("-0.30").
QString HeureTexte(qint32 minutes, bool decimal = false);

// The same value as a number with two decimals: 510 minutes give 8.30, or 8.50 with the decimal flag.
double HeureDecimale(qint32 minutes, bool decimal = false);

// A text read as a decimal number with two decimals ("10" is 10.00, ".1" is 0.10, ".01" is 0.01).
struct HeureLue
{
    bool valide = false; // blanks, at most one point (or comma), at most two decimals, an optional minus sign
    bool negatif = false;
    qint32 heures = 0;    // the integer part
    qint32 decimales = 0; // the two decimals as a number 0 to 99: the minutes when the text is hours.minutes
};
HeureLue LireHeureTexte(QStringView texte);

// Minutes of an hours.minutes text: INT(v) * 60 + the two decimals. Blank text gives 0; a text that is not
// a number gives 0 and clears *ok.
qint32 MinutesDeTexte(QStringView texte, bool* ok = nullptr);

} // namespace kip
