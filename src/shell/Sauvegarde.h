// Copies of the data files into a backup directory: record files as consistent snapshots, text files as
// plain copies, in a fixed order. A missing source is skipped; a copy that fails, or a text file that is not a
// regular file, is reported.
#pragma once

#include "data/Files.h"

#include <QStringList>
#include <array>
#include <functional>

namespace kip {

struct [[nodiscard]] ResultatSauvegarde
{
    QStringList echecs; // the names of the files that could not be copied
    bool reussie() const { return echecs.isEmpty(); }
};

// The record files that a backup holds, in the order in which they are copied (KipGuard.txt comes between
// PARAMETRE and PERSONNEL). OnOff.tps and DateSave.tps are not copied.
inline constexpr std::array<FileId, 3> FichiersSauvegardes{FileId::Parametre, FileId::Personnel, FileId::PointVal};

// The absence files, copied after the journal. A restore brings back those that the copy holds (a copy made
// before they existed holds none, and the current ones are then kept).
inline constexpr std::array<FileId, 5> FichiersAbsences{FileId::TypeAbsence, FileId::Absence, FileId::Horaire,
                                                        FileId::ReglagesAbsences, FileId::Solde};

// Every record file a backup copies, in the order of the copy.
inline constexpr std::array<FileId, 9> FichiersCopies{FileId::Parametre, FileId::Personnel,        FileId::PointVal,
                                                      FileId::Journal,   FileId::TypeAbsence,      FileId::Absence,
                                                      FileId::Horaire,   FileId::ReglagesAbsences, FileId::Solde};

// How far a backup is: the bytes copied, the bytes of every file to copy, and the file in hand. Called from
// the thread of the copy.
using ProgressionSauvegarde = std::function<void(qint64 fait, qint64 total, const QString& fichier)>;

// Copies the data files into a backup directory, each replacing a file of the same name: Parametr.tps,
// KipGuard.txt, Personne.tps, PointVal.tps, Journal.tps, the absence files, then Origin00.txt to Origin10.txt. The
// journal is kept with the copy but a restore never brings it back (Restauration.h).
ResultatSauvegarde SauvegarderDans(const Paths& p, const QString& repertoire,
                                   const ProgressionSauvegarde& progression = {});

// The daily copy into SaveAuto.
ResultatSauvegarde SauvegardeAuto(const Paths& p, const ProgressionSauvegarde& progression = {});

// The names of every file a backup may hold, record files and text files.
QStringList NomsFichiersSauvegardes();

// Copies a text file through a temporary file (to.part) renamed over the former copy: a copy that fails, a
// short write included, leaves the former copy as it was, and names the file and the cause.
FileError copierFichierTexte(const QString& from, const QString& to);

} // namespace kip
