// Who is connected to the records' server. Each program registers its session: a connection of its own, named
// "program@station" (libpq's application_name), that holds a session advisory lock keyed by its server process.
// The server releases the lock when the session ends, the program's crash included, so the list of stations is
// the server's own list of sessions holding that lock: no row is left behind. Nothing of this on the SQLite files.
#pragma once

#include "FileError.h"
#include "Result.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace kip {

class Database;

// The station of this program: the one line of Data/Poste.txt when the installation names it, else the machine's
// host name. Kept in ASCII letters, digits and -_. (the server shows nothing else in a session's name).
QString nomPoste();
void setNomPoste(const QString& poste);
// Reads dataDir/Poste.txt into the station's name when the file is there.
void lireNomPoste(const QString& dataDir);
inline constexpr const char* PosteFileName = "Poste.txt";
// What every connection of the program is named on the server: "Kip@atelier".
QString nomApplication();

struct PosteConnecte
{
    QString programme;
    QString poste;
    QString utilisateur; // the server's role of the session
    QDateTime depuis;
    bool ceProgramme = false; // this very program's session
};

// Registers this program's session on the server of the program's engine (storeServer), once; nothing to do on
// the SQLite files. The error names the server.
FileError enregistrerPoste();
// Ends the registration (an orderly end; a process that dies ends it too).
void quitterPoste();
// The registration made again when the server closed its session (stopped and started again) while the program
// runs: called when a connection to the server is made anew. Nothing when the program never registered, or when
// its session holds; an error stays for the next call.
void reprendrePoste();
bool posteEnregistre();

// The programs registered on the server, the oldest first.
Result<std::vector<PosteConnecte>> postesConnectes();
// Fails, with a French clause naming them (without a final stop), while programs of other stations are connected
// to the server: the purge, the restore and the re-index need the records alone. Nothing to check on the SQLite
// files, where the one-program lock does that.
FileError seulSurLeServeur();

// A turn on the server, one station at a time: a session advisory lock held on the Database's connection until the
// guard ends (after the work's commit); the server releases it if the program dies. Should the server close that
// connection meanwhile, the work under the turn fails: it does not go on without it on a connection opened anew.
// Nothing on the SQLite files, where the one-program lock does that.
class TourServeur
{
public:
    enum Travail
    {
        Journees = 0,        // the work that writes the day lines from what it reads of them
        SauvegardeDuJour = 1 // the day's backup of the installation
    };
    // Takes the turn when it is free; never waits.
    TourServeur(Database& db, Travail travail);
    ~TourServeur();
    TourServeur(const TourServeur&) = delete;
    TourServeur& operator=(const TourServeur&) = delete;
    // Another station holds the turn: attendre() waits for it.
    bool occupe() const { return m_occupe; }
    // "En attente de Kip sur atelier": for whom the work waits, in French.
    QString enAttenteDe() const;
    // Waits for the turn, at most AttenteMaxMs.
    void attendre();
    const FileError& error() const { return m_error; }
    // Held (always on the SQLite files).
    bool ok() const { return m_error.ok() && !m_occupe; }
    static constexpr int AttenteMaxMs = 600000;

private:
    void tenir();

    Database& m_db;
    Travail m_travail;
    bool m_occupe = false;
    bool m_tenu = false;
    FileError m_error;
};

// The turn of the work that writes the day lines from what it reads of them (the day initialisation, the transfer):
// the second station reads what the first stored and adds only what is not there. Taken before anything is read.
class TourJournees : public TourServeur
{
public:
    // attente is told, in French, for whom the work waits, before it waits.
    explicit TourJournees(Database& db, const std::function<void(const QString& texte)>& attente = {})
        : TourServeur(db, Journees)
    {
        if (!occupe())
            return;
        if (attente)
            attente(enAttenteDe());
        attendre();
    }
};

// "Kip sur atelier, kipother sur bureau": the stations of a list, for a message.
QString nommerPostes(const std::vector<PosteConnecte>& postes);

} // namespace kip
