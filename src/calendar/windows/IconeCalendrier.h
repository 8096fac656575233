// The icon of the buttons that open a picker: a leaf of a wall calendar, drawn at 32 by 32 so that it scales
// cleanly. The report selection, the utilities, the punch list and the correction grid show it.
#pragma once

#include <QIcon>

namespace kip {

QIcon iconeCalendrier();

} // namespace kip
