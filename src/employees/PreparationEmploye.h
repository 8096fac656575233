// The day lines of one employee brought up to date after the form stored a new employee or changed its
// employment dates or inactivity periods: from 90 days before today to the employee's last day line (the
// Sunday of the current week when it has none), a line for every active day and the inactivity flag of the
// existing lines set or cleared. Runs on a worker thread with its own connection.
#pragma once

#include "data/Database.h"
#include "data/Records.h"
#include "data/Tache.h"

namespace kip {

constexpr int JoursAvantAujourdhui = 90;

struct PreparationJournees
{
    qint32 premier = 0;
    qint32 dernier = 0;
    FileError erreur;
};

// The days that the preparation covers for an employee.
PreparationJournees periodePreparation(Database& db, const Personnel& employe, qint32 aujourdhui);

// Prepares the employee's day lines in one write transaction over POINTVAL.
PreparationJournees preparerJourneesEmploye(Database& db, const Personnel& employe, qint32 aujourdhui);

// The result is the error's description, empty on success. A window closed while the preparation runs waits
// for it: the lines are written whole or not at all.
class TachePreparation : public TacheDe<QString>
{
public:
    using TacheDe::TacheDe;
    void lancer(const QString& dataDir, const Personnel& employe, qint32 aujourdhui);
};

} // namespace kip
