// The raw punches transferred since a backup was made: they lie in the archive generations of Origin00.txt
// that the transfer made after the copy. A restore puts them back ahead of Origin00.txt, so that the next
// transfer reads them again (it stores no punch twice).
#pragma once

#include <QByteArray>
#include <QString>

namespace kip {

struct PointagesDepuisSauvegarde
{
    int generations = 0; // Origin01.txt to OriginNN.txt were archived since the copy
    QByteArray lignes;   // their lines, oldest first
};

// Compares the data directory's generations with those of the backup directory: generation 01 of the backup
// is, after k transfers, generation 01 + k of the data directory; the generations before it are newer than
// the copy. When the backup's generation 01 is no longer found, every generation is newer.
PointagesDepuisSauvegarde PointagesArchivesDepuis(const QString& dataDir, const QString& repertoireSauvegarde);

// Puts the lines ahead of Origin00.txt through a temporary file renamed over it; false when it could not be
// written (Origin00.txt is then as it was). The card reader must be paused.
bool ReprendrePointages(const QString& dataDir, const QByteArray& lignes);

// The number of lines of a raw punch text.
qint64 NombreLignes(const QByteArray& texte);

} // namespace kip
