// The reports of the balances, as the list of reports and the benchmarks make them, without the absence and
// balance headers that their classes (EditionReleve.h, EditionAbsences.h) carry.
#pragma once

#include "Edition.h"

#include <memory>

namespace kip {

std::unique_ptr<Edition> EditionReleve();
std::unique_ptr<Edition> EditionAbsences();

} // namespace kip
