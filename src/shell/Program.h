// The three programs that share one installation, and what sets them apart.
#pragma once

#include <QString>
#include <QtGlobal>

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

// Whether a window system is at hand: a display, or a platform chosen explicitly. Without one, Kip and
// kipother refuse to start and kipempty runs headless.
inline bool affichageDisponible()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The frame's title in every program.
inline QString frameTitle()
{
    return QStringLiteral("Kip (Version 1.11)");
}

} // namespace kip
