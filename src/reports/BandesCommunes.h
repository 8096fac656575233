// The bands and texts that the reports of day lines share: the page header with the title and the print
// date, the page footer with the time unit box and the page number, the employee header and the employee
// footer, and the way times and totals are written.
#pragma once

#include "MoteurBandes.h"

#include <QTime>

namespace kip {

// Heights of the shared bands, in thousandths of an inch, spacing below them included.
constexpr qint32 HauteurEnTetePage = 573;
constexpr qint32 HauteurPiedPage = 260;
constexpr qint32 HauteurEnTeteEmploye = 365;
constexpr qint32 HauteurPiedEmploye = 365;

// The right edge of the totals column: day totals, week totals and employee totals end there.
constexpr qint32 BordTotaux = 7406;

struct EnTetePage
{
    QString titre;   // NOMEDITION
    qint32 date = 0; // the print date
    QTime heure;     // the print time of the line that opens the page
};

// A box across the width with the title at the left and "Edition du:" with the print day, date and time.
void dessinerEnTetePage(Dessin& d, const EnTetePage& e);
// The check box "Cette édition est en heure et centièmes si la case est cochée" and the page number.
void dessinerPiedPage(Dessin& d, int page, bool centiemes);

struct Identite
{
    qint16 carte = 0;
    QString nom, prenom, matricule;
};
// A box across the width: card, name, first name and matricule.
void dessinerEnTeteEmploye(Dessin& d, const Identite& e);
// "Total général de:" with the employee and the total, in a box at the right.
void dessinerPiedEmploye(Dessin& d, const Identite& e, const QString& total);

// A punch as printed: 0 to 1439 as it stands, 1440 to 2879 less a day, anything else (an empty slot) blank.
QString textePointage(qint16 valeur, bool centiemes);
// A total in hours with two decimals (HeureDecimale), right-aligned in `positions` characters, blank when
// zero. A total too wide for its positions is written whole.
QString texteTotal(qint32 minutes, bool centiemes, int positions = 6);
// The card in four digits.
QString texteCarte(qint16 carte);

} // namespace kip
