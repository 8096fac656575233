// What a killed job leaves, settled at the next start once the one-program lock is held (so that no job of
// another program is running): the sets half replaced are finished or undone, then the job's own work files
// are removed (a purge's new file, a copy being written, a restore's prepared files).
#pragma once

#include "data/Files.h"

#include <QStringList>

namespace kip {

struct [[nodiscard]] ResultatTravauxInterrompus
{
    QStringList textes;            // one French sentence per interrupted set
    bool donneesMelangees = false; // a set of data files is still half replaced: the program must not go on
    QStringList supprimes;         // the leftovers removed
};

// Runs with the one-program lock held. The card reader is paused while a restore's raw punches are put back.
ResultatTravauxInterrompus ReprendreTravauxInterrompus(const Paths& p);

// The start-up's share: the sentences shown through message 40 (standard error without a window), and a stop
// when the data files are left mixed.
void SignalerTravauxInterrompus(const Paths& p);

} // namespace kip
