// The two text files of the data directory: the raw punch lines of Origin00.txt and the four lines of
// KipGuard.txt. Both are Windows-1252 with CR LF line ends.
#pragma once

#include "FileWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kip {

constexpr int OriginLineLength = 24;

// One raw punch line as its fixed columns read; a field whose characters are not all digits is -1, so that
// its range check fails.
struct OriginLine
{
    int carte = -1;    // columns 1-4
    int jour = -1;     // 6-7
    int mois = -1;     // 9-10
    int annee = -1;    // 12-15
    int heure = -1;    // 17-18
    int minute = -1;   // 20-21
    int terminal = -1; // 23-24

    static OriginLine parse(const char* line, qsizetype length);
    static OriginLine parse(const QByteArray& line) { return parse(line.constData(), line.size()); }
};

// Writes a raw punch line as the card-reader program does ("0123 05/11/2004 17:45 03").
QByteArray formatOriginLine(int carte, int jour, int mois, int annee, int heure, int minute, int terminal);

// KipGuard.txt: serial port, sound for a good read, sound for a bad read, reader type.
struct KipGuard
{
    QString port = QStringLiteral("0");
    QString sonCarteLue;
    QString sonMauvaiseCarte;
    QString typeLecteur;

    static KipGuard read(const QString& path);
    // Rewrites the whole file through a temporary file renamed over the old one; a failure leaves the old one.
    FileError write(const QString& path) const;
};

// Lines of up to 255 characters, trailing spaces clipped.
constexpr int KipGuardLineLength = 255;
QStringList readKipGuardLines(const QString& path);

} // namespace kip
