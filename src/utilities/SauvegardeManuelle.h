// The manual backup: the card reader paused, the data files copied into SaveManu\SauvegardeEnCours as the daily
// backup copies them into SaveAuto, checked, then put in the place of the former copies as one set
// (RemplacementEnsemble), DAT:DATEMANU set to today, the reader resumed. A backup that fails leaves the
// former set of SaveManu whole.
#pragma once

#include "data/FileError.h"
#include "data/Files.h"
#include "shell/PauseLecteur.h"

#include <QStringList>

namespace kip {

struct [[nodiscard]] ResultatSauvegardeManuelle
{
    QStringList echecs;     // the files that could not be copied
    QString erreurEnsemble; // the copies were made but could not replace the former set: why
    FileError erreurDate;   // DATESAVE could not be read or written
    qint32 dateManu = 0;    // DAT:DATEMANU as read after the backup
    bool reussie() const { return echecs.isEmpty() && erreurEnsemble.isEmpty() && erreurDate.ok(); }
    // The backup text to show after it.
    QString texte() const;
};

// DAT:DATEMANU is set to today only when every copy was made, so that the date never claims a backup that was
// not. attentePauseMs: the wait after the pause request.
ResultatSauvegardeManuelle SauvegarderManuellement(const Paths& p, qint32 aujourdhui,
                                                   int attentePauseMs = PauseLecteur::AttenteMs);

// Where the new set is written before it replaces the former one.
QString RepertoireSauvegardeEnCours(const Paths& p);

// DAT:DATEMANU as stored (0 when DATESAVE holds no record or cannot be read).
qint32 DateSauvegardeManuelle(const Paths& p);

} // namespace kip
