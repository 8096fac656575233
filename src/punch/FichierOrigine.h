// The raw punch file Origin00.txt as the transfer reads it: opened like the record files (created empty when
// missing; anything that is not a readable regular file is an error, never a wait on a FIFO or a device), then
// read line by line. CR LF, LF and a lone CR each end a line, and a line is everything up to its line end,
// however long. A last line without its line end is still being written by the card reader: it is left for
// the next reading, neither returned nor counted nor taken into the bytes read.
#pragma once

#include "data/FileError.h"
#include "data/TextFiles.h"

#include <QByteArray>
#include <QString>

namespace kip {

// Opens the raw file for reading the way the common open treats a record file: created empty when missing;
// an error (and nothing created or changed) when it is not a regular file or cannot be read.
FileError ouvrirOrigine(const QString& path);

// One line of the raw file: its first bytes (enough to tell whether it is a punch line) and its length.
struct LigneBrute
{
    static constexpr int Gardes = OriginLineLength + 1;
    char debut[Gardes] = {};
    qint64 longueur = 0; // the whole line without its line end
    // The 24 characters of a punch line, or nothing when the line has another length.
    bool aLaLongueur() const { return longueur == OriginLineLength; }
};

class LecteurOrigine
{
public:
    LecteurOrigine() = default;
    ~LecteurOrigine();
    LecteurOrigine(const LecteurOrigine&) = delete;
    LecteurOrigine& operator=(const LecteurOrigine&) = delete;

    // Opens an existing regular file without blocking; NotFound when missing, an error when it is something
    // else than a readable regular file.
    FileError ouvrir(const QString& path);
    // The next complete line that is not empty; false at the end (or on a read error, see erreur()).
    bool suivante(LigneBrute& ligne);
    // The bytes up to the end of the last line returned, line end included (and the empty lines after it).
    qint64 octetsLus() const { return m_octetsLus; }
    const FileError& erreur() const { return m_erreur; }

private:
    bool remplir();                 // reads more bytes; false at the end of the file or on error
    int lireOctet();                // the next byte, or -1 at the end
    void rendreOctet() { --m_pos; } // gives back the byte just read (always within the buffer)

    int m_fd = -1;
    QString m_chemin; // the file open, named by a read error
    QByteArray m_tampon;
    qsizetype m_pos = 0;
    qsizetype m_fin = 0;
    qint64 m_consommes = 0; // bytes taken from the file before the buffer's start
    qint64 m_octetsLus = 0;
    FileError m_erreur;
};

// The complete, non-empty lines of the raw file (0 when it is missing or cannot be read).
int compterLignesOrigine(const QString& path);

} // namespace kip
