// The absences as a CSV file that an office's spreadsheet writes and reads: semicolons, dates DD/MM/YYYY,
// the types' codes, one line per absence:
//
//   Carte;Matricule;Nom;Prénom;Date;Code;Partie;Heures;Commentaire
//   12;M042;MARTIN;Léa;03/08/2026;CP;journée;;
//   12;M042;MARTIN;Léa;04/08/2026;REC;heures;2:30;dentiste
//
// The import takes a file whole or not at all: every bad line is named with its reason and nothing is written.
// The employee is found by its card, else by its matricule (names are for the reader). A blank part is a whole
// day; hours are written 2:30 (hours and minutes) or 2,50 (hours and hundredths). Each line sets its absence
// over what the same card held on the same part of that date; the rest of the date is kept.
#pragma once

#include "FichierAbsences.h"

#include <QByteArray>
#include <QStringList>

namespace kip {

// The header and one row of fields per absence, in the order given; employes names the cards.
std::vector<QStringList> LignesCsvAbsences(const std::vector<Absence>& absences, const IdentiteCartes& employes);

// The records of a CSV text: each a line number (1 for the first line of the file) and its fields. A quoted
// field may hold semicolons, quotes doubled and line breaks; a byte-order mark is skipped.
struct LigneCsv
{
    int numero = 0;
    QStringList champs;
};
std::vector<LigneCsv> DecouperCsv(const QByteArray& contenu);

// A duration of the file: "2:30" or "2,50" (or "2.50"); nothing when it is neither.
std::optional<qint32> MinutesCsv(const QString& texte);

struct AnalyseCsv
{
    std::vector<JourAbsences> jours; // the days as they will be, existing absences kept where not replaced
    int absences = 0;                // lines read that hold an absence
    QStringList erreurs;             // "ligne 4: le type XYZ n'existe pas."
};

// Reads the file against the employees, the types and the absences already stored on the dates it names
// (existantes, any order). Nothing is written.
AnalyseCsv AnalyserCsvAbsences(const QByteArray& contenu, const std::vector<Personnel>& employes,
                               const std::vector<TypeAbsence>& types, const std::vector<Absence>& existantes);

struct ResultatImport
{
    FileError erreur;  // a file that could not be read or written
    QStringList refus; // the bad lines: nothing was written
    int absences = 0;  // absences set
    int jours = 0;     // days written
    bool fait() const { return erreur.ok() && refus.isEmpty(); }
};

// Reads the file's absences and writes them in one transaction, journalled, or refuses the whole file.
ResultatImport ImporterAbsences(Database& db, const QByteArray& contenu);

} // namespace kip
