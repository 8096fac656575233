// kiptool soldes: an employee's balances on a date, and the starting balances and credits set by hand
// (journalled like every change of the balances).
#pragma once

#include <QStringList>

namespace kip::outil {

int commandeSoldes(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageSoldes;

} // namespace kip::outil
