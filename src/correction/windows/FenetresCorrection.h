// Registers the punch list and the correction grid with the window registry of Kip and kipother.
#pragma once

namespace kip {

void enregistrerFenetresCorrection();

} // namespace kip
