// kiptool export and kiptool journal: the week totals for payroll software, and the journal of corrections,
// as CSV files. Both only read, in one read transaction, so they may run while a workstation program holds
// the data.
#pragma once

#include <QStringList>

namespace kip::outil {

int commandeExport(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageExport;

int commandeJournal(const QStringList& arguments, const QString& repertoireCourant);
extern const char* const UsageJournal;

} // namespace kip::outil
