// The made-up staff of a generated installation: employee records with varied rules, and for each the
// working habits from which its punches are drawn.
#pragma once

#include "data/Records.h"
#include "data/RecordsAbsences.h"

#include <cstdint>
#include <vector>

namespace kip::gen {

// How an employee works: not stored anywhere, only used to draw realistic punches.
struct WorkProfile
{
    bool night = false;        // starts in the evening and leaves after midnight
    int entry = 480;           // usual minute of arrival
    int lunchOut = 720;        // usual minute of leaving for lunch
    int lunchIn = 780;         // usual minute of coming back
    int exit = 1020;           // usual minute of leaving (night workers: minutes after the next midnight + 1440)
    int jitter = 8;            // spread of every punch around its usual minute
    int saturdayPerMille = 30; // chance of working on a Saturday
    quint8 terminal = 1;       // usual terminal
};

struct Employee
{
    Personnel record;
    WorkProfile profile;
    std::vector<Horaire> horaires; // planned hours of its own; none for the default pattern
    std::vector<Absence> absences;
    std::vector<Solde> soldes; // its starting balances and credits
};

struct StaffOptions
{
    int employees = 50;
    std::uint64_t seed = 1;
    qint32 today = 0;    // day number
    qint32 firstDay = 0; // first day of the generated punches
    int terminals = 3;   // terminals 1..terminals are in use
};

// Draws the employees, in card order, with unique cards, names and staff numbers. At most 9999.
std::vector<Employee> makeStaff(const StaffOptions& options);

// Cards in 1..9999 that no employee holds, for punches of unknown badges.
std::vector<qint16> unknownCards(const std::vector<Employee>& staff, int count, std::uint64_t seed);

} // namespace kip::gen
