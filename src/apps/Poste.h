// The run of a workstation program (Kip, kipother): start-up, frame, shutdown.
#pragma once

#include "shell/Program.h"

namespace kip {

int lancerPoste(Program program, int argc, char** argv);

// Whether a window system is at hand (a display, or a platform chosen explicitly).
bool affichageDisponible();

} // namespace kip
