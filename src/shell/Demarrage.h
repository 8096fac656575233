// The start-up and shutdown shared by the three programs: the installation test, the sub-directories,
// the one-program rule, the always-open files, the pause of the card reader, the crash marker with its key
// rebuild, and the daily backup. The differences between the programs come from their traits.
#pragma once

#include "LecteurCartes.h"
#include "PauseLecteur.h"
#include "Program.h"
#include "VerrouProgramme.h"
#include "data/Files.h"

#include <memory>
#include <optional>
#include <vector>

namespace kip {

class Database;

class Demarrage
{
public:
    explicit Demarrage(Program program);
    ~Demarrage();

    Program programme() const { return m_program; }

    // Whether a current directory is an installation directory: its last component is Kip, any case.
    static bool estRepertoireInstallation(const QString& dir);

    // The checks before the frame: installation directory, sub-directories, paths, and the one-program
    // rule. False when the program must end; exitCode then says how (the message, if any, was shown).
    bool verifier(const QString& currentDir, int* exitCode);

    // The frame's opening: files opened, card reader paused, settings read, crash marker set (after a key
    // rebuild when the last run did not end in order), and the daily backup.
    void ouvrir();

    int positionSommaire() const { return m_positionSommaire; }
    // Empty when the daily backup was taken or not due; otherwise what went wrong, for a discreet notice.
    QString incidentSauvegarde() const { return m_incidentSauvegarde; }
    // On the server, when another station took the day's backup: by whom and where, for the status line.
    QString avisSauvegarde() const { return m_avisSauvegarde; }
    bool cleReconstruite() const { return m_rebuilt; }

    // The reader's pause taken at the opening (none in kipother, or before the opening): the work that ends
    // it (the transfer) takes it over; a pause still held here is resumed at fermer() or destruction.
    PauseLecteur cederPause() { return std::move(m_pause); }

    // The end of an orderly run: the reader resumed if still paused, crash marker cleared and files closed.
    void fermer();

    // The wait after the pause request, one second by default; none when no reader answered.
    void setAttentePause(int ms) { m_attentePauseMs = ms; }

private:
    void lireParametres(Database& db);
    void marquerDemarrage(Database& db);
    void sauvegardeDuJour(Database& db);

    Program m_program;
    VerrouProgramme m_verrou;
    PauseLecteur m_pause;
    std::vector<std::unique_ptr<FileUse>> m_files;
    int m_positionSommaire = 0;
    int m_attentePauseMs = PauseLecteur::AttenteMs;
    bool m_rebuilt = false;
    bool m_ouvert = false;
    QString m_incidentSauvegarde;
    QString m_avisSauvegarde;
};

} // namespace kip
