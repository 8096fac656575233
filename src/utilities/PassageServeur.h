// An installation's records moved from the SQLite files of Data onto a PostgreSQL server, and written back from
// it as SQLite files: the work of `kiptool serveur importer` and `kiptool serveur exporter`.
#pragma once

#include "data/Files.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kip {

struct [[nodiscard]] ResultatPassage
{
    bool fait = false;
    QStringList textes; // what happened, in French, one sentence each
};

// Copies the record files of Data onto the server in one transaction (refused when its tables hold records,
// unless remplacer), then writes Data/Base.txt with conninfo and renames the SQLite files aside (name.avant-serveur),
// so that every program works on the server and nothing is lost. Needs the data alone (the one-program lock).
// progress is told the table in hand and the records copied of it.
ResultatPassage ImporterSurServeur(const Paths& p, const QString& conninfo, bool remplacer,
                                   const std::function<void(const QString& table, qint64 fait)>& progress = {});

// Writes the records of the server named by Data/Base.txt as SQLite record files into repertoire (made when
// missing); refused when it already holds one of them. A failure leaves none of them behind. progress is told the
// table in hand, the records copied of it and its records.
ResultatPassage
ExporterDuServeur(const Paths& p, const QString& repertoire,
                  const std::function<void(const QString& table, qint64 fait, qint64 total)>& progress = {});

// Points this installation at a server that already holds the records (another station's): checks that the server
// holds Kip's tables, refuses while SQLite record files holding records sit in Data (they would be forgotten), then
// writes Data/Base.txt. Needs the data alone (the one-program lock).
ResultatPassage RejoindreServeur(const Paths& p, const QString& conninfo);

// The purge, the restore and the re-index change the tables as a whole: on a server they need the administrator's
// role, which this checks (its rights on the tables, not its name). Nothing to check on the SQLite files.
FileError DroitsAdministrateur(const QString& dataDir);

} // namespace kip
