// A plain SQLite connection to one record file, for the whole-file work of the utilities (the purge's copy
// of the kept lines, the description of a backup): no transaction control file, no statement cache.
#pragma once

#include "data/FileError.h"

#include <QString>
#include <QVariant>

struct sqlite3;

namespace kip {

class ConnexionDirecte
{
public:
    enum Mode
    {
        Lecture,
        Ecriture // creates the file when missing
    };

    ConnexionDirecte(const QString& chemin, Mode mode, int attenteMs);
    ~ConnexionDirecte();
    ConnexionDirecte(const ConnexionDirecte&) = delete;
    ConnexionDirecte& operator=(const ConnexionDirecte&) = delete;

    // NoError when the file could be opened.
    const FileError& erreur() const { return m_erreur; }
    sqlite3* handle() const { return m_db; }

    FileError executer(const QString& sql);
    // Runs a statement whose parameters ?1, ?2 ... take the values in order.
    FileError executer(const QString& sql, const QVariantList& valeurs);
    // The first column of the first row (an integer), or the error; a query without rows gives 0.
    FileError entier(const QString& sql, qint64* valeur, const QVariantList& valeurs = {});

    void setAttente(int ms);
    // Gives the transaction in force up; nothing is left to report when that fails.
    void abandonner();

private:
    FileError erreurDe(int rc) const;

    sqlite3* m_db = nullptr;
    FileError m_erreur;
};

} // namespace kip
