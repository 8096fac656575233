// Planned hours: the pattern of planned minutes of each weekday that applies to a card on a date (the record
// whose DEBUT is the latest not after the date; the default pattern of the settings when the card has none),
// the planned minutes of a day for an employee (none outside its employment or in a period of inactivity),
// and the one record of the absence settings, with their defaults.
#pragma once

#include "data/Database.h"
#include "data/RecordsAbsences.h"
#include "data/Result.h"

#include <QHash>
#include <vector>

namespace kip {

inline constexpr qint16 MinutesJourOuvreParDefaut = 7 * 60;
inline constexpr qint16 MargeAttenduParDefaut = 15;

// The settings that a fresh installation has: 7.00 from Monday to Friday, a margin of 15 minutes, paid leave
// in jours ouvrables, no Alsace-Moselle holidays.
ReglagesAbsences ReglagesParDefaut();
// The week's total of a pattern, in minutes.
qint32 TotalMotif(const MinutesSemaine& minutes);
// The index of a date's weekday in a pattern: 0 for Monday to 6 for Sunday.
int IndexJour(qint32 date);

// The planned hours of every card, each card's records by DEBUT.
class HorairesPrevus
{
public:
    HorairesPrevus() = default;
    HorairesPrevus(std::vector<Horaire> horaires, const MinutesSemaine& defaut);

    // The pattern in force for the card on the date.
    const MinutesSemaine& motif(qint16 carte, qint32 date) const;
    // The record in force for the card on the date, nullptr when the default applies.
    const Horaire* horaire(qint16 carte, qint32 date) const;
    // Planned minutes of the employee on the date: 0 before its hiring, after its leaving and in a period of
    // inactivity, else the pattern's minutes of the weekday. A public holiday keeps them: it is an absence of
    // its own (JF) whose type says whether they are credited.
    qint32 minutes(const Personnel& employe, qint32 date) const;
    const std::vector<Horaire>& deLaCarte(qint16 carte) const;

private:
    QHash<qint16, std::vector<Horaire>> m_parCarte;
    MinutesSemaine m_defaut{};
};

// Whether the employee works for the business on the date: hired, not gone, not inactive.
bool EnActivite(const Personnel& employe, qint32 date);

Result<ReglagesAbsences> LireReglages(Database& db);
// Writes the settings (the record is made when the file has none), journalled.
FileError EnregistrerReglages(Database& db, const ReglagesAbsences& reglages);

// Every card's planned hours, with the default pattern of the settings.
Result<HorairesPrevus> LireHoraires(Database& db);
// One card's records, by DEBUT.
Result<std::vector<Horaire>> LireHorairesCarte(Database& db, qint16 carte);

// Why a pattern cannot be stored (a day above 24.00 or below 0), empty when it can.
QString ErreurMotif(const MinutesSemaine& minutes);

// Sets the employee's pattern from horaire.DEBUT on: the record of that date is replaced, the pattern before
// it is kept for the past. Journalled as a change of the employee. Nothing is written when the pattern in
// force on that date is the same already, unless the card has no pattern of its own and `propre` asks for one
// (a new employee keeps the default of its hiring even when the default changes later).
FileError EnregistrerHoraire(Database& db, const Personnel& employe, Horaire horaire, bool propre = false);

} // namespace kip
