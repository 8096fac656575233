// The bands and texts that the reports of day lines share: the page header with the title and the print
// date, the page footer with the time unit box and the page number, the employee header and the employee
// footer, and the way times and totals are written; the bands and the line that every such report starts with.
#pragma once

#include "Edition.h"
#include "MoteurBandes.h"
#include "calendar/Clock.h"

#include <QTime>
#include <array>
#include <memory>

namespace kip {

// Heights of the shared bands, in thousandths of an inch, spacing below them included.
constexpr qint32 HauteurEnTetePage = 573;
constexpr qint32 HauteurPiedPage = 260;
constexpr qint32 HauteurEnTeteEmploye = 365;
constexpr qint32 HauteurPiedEmploye = 365;

// The right edge of the totals column: day totals, week totals and employee totals end there.
constexpr qint32 BordTotaux = 7406;

// The columns of the 14 punches of the weekly and daily reports, and their width: a punch is right-aligned
// in it, so that the hours line up.
constexpr std::array<qint32, 14> ColonnesPointages = {1354, 1719, 2188, 2552, 3021, 3385, 3802,
                                                      4167, 4635, 5000, 5469, 5833, 6302, 6667};
constexpr qint32 LargeurPointage = 330;

// The totals' fields, in characters with two decimals: 6 for a day or a few weeks; 10 for the totals that
// a long period (or a whole staff) takes past 32,767 minutes.
constexpr int PositionsTotal = 6;
constexpr int PositionsTotalLong = 10;

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
// The page number alone, in its box at the right.
void dessinerNumeroPage(Dessin& d, int page);

struct Identite
{
    qint16 carte = 0;
    QString nom, prenom, matricule;
};
// A box across the width: card, name, first name and matricule.
void dessinerEnTeteEmploye(Dessin& d, const Identite& e);
// "Total général de:" with the employee and the total, in a box at the right. A long total has a wider field,
// taken from the first name's.
void dessinerPiedEmploye(Dessin& d, const Identite& e, const QString& total, bool totalLong = false);

// The employee of a report's line.
template <class L> Identite identite(const L& l)
{
    return {l.CARTE, l.NOM, l.PRENOM, l.MATRICULE};
}

// What every report of day lines starts with: the employee and date of its line taken from the day line, and
// the print time read now.
template <class L> void remplirEmployeDate(L& l, const PointVal& pov)
{
    l.CARTE = pov.CARTE;
    l.NOM = pov.NOM;
    l.PRENOM = pov.PRENOM;
    l.MATRICULE = pov.MATRICULE;
    l.DATE = pov.DATE;
    l.heure = Clock::timeOfDay();
}

// The bands of a report of day lines on the run's pagination, with the page header (the title, the print date,
// and the print time of the line that opens the page) and the page footer (the unit box and the page number).
template <class L> std::unique_ptr<RapportBandes<L>> bandesRapport(ContexteEdition& contexte)
{
    auto bandes = std::make_unique<RapportBandes<L>>(contexte.pagination);
    const ParametresEdition& p = contexte.parametres;
    const EnTetePage enTete{p.NOMEDITION, contexte.dateImpression, {}};
    bandes->enTetePage({HauteurEnTetePage, [enTete](Dessin& d, const L& l) {
                            EnTetePage e = enTete;
                            e.heure = l.heure;
                            dessinerEnTetePage(d, e);
                        }});
    const bool centiemes = p.centiemes;
    contexte.pagination.piedPage(HauteurPiedPage,
                                 [centiemes](Dessin& d, int page) { dessinerPiedPage(d, page, centiemes); });
    return bandes;
}

// A punch as printed: 0 to 1439 as it stands, 1440 to 2879 less a day, anything else (an empty slot) blank.
QString textePointage(qint16 valeur, bool centiemes);
// A total in hours with two decimals (HeureDecimale), right-aligned in `positions` characters, blank when
// zero. A total too wide for its positions is written whole.
QString texteTotal(qint64 minutes, bool centiemes, int positions = PositionsTotal);
// The card in four digits.
QString texteCarte(qint16 carte);

} // namespace kip
