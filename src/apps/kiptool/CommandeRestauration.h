// kiptool restore: the data files brought back from the copy of SaveAuto or of SaveManu, for a machine whose
// workstation no longer starts.
#pragma once

#include <QStringList>

namespace kip::outil {

// Runs `kiptool restore --from SaveAuto|SaveManu [--dir PATH]` from the directory `repertoireCourant`:
// 0 restored, 1 refused or failed (the files are as they were), 2 bad arguments or no installation.
int commandeRestauration(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageRestauration;

} // namespace kip::outil
