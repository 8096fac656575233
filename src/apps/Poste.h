// The run of a workstation program (Kip, kipother): start-up, frame, shutdown.
#pragma once

#include "shell/Program.h"

#include <functional>

namespace kip {

// fenetresDuProgramme registers the windows that only this program has (Kip: the settings form and the
// utilities), so that the other programs link none of them.
int lancerPoste(Program program, int argc, char** argv, const std::function<void()>& fenetresDuProgramme = {});

} // namespace kip
