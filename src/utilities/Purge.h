// The purge of old weeks: the last week that may be purged (the one that holds the day 100 days before
// today, so that at least about three months of history stay), the week the user picks, and the deletion of
// every day line up to the Sunday of that week.
#pragma once

#include "calendar/Dates.h"
#include "data/FileError.h"

#include <QString>
#include <functional>

namespace kip {

inline constexpr int JoursGardesAuMoins = 100;

// A week to purge up to, with its Sunday (the purge end date).
struct FinPurge
{
    Semaine semaine;
    qint32 dimanche = 0;
    friend bool operator==(const FinPurge&, const FinPurge&) = default;
};

// The purge limit: the week that holds today - 100 days, and its Sunday.
FinPurge LimitePurge(qint32 aujourdhui);

// The week picked in the calendar, or the limit when the picked week ends later than it.
FinPurge FinPurgeChoisie(Semaine choisie, const FinPurge& limite);

// "Sem.: 07/2004".
QString TexteSemainePurge(Semaine semaine);

struct [[nodiscard]] ResultatPurge
{
    enum class Etat
    {
        Faite,
        Refusee, // POINTVAL is open elsewhere: another window or program, or another station on the server
        Echec    // nothing was deleted; erreur says why
    };
    Etat etat = Etat::Echec;
    qint64 supprimees = 0;
    qint64 gardees = 0;
    qint64 octetsAvant = 0; // size of PointVal.tps before and after
    qint64 octetsApres = 0;
    FileError erreur;
};

using ProgressionPurge = std::function<void(int fait, int total)>;

// Deletes every day line dated on or before the end date, with POINTVAL held alone for the whole work.
//
// The kept lines are copied into a new file of the same layout, whose keys are built once from them; the new
// file then replaces PointVal.tps by a rename. The file is therefore never half purged: a purge that fails or
// is killed midway leaves it as it was. Only POINTVAL changes: employees keep their first and last punch dates.
// Before it, each employee's working-time account at the end date is carried as its starting balance on the
// day after (Solde.tps, journalled), so that no balance changes.
ResultatPurge Purger(const QString& dataDir, qint32 finPurge, const ProgressionPurge& progression = {});

} // namespace kip
