// The card reader's configuration as the settings form edits it: the four lines of KipGuard.txt (serial
// port, sound for a card read, sound for a bad card or a bad read, reader make), the sound lists made from
// the .wav files of the Son directory, and the port test message.
#pragma once

#include "data/FileError.h"

#include <QString>
#include <QStringList>

namespace kip {

inline constexpr int PortLecteurMax = 8; // ports 1 to 8; 0 when none was chosen

inline QString MarqueMagtek()
{
    return QStringLiteral("Magtek");
}
inline QString MarqueOmron()
{
    return QStringLiteral("Omron");
}

struct ConfigurationLecteur
{
    int port = 0;
    QString sonCarteLue;      // line 2
    QString sonMauvaiseCarte; // line 3
    QString marque = MarqueMagtek();

    // Reads the lines in order; reading stops at the first missing line and the remaining values keep their
    // defaults (port 0, blank sounds, Magtek). A port that is not a number from 1 to 8 is no port.
    static ConfigurationLecteur lire(const QString& cheminKipGuard);
    // Rewrites the four lines whole, through a temporary file renamed over the old one, so that a crash while
    // saving never leaves the reader without its settings. False when the file could not be written.
    FileError ecrire(const QString& cheminKipGuard) const;

    friend bool operator==(const ConfigurationLecteur&, const ConfigurationLecteur&) = default;
};

// The names of the .wav files of the Son directory (any case of the extension), sorted by name; empty when
// the directory holds none or cannot be read.
QStringList ListeSons(const QString& repertoireSons);

// The row to select for a saved sound: its own row when the list holds it, else row 0 (the first); -1 for an
// empty list.
int RangSon(const QStringList& sons, const QString& nomEnregistre);

// The message that asks the reader to test port n (1025 + n), or 0 when no port was chosen.
int MessageTestPort(int port);

} // namespace kip
