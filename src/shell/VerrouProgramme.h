// The one-program rule: an operating-system lock on the data directory that a second program of the
// system cannot take while the first runs, and that the system releases when a process dies.
//
// The lock is an open-file-description lock on Data/OnOff.lck, a file that SQLite never opens: SQLite's
// own locks on the record files are process-wide record locks, which closing any other descriptor of the
// same file would drop.
#pragma once

#include <QString>

namespace kip {

class VerrouProgramme
{
public:
    VerrouProgramme() = default;
    ~VerrouProgramme();
    VerrouProgramme(const VerrouProgramme&) = delete;
    VerrouProgramme& operator=(const VerrouProgramme&) = delete;

    enum Resultat
    {
        Pris,
        Occupe,
        Erreur
    };
    // Takes the lock without waiting; Occupe when another program holds it.
    [[nodiscard]] Resultat prendre(const QString& dataDir);
    void rendre();
    bool tenu() const { return m_fd >= 0; }

    // Whether a lock of this process holds that data directory. Work that needs the data alone (the
    // restore) takes the lock itself only when its program does not already hold it: a second lock of the
    // same process would be refused like another program's.
    static bool tenuParCeProcessus(const QString& dataDir);

private:
    int m_fd = -1;
    QString m_dataDir;
};

// The same kind of lock on a file of the caller's choosing (the card-reader program's socket): the open
// descriptor that holds it, to be closed to release it, or -1 with Occupe or Erreur in *resultat.
int verrouillerFichier(const QString& chemin, VerrouProgramme::Resultat* resultat);

} // namespace kip
