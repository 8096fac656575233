// The restore of the data files from a copy (SaveAuto, SaveManu, or the files as they were before an earlier
// restore), for an installation whose files are damaged.
//
// The restore needs the files alone: the one-program lock (taken here when the calling program does not
// hold it already) and no open count of this program on them. It first copies the current files into a dated
// directory of SaveManu\AvantRestauration (the last five are kept), then prepares each record file of the copy
// (Parametr.tps, Personne.tps, PointVal.tps) beside the data file it replaces, keys rebuilt and checked, and
// replaces the three as one set (RemplacementEnsemble): a restore killed at any point is finished or undone
// by the next start. The raw punch files are not replaced: the punches that the transfer archived since the
// copy was made go back ahead of Origin00.txt, with the set, so that the next start transfers them again; the
// transfer stores no punch twice.
//
// The journal of corrections is not replaced: it is the record of what was changed, and an older copy would
// lose the entries made since. The restore appends its own entry to it instead. The absence files (types,
// absences, planned hours, their settings) are replaced when the copy holds them, like the data files; a copy
// made before they existed leaves the current ones in place.
#pragma once

#include "CopiesRestauration.h"
#include "shell/PauseLecteur.h"

#include <QString>
#include <functional>

namespace kip {

struct [[nodiscard]] ResultatRestauration
{
    enum class Etat
    {
        Faite,
        Refusee, // the files are in use, or the copy cannot be restored: nothing was changed
        Echec    // something failed on the way; the text says which files are as they were
    };
    Etat etat = Etat::Echec;
    QString texte;              // what happened, in French
    qint64 pointagesRepris = 0; // raw punches put back ahead of Origin00.txt
    int positionSommaire = 0;   // PAR:POSITIONSOMMAIRE of the restored settings
    QString copieAvant;         // the directory that holds the files as they were before the restore
    QString reprise;            // a job that a killed program left halfway, settled first: one line each
    bool faite() const { return etat == Etat::Faite; }
    // reprise, then texte.
    QString texteComplet() const;
};

// etape of total, with what is being done.
using SuiviRestauration = std::function<void(int etape, int total, const QString& texte)>;

ResultatRestauration Restaurer(const Paths& p, const CopieRestaurable& copie, const SuiviRestauration& suivi = {},
                               int attentePauseMs = PauseLecteur::AttenteMs);
ResultatRestauration Restaurer(const Paths& p, SourceRestauration source, const SuiviRestauration& suivi = {},
                               int attentePauseMs = PauseLecteur::AttenteMs);

} // namespace kip
