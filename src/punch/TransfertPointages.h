// The origin transfer as a job without windows: reads the raw punch file, stores every valid punch in the
// employee's day lines by the punch rules, lists the rejected ones, and commits once. Archiving the raw file
// is a separate step, taken only after the commit.
//
// Sound behaviour beyond the letter of the rules:
// - the valid punches of a reading are applied in chronological order (date, then minute, file order for
//   equal instants), since terminals' lines can reach the file in batches; the rejections follow that order;
// - a punch is a duplicate, before the day assignment, when the raw line of its own date already holds its
//   minute or the raw line of the day before holds it plus 1440: a punch read again never lands twice.
#pragma once

#include "data/Database.h"

#include <QStringList>
#include <functional>

namespace kip {

struct [[nodiscard]] ResultatTransfert
{
    // Every line read is counted once: lignes = ignorees + rejets + doublons + stockes + ecartes.
    int lignes = 0;          // complete lines of the raw file that are not empty
    int ignorees = 0;        // lines that hold no valid punch (layout, card, date, time, terminal): skipped
    int stockes = 0;         // punches now on their day lines
    int doublons = 0;        // punches already stored
    int ecartes = 0;         // punches left out by the merge (3 minutes from another, or beyond the 14th)
    QStringList rejets;      // "Numéro inconnu: ...", in chronological order
    qint64 octetsLus = 0;    // bytes of the raw file taken by this reading: its complete lines
    FileError erreurOrigine; // the raw file could not be opened or read: nothing was read nor stored
    FileError erreur;        // the day lines could not be committed: nothing was stored
    bool reussi() const { return erreur.ok() && erreurOrigine.ok(); }
};

struct ProgressionTransfert
{
    std::function<void(int fait, int total)> lignes;                // punches handled out of the lines read
    std::function<void(qint16 carte, const QString& nom)> personne; // the employee in hand
    std::function<void(const QString& texte)> attente;              // for whom it waits, on the server
};

// Reads and applies the complete lines of the raw file at originPath (which must exist: see ouvrirOrigine).
// Years are checked around aujourdhui.
ResultatTransfert TransfererPointages(Database& db, const QString& originPath, qint32 aujourdhui,
                                      const ProgressionTransfert& progression = {});

// The archive after a reading: Origin00.txt becomes Origin01.txt, each older generation moves up one place
// and the former Origin10.txt is lost; a new empty Origin00.txt is created. Whatever follows the lines read
// (beyond octetsLus: a line still being written, lines appended meanwhile) is not archived but kept as the
// new Origin00.txt. A kill at any point leaves every raw line in at least one of Origin00.txt to Origin10.txt.
FileError ArchiverOrigine(const QString& dataDir, qint64 octetsLus);

} // namespace kip

namespace kip {

// Whether a reading is archived without asking: it read lines, its day lines are committed and nothing was
// rejected. Otherwise the raw file stays (or, in Kip, the user chooses).
inline bool archivageAutomatique(const ResultatTransfert& r)
{
    return r.lignes > 0 && r.reussi() && r.rejets.isEmpty();
}

// The unattended transfer: opens the raw file as the common open does (created empty when missing), reads and
// applies it; archives it when no punch was rejected and keeps it unchanged otherwise. A raw file without a
// complete line is not archived.
struct [[nodiscard]] ResultatSansSurveillance
{
    ResultatTransfert lecture;
    bool archive = false;    // archived; false also when the raw file is kept on purpose
    FileError erreurArchive; // why the archive failed (its text names the file)
};
ResultatSansSurveillance TransfertSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui,
                                                   const ProgressionTransfert& progression = {});

} // namespace kip
