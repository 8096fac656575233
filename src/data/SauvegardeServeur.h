// The daily backup of the records on the server, taken once a day for the installation as a whole: the first
// station to start that day takes it into its own SaveAuto, the others find it taken and say by whom and where.
// The day's turn is a session advisory lock held on the Database's connection while the station looks and, when it
// is its turn, while it copies: a station starting at the same time waits, then finds the backup taken. The days
// taken sit in DATESAVE.SAUVEGARDES (day, station, directory), made with the record tables. A database made before
// that table existed has none: the stations then take the backup each day as on the files (DATEAUTO).
#pragma once

#include "FileError.h"
#include "Postes.h"

#include <QString>
#include <optional>

namespace kip {

class Database;

struct SauvegardeDuJour
{
    qint32 jour = 0;
    QString poste;
    QString repertoire;
};

// Makes the table of the days taken where missing, with the stations' role's rights when one is named (the
// administrator's creation of the records).
FileError creerTableSauvegardes(Database& db, const QString& rolePoste = {});

class TourSauvegarde
{
public:
    // Takes the day's turn when it is free (never waiting) and then reads whether the backup of jour was taken.
    // Nothing on the SQLite files.
    TourSauvegarde(Database& db, qint32 jour);
    TourSauvegarde(const TourSauvegarde&) = delete;
    TourSauvegarde& operator=(const TourSauvegarde&) = delete;

    // Another station is copying: attendre() waits for it (TourServeur::AttenteMaxMs at most), then reads the day.
    bool occupe() const { return m_tour && m_tour->occupe(); }
    QString enAttenteDe() const { return m_tour ? m_tour->enAttenteDe() : QString(); }
    void attendre();

    const FileError& error() const { return m_error; }
    // The server keeps the days taken (false on the files, or on a database without the table).
    bool suivie() const { return m_suivie; }
    // The day's backup already taken, by whom and where; nullopt when it falls to this station.
    const std::optional<SauvegardeDuJour>& faite() const { return m_faite; }
    // Records that this station took the day's backup into repertoire.
    FileError enregistrer(const QString& repertoire);

private:
    void lire();

    Database& m_db;
    qint32 m_jour;
    std::optional<TourServeur> m_tour;
    bool m_suivie = false;
    FileError m_error;
    std::optional<SauvegardeDuJour> m_faite;
};

// "Sauvegarde du jour faite par atelier dans /home/kip/Kip/SaveAuto".
QString texteSauvegardeFaite(const SauvegardeDuJour& s);

} // namespace kip
