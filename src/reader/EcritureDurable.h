// Writes that are on disk when they return: what a swipe acknowledged by the good-read sound relies on to
// survive a power cut. Every write opens its file by name, syncs it and closes it, so that nothing is ever
// written into a file that another program renamed away in the meantime.
#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace kip {

// The outcome of a file operation: empty when it succeeded, else what failed (French, with the system's
// reason).
struct [[nodiscard]] Resultat
{
    QString erreur;

    bool ok() const { return erreur.isEmpty(); }
    static Resultat reussi() { return {}; }
    static Resultat echec(const QString& texte) { return {texte}; }
};

// Appends to a file (created when missing): open, write, sync, close.
Resultat ajouterDurablement(const QString& chemin, const QByteArray& octets);
// Writes a new file whole and syncs it; an existing file of that name is replaced in place. The file gets the
// permission bits given, or the usual ones (0666 less the umask) when mode is 0.
Resultat ecrireDurablement(const QString& chemin, const QByteArray& octets, mode_t mode = 0);
// Renames a file and syncs the directory, so that the new name outlives a power cut.
Resultat renommerDurablement(const QString& de, const QString& vers);
// Removes a file (a missing one is no failure) and syncs the directory.
Resultat supprimerDurablement(const QString& chemin);
// Cuts a file to a length and syncs it.
Resultat couperDurablement(const QString& chemin, qint64 taille);

// Reads a whole file; a missing file reads empty. False on any other failure.
bool lireFichier(const QString& chemin, QByteArray* contenu, QString* erreur = nullptr);
bool fichierExiste(const QString& chemin);
// The permission bits of a file, or 0 when it does not exist.
mode_t modeFichier(const QString& chemin);

} // namespace kip
