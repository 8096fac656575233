// The payroll export: the week totals of the week totals report (CalculerTotauxSemaines, the very same
// computation) as CSV rows that payroll software imports, one row per employee and week and one total row
// per employee; and the period totals of the period totals report (CalculerTotauxPeriode) likewise. Each
// week row also splits the rounded week total as French payroll needs it: the hours up to the weekly legal
// duration, the overtime at the first rate up to the second threshold, and the overtime beyond it at the
// second rate. After them, the week rows give the hours of each absence type and the working-time account's
// balance at the end of the week (ColonnesSoldes): new columns at the end, so that a reader of the former
// ones keeps working.
#pragma once

#include "ColonnesSoldes.h"
#include "Csv.h"
#include "ExecutionEdition.h"
#include "TotauxPeriode.h"
#include "TotauxSemaines.h"

#include <QStringView>

namespace kip {

// The two thresholds, in minutes: 35 h of legal duration, the first rate up to the 43rd hour included.
struct SeuilsPaie
{
    qint32 duree = 35 * 60;
    qint32 premierTaux = 43 * 60;
};

// "35:43", hours with an optional decimal part ("35,5:43"); false for anything else or a second threshold
// below the first.
bool LireSeuils(QStringView texte, SeuilsPaie* seuils);

struct RepartitionSemaine
{
    qint32 normales = 0;
    qint32 premierTaux = 0;
    qint32 secondTaux = 0;
};

// The rounded week total split at the thresholds: 46 h 30 gives 35 h, 8 h and 3 h 30; 30 h gives 30, 0, 0.
RepartitionSemaine RepartirSemaine(qint32 totalArrondi, const SeuilsPaie& seuils);

// The CSV of the week totals (header, week rows, a total row after each employee), with the columns of
// absences and balance when given.
Csv CsvTotauxSemaines(const std::vector<TotauxSemainesEmploye>& totaux, bool centiemes, const SeuilsPaie& seuils,
                      ColonnesSoldes* soldes = nullptr);
// The CSV of the period totals (header, one row per employee, the grand total).
Csv CsvTotauxPeriode(const TotauxPeriode& totaux, const ParametresEdition& parametres);

// Which totals to export.
enum class GenreExport
{
    TotauxSemaines, // the week totals report (row 6)
    TotauxPeriode   // the period totals report (row 7)
};

struct [[nodiscard]] ResultatExport
{
    ResultatEdition::Issue issue = ResultatEdition::Issue::Vide;
    FileError erreurLecture;
    FileError erreurEcriture; // the file could not be written
    qint64 lignes = 0;        // rows written after the header
    bool ecrit() const { return issue == ResultatEdition::Issue::Complete && erreurEcriture.ok(); }
};

// Reads the totals with the report's parameters on db (the caller holds PERSONNEL and POINTVAL open) and
// writes the CSV file; nothing is written when nothing matches or the run is cancelled.
ResultatExport Exporter(Database& db, GenreExport genre, const ParametresEdition& parametres, const SeuilsPaie& seuils,
                        const QString& chemin, const ControleExecution& controle = {});

} // namespace kip
