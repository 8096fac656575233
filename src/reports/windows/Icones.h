// The small icons of the report windows, drawn here: the printer, the way out and the magnifier of the
// preview's toolbar; the calendar of the period buttons is the pickers' own.
#pragma once

#include "calendar/windows/IconeCalendrier.h"

#include <QIcon>

namespace kip {

QIcon iconeImprimante();
QIcon iconeSortie();
QIcon iconeLoupe();

} // namespace kip
