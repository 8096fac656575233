// Registers the employee list and the employee form with the window registry of Kip and kipother.
#pragma once

namespace kip {

void enregistrerFenetresPersonnel();

} // namespace kip
