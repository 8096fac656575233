// Copies of the data files into a backup directory: record files as consistent snapshots, text files as
// plain copies, in a fixed order. A missing source is skipped; a copy that fails, or a text file that is not a
// regular file, is reported.
#pragma once

#include "data/Files.h"

#include <QStringList>
#include <array>

namespace kip {

struct ResultatSauvegarde
{
    QStringList echecs; // the names of the files that could not be copied
    bool reussie() const { return echecs.isEmpty(); }
};

// The record files that a backup holds, in the order in which they are copied (KipGuard.txt comes between
// PARAMETRE and PERSONNEL). OnOff.tps and DateSave.tps are not copied.
inline constexpr std::array<FileId, 3> FichiersSauvegardes{FileId::Parametre, FileId::Personnel, FileId::PointVal};

// The absence files, copied after the journal. A restore brings back those that the copy holds (a copy made
// before they existed holds none, and the current ones are then kept).
inline constexpr std::array<FileId, 4> FichiersAbsences{FileId::TypeAbsence, FileId::Absence, FileId::Horaire,
                                                        FileId::ReglagesAbsences};

// Copies the data files into a backup directory, each replacing a file of the same name: Parametr.tps,
// KipGuard.txt, Personne.tps, PointVal.tps, Journal.tps, the absence files, then Origin00.txt to Origin10.txt. The
// journal is kept with the copy but a restore never brings it back (Restauration.h).
ResultatSauvegarde SauvegarderDans(const Paths& p, const QString& repertoire);

// The daily copy into SaveAuto.
ResultatSauvegarde SauvegardeAuto(const Paths& p);

// Copies a text file through a temporary file renamed over the former copy: a copy that fails leaves the
// former copy as it was.
bool copierFichierTexte(const QString& from, const QString& to);

} // namespace kip
