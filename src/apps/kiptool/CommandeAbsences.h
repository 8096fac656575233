// kiptool absences: the absences of a period as a CSV file, and the import of such a file (the leave calendar
// an office already keeps), taken whole or refused whole with the line and reason of each bad line.
#pragma once

#include <QStringList>

namespace kip::outil {

int commandeAbsences(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageAbsences;

} // namespace kip::outil
