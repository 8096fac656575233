// The copies a restore can bring back: SaveAuto, SaveManu, and the files as they were before each of the last
// restores (SaveManu\AvantRestauration\<date>), so that a restore can itself be undone like any other; what a
// copy holds, for the operator to read before confirming.
#pragma once

#include "data/Files.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace kip {

enum class SourceRestauration
{
    SaveAuto,
    SaveManu
};

// The name of a dated copy made before a restore: the moment of that restore.
inline const QString FormatDateCopieAvant = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
// The record file of a copy's directory.
QString fichierDeCopie(const QString& dir, FileId id);

// The copies of the files before a restore that are kept; an older one goes when a restore makes a new one.
inline constexpr int CopiesAvantRestaurationGardees = 5;

struct CopieRestaurable
{
    QString nom;        // "SaveAuto", "SaveManu", "AvantRestauration/2026-07-12_10-30-05"
    QString repertoire; // its directory
    QDateTime avant;    // the moment of the restore it was made for (a copy of AvantRestauration only)
    // "SaveManu\AvantRestauration\2026-07-12_10-30-05", as the texts show it after \Kip\.
    QString chemin() const;
    // What the operator reads in a list: "Copie de SaveAuto", "Avant la restauration du 12/07/2026 à 10:30:05".
    QString libelle() const;
};

QString NomSource(SourceRestauration source); // "SaveAuto", "SaveManu"
// Reads "SaveAuto" or "SaveManu" (any case); false for anything else.
bool SourceDeNom(const QString& nom, SourceRestauration* source);
QString RepertoireSource(const Paths& p, SourceRestauration source);
// SaveManu\AvantRestauration: one dated directory per restore.
QString RepertoireAvantRestauration(const Paths& p);

CopieRestaurable CopieDe(const Paths& p, SourceRestauration source);
// SaveAuto, SaveManu, then the copies made before a restore, newest first.
QList<CopieRestaurable> CopiesRestaurables(const Paths& p);
// A copy by the name that CopiesRestaurables gives it (SaveAuto and SaveManu in any case); false when none.
bool CopieDeNom(const Paths& p, const QString& nom, CopieRestaurable* copie);

struct DescriptionSauvegarde
{
    bool utilisable = false; // every record file is there and is a record file of its layout
    QDateTime date;          // when the copy was made: the newest of its record files
    qint64 employes = 0;
    qint64 journees = 0;
    qint32 dernierPointage = 0; // the latest PER:DERNIER_POINTAGE, 0 when none
    QString probleme;           // why it cannot be restored
    // What the operator reads before confirming, in French.
    QString texte(const CopieRestaurable& copie) const;
    QString texte(SourceRestauration source) const;
};

DescriptionSauvegarde DecrireSauvegarde(const Paths& p, const CopieRestaurable& copie);
DescriptionSauvegarde DecrireSauvegarde(const Paths& p, SourceRestauration source);

// French thousands as the texts show them ("164 542").
QString NombreTexte(qint64 n);

} // namespace kip
