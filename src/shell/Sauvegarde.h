// Copies of the data files into a backup directory: record files as consistent snapshots, text files as
// plain copies, in a fixed order. A missing source is skipped; a copy that fails is reported.
#pragma once

#include "data/Files.h"

#include <QStringList>

namespace kip {

struct ResultatSauvegarde
{
    QStringList echecs; // the names of the files that could not be copied
    bool reussie() const { return echecs.isEmpty(); }
};

// The daily copy into SaveAuto: Parametr.tps, KipGuard.txt, Personne.tps, PointVal.tps, then Origin00.txt
// to Origin10.txt. OnOff.tps and DateSave.tps are not copied.
ResultatSauvegarde SauvegardeAuto(const Paths& p);

// Copies a text file through a temporary file renamed over the former copy: a copy that fails leaves the
// former copy as it was.
bool copierFichierTexte(const QString& from, const QString& to);

} // namespace kip
