// kiptool serveur: a PostgreSQL database made ready for the records (creer), the SQLite files of an
// installation copied onto it (importer), and its records written back as SQLite files (exporter).
#pragma once

#include <QStringList>

namespace kip::outil {

// Runs `kiptool serveur creer|importer|exporter ...` from the directory `repertoireCourant`: 0 done, 1 refused or
// failed (nothing changed), 2 bad arguments or no installation.
int commandeServeur(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageServeur;

} // namespace kip::outil
