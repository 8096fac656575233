// The small icons of the report windows, drawn here: the printer, the way out, the magnifier of the
// preview's toolbar and the calendar of the period buttons.
#pragma once

#include <QIcon>

namespace kip {

QIcon iconeImprimante();
QIcon iconeSortie();
QIcon iconeLoupe();
QIcon iconeCalendrier();

} // namespace kip
