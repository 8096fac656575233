// A set of files replaced as a whole: the manual backup (the copies of SaveManu) and the restore (the record
// files of Data) each replace several files, and a program killed halfway must not leave some files new and
// some old.
//
// The new version of every file is first written beside it and checked. A marker file in Data then lists the
// whole set before the first file is touched; each file is renamed aside (name.ancien) and its new version
// renamed into its place; the lines to put ahead of a file are written; the marker is removed last. Every step
// can be taken again from the state it left, so that the next start of any program, holding the one-program
// lock, finishes a set whose new versions are all there, and puts the former files back otherwise.
#pragma once

#include "data/FileError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace kip {

class RemplacementEnsemble
{
public:
    // travail names the job in the messages ("La restauration", "La sauvegarde manuelle"); the marker is
    // dataDir/<fichier>.ensemble. donnees: the set holds data files, which no program may use mixed.
    RemplacementEnsemble(const QString& dataDir, const QString& fichier, const QString& travail, bool donnees);

    // cible takes the content of nouveau, a file written and checked beforehand (a record file with no
    // journal of its own). A journal left by the former cible goes aside with it.
    void remplacer(const QString& cible, const QString& nouveau);
    // cible is not part of the new set: it goes aside, and is deleted with the former files.
    void retirer(const QString& cible);
    // The content of lignes goes ahead of cible, once (the raw punches a restore gives back to the transfer),
    // after every replacement: give it last.
    void placerDevant(const QString& cible, const QString& lignes);
    // An entry of the journal of corrections written once the set is in place, once only.
    void journaliser(const QString& cause, const QString& avant, const QString& apres);

    enum class Issue
    {
        Termine, // the new set is in place
        Annule,  // the former set is in place
        Mixte    // neither could be completed: the marker stays, and the next start tries again
    };
    struct [[nodiscard]] Resultat
    {
        Issue issue = Issue::Mixte;
        QString erreur;       // what failed, in French
        QStringList nouveaux; // the files that hold their new version (Mixte)
        QStringList anciens;  // the files that hold their former version (Mixte)
        QStringList absents;  // the files missing from their place, their former version aside (Mixte)
        QStringList deplaces; // former files kept under their .ancien name (Mixte)
    };

    // Writes the marker, then replaces the set. On a failure the former set is put back.
    Resultat executer();

    // The interrupted sets of an installation finished or undone: one French sentence per set, and whether
    // a set of data files is left mixed (the program must not go on).
    struct [[nodiscard]] Reprise
    {
        QStringList textes;
        bool donneesMelangees = false;
    };
    static Reprise reprendre(const QString& dataDir);
    // Whether an interrupted set of data files waits for the next start.
    static bool donneesEnSuspens(const QString& dataDir);

    // The rename of every step; tests make one fail.
    using Renommage = std::function<int(const QString& de, const QString& vers)>;
    static void setRenommage(Renommage renommage);

private:
    struct Element
    {
        enum Genre
        {
            Remplacer,
            Retirer,
            Devant
        } genre;
        QString cible;
        QString nouveau;   // Remplacer: the new version; Devant: the lines
        bool avait = true; // Remplacer: the file existed when the marker was written
    };
    static bool lire(const QString& marque, RemplacementEnsemble* e);
    FileError ecrireMarque() const;
    FileError avancer(const Element& e) const;
    FileError reculer(const Element& e) const;
    FileError appliquerJournal() const;
    bool nouveauDisponible(const Element& e) const;
    Resultat terminer();
    Resultat annuler(const QString& erreur);
    Resultat etat(const QString& erreur) const;
    QString marque() const;

    QString m_installDir;
    QString m_fichier;
    QString m_travail;
    bool m_donnees = false;
    QList<Element> m_elements;
    QStringList m_journal; // cause, before, after
};

} // namespace kip
