// The SQLite record files of a data directory copied onto the server's tables in one transaction, through COPY:
// every record at its position with its row version, the counts checked before the commit.
#pragma once

#include "FileError.h"

#include <QString>
#include <functional>
#include <vector>

namespace kip {

struct TableDecl;

struct CompteTable
{
    QString label;
    qint64 lignes = 0;
};

// A record table and the SQLite file that holds its records.
struct FichierTable
{
    const TableDecl* table = nullptr;
    QString chemin;
};

// Refused (nothing written) when a table is missing on the server (kiptool serveur creer makes them) or, unless
// remplacer, when a table holds records. With remplacer the tables' contents are replaced. A file absent from
// dataDir leaves its table empty. comptes, when given, receives the records copied of each table; progress is told the table
// in hand and the records copied of it so far. On any failure the server is as it was.
FileError copierFichiersVersServeur(const QString& dataDir, const QString& conninfo, bool remplacer,
                                    std::vector<CompteTable>* comptes,
                                    const std::function<void(const QString& label, qint64 fait)>& progress = {});

// The contents of the tables of the files replaced by theirs in one transaction (a restore): the tables held
// alone, waiting attenteMs at most for them (Locked when another user keeps them). On any failure the server is
// as it was.
FileError remplacerTablesServeur(const QString& conninfo, std::vector<FichierTable> fichiers, int attenteMs,
                                 std::vector<CompteTable>* comptes);

} // namespace kip
