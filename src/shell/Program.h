// The three programs that share one installation, and what sets them apart.
#pragma once

#include <QString>

namespace kip {

enum class Program
{
    Kip,
    KipOther,
    KipEmpty
};

struct ProgramTraits
{
    bool confirmsExit;      // asks "Confirmez la sortie !"
    bool talksToCardReader; // pause, resume and port test messages
    bool runsTransfer;      // the origin transfer after the day initialisation
    bool hasSettings;       // settings form and utilities in the bar
    bool endsAfterTransfer; // ends by itself once the transfer is done
    bool silentWhenInUse;   // ends without a message when another program holds the data
};

inline ProgramTraits traitsOf(Program p)
{
    switch (p) {
    case Program::Kip:
        return {true, true, true, true, false, false};
    case Program::KipOther:
        return {true, false, false, false, false, false};
    case Program::KipEmpty:
        return {false, true, true, false, true, true};
    }
    return {};
}

inline QString programName(Program p)
{
    switch (p) {
    case Program::Kip:
        return QStringLiteral("Kip");
    case Program::KipOther:
        return QStringLiteral("kipother");
    case Program::KipEmpty:
        return QStringLiteral("kipempty");
    }
    return {};
}

// The frame's title in every program.
inline QString frameTitle()
{
    return QStringLiteral("Kip (Version 1.11)");
}

} // namespace kip
