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

struct ResultatTransfert
{
    int lignes = 0;       // lines of the raw file
    int ignorees = 0;     // lines out of range, skipped without a message
    int stockes = 0;      // punches written into day lines
    int doublons = 0;     // punches already stored
    QStringList rejets;   // "Numéro inconnu: ...", in chronological order
    qint64 octetsLus = 0; // bytes of the raw file taken by this reading
    bool fichierAbsent = false;
    FileError erreur; // set when the day lines could not be committed: nothing was stored
    bool reussi() const { return erreur.ok(); }
};

struct ProgressionTransfert
{
    std::function<void(int fait, int total)> lignes;                // punches handled out of the lines read
    std::function<void(qint16 carte, const QString& nom)> personne; // the employee in hand
};

// Reads and applies the raw file at originPath. Years are checked around aujourdhui.
ResultatTransfert TransfererPointages(Database& db, const QString& originPath, qint32 aujourdhui,
                                      const ProgressionTransfert& progression = {});

// The archive after a reading: Origin00.txt becomes Origin01.txt, each older generation moves up one place
// and the former Origin10.txt is lost; a new empty Origin00.txt is created. Whatever was appended to the raw
// file after the reading (beyond octetsLus) is not archived but kept as the new Origin00.txt.
bool ArchiverOrigine(const QString& dataDir, qint64 octetsLus, QString* erreur = nullptr);

} // namespace kip

namespace kip {

// Whether a reading is archived without asking: it read lines, its day lines are committed and nothing was
// rejected. Otherwise the raw file stays (or, in Kip, the user chooses).
inline bool archivageAutomatique(const ResultatTransfert& r)
{
    return r.lignes > 0 && r.reussi() && r.rejets.isEmpty();
}

// The unattended transfer: reads and applies the raw file; archives it when no punch was rejected and keeps
// it unchanged otherwise; an empty or missing raw file is neither archived nor created.
struct ResultatSansSurveillance
{
    ResultatTransfert lecture;
    bool archive = false;
    QString erreurArchive;
};
ResultatSansSurveillance TransfertSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui,
                                                   const ProgressionTransfert& progression = {});

} // namespace kip
