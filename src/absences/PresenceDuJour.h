// Who is here now, for the home window: every employee at work today is present (an odd number of punches
// today), gone home (an even number, at least two), absent (an absence today, or a public holiday, and no
// punch), expected (planned today, no punch, no absence, and now later than the usual first punch by more than
// the settings' margin) or not yet due.
//
// The usual first punch is the median of the employee's first punches over the last four weeks; an employee
// without any is expected from the staff's median on (from midnight when nobody punched in those weeks).
#pragma once

#include "data/Database.h"
#include "data/Records.h"
#include "data/Result.h"

#include <vector>

namespace kip {

inline constexpr int JoursHistoriquePresence = 28;

struct PresenceEmploye
{
    qint16 carte = 0;
    QString nom;    // "MARTIN Léa"
    QString detail; // "depuis 8.02", "parti à 17.31", "CP", "attendu à 8.00"
    QString court;  // the same in short: "8.02", "17.31", "CP", "8.00"
};

struct Presences
{
    std::vector<PresenceEmploye> presents, partis, absents, attendus;
    int aVenir = 0; // planned today, not yet due
};

// The day lines of today and of the weeks before it, the absences of today and the planned hours, read at
// minute `maintenant` of day `aujourdhui`.
Result<Presences> LirePresences(Database& db, qint32 aujourdhui, qint32 maintenant);

// The first punch of a user line (slots 1 to 14), or -1 when it holds none.
qint32 PremierPointage(const PunchLine& utilisateur);
// The number of punches of a user line.
int NombrePointages(const PunchLine& utilisateur);

} // namespace kip
