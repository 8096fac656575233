// The restore of the data files from the copy of SaveAuto or of SaveManu, for an installation whose files are
// damaged: what a copy holds, and its restore.
//
// The restore needs the files alone: the one-program lock (taken here when the calling program does not
// hold it already) and no open count of this program on them. It first copies the current files into
// SaveManu\AvantRestauration, then replaces each record file of the copy (Parametr.tps, Personne.tps,
// PointVal.tps) from its snapshot, checks every restored file and rebuilds the keys. The raw punch files are
// not replaced: the punches that the transfer archived since the copy was made go back ahead of Origin00.txt,
// so that the next start transfers them again; the transfer stores no punch twice.
//
// The journal of corrections is not replaced: it is the record of what was changed, and an older copy would
// lose the entries made since. The restore appends its own entry to it instead. The absence files (types,
// absences, planned hours, their settings) are replaced when the copy holds them, like the data files; a copy
// made before they existed leaves the current ones in place.
#pragma once

#include "data/Files.h"
#include "shell/PauseLecteur.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace kip {

enum class SourceRestauration
{
    SaveAuto,
    SaveManu
};

QString NomSource(SourceRestauration source); // "SaveAuto", "SaveManu"
// Reads "SaveAuto" or "SaveManu" (any case); false for anything else.
bool SourceDeNom(const QString& nom, SourceRestauration* source);
QString RepertoireSource(const Paths& p, SourceRestauration source);
// SaveManu\AvantRestauration.
QString RepertoireAvantRestauration(const Paths& p);

struct DescriptionSauvegarde
{
    bool utilisable = false; // every record file is there and is a record file of its layout
    QDateTime date;          // when the copy was made: the newest of its record files
    qint64 employes = 0;
    qint64 journees = 0;
    qint32 dernierPointage = 0; // the latest PER:DERNIER_POINTAGE, 0 when none
    QString probleme;           // why it cannot be restored
    // What the operator reads before confirming, in French.
    QString texte(SourceRestauration source) const;
};

DescriptionSauvegarde DecrireSauvegarde(const Paths& p, SourceRestauration source);

struct ResultatRestauration
{
    enum class Etat
    {
        Faite,
        Refusee, // the files are in use, or the copy cannot be restored: nothing was changed
        Echec    // something failed on the way; the files are as they were before the restore
    };
    Etat etat = Etat::Echec;
    QString texte;              // what happened, in French
    qint64 pointagesRepris = 0; // raw punches put back ahead of Origin00.txt
    int positionSommaire = 0;   // PAR:POSITIONSOMMAIRE of the restored settings
    bool faite() const { return etat == Etat::Faite; }
};

// etape of total, with what is being done.
using SuiviRestauration = std::function<void(int etape, int total, const QString& texte)>;

ResultatRestauration Restaurer(const Paths& p, SourceRestauration source, const SuiviRestauration& suivi = {},
                               int attentePauseMs = PauseLecteur::AttenteMs);

} // namespace kip
