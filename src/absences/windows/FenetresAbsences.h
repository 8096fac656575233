// Registers the absence window, the types window (Kip only) and the home window's panel of the day with the
// windows of Kip and kipother.
#pragma once

#include "shell/Program.h"

namespace kip {

void enregistrerFenetresAbsences(Program programme);

} // namespace kip
