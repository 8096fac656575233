// Writes that are on disk when they return: what a swipe acknowledged by the good-read sound relies on to
// survive a power cut. Every write opens its file by name, syncs it and closes it, so that nothing is ever
// written into a file that another program renamed away in the meantime. The bytes go through the project's
// one checked writer (data/FileWriter.h).
#pragma once

#include "data/Result.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace kip {

// Appends to a file (created when missing): open, write, sync, close. A failed append cuts the file back to
// the size it had, so that no fragment of a line stays for the next append to be glued to; should even that
// fail, the next append starts on a line of its own.
FileError ajouterDurablement(const QString& chemin, const QByteArray& octets);
// Writes a new file whole and syncs it; an existing file of that name is replaced in place. The file gets the
// permission bits given, or the usual ones (0666 less the umask) when mode is 0.
FileError ecrireDurablement(const QString& chemin, const QByteArray& octets, mode_t mode = 0);
// Renames a file and syncs the directory, so that the new name outlives a power cut.
FileError renommerDurablement(const QString& de, const QString& vers);
// Removes a file (a missing one is no failure) and syncs the directory.
FileError supprimerDurablement(const QString& chemin);
// Cuts a file to a length and syncs it.
FileError couperDurablement(const QString& chemin, qint64 taille);

// Reads a whole file; a missing file reads empty.
Result<QByteArray> lireFichier(const QString& chemin);
bool fichierExiste(const QString& chemin);
// The permission bits of a file, or 0 when it does not exist.
mode_t modeFichier(const QString& chemin);
// What the reader's log says of a failure: the file's name and the cause.
QString texteEchec(const FileError& erreur);

} // namespace kip
