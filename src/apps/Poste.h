// The run of a workstation program (Kip, kipother): start-up, frame, shutdown.
#pragma once

#include "shell/Program.h"

namespace kip {

int lancerPoste(Program program, int argc, char** argv);

} // namespace kip
