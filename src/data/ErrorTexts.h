// The French texts of the system's and SQLite's errors. Whatever reaches an operator is in French, with the
// code in parentheses so that a support call can still name the precise cause.
#pragma once

#include <QString>

namespace kip {

// "Plus de place sur le disque (28)" for ENOSPC, and so on; an errno without a text of its own is
// "Erreur du système (n)".
QString systemErrorText(int errnum);
// The same text without its code in parentheses, for a caller that puts the code elsewhere.
QString systemErrorCause(int errnum);
// "Base de données ou disque plein" for SQLITE_FULL, and so on, for a primary or an extended result code;
// without the code.
QString sqliteErrorCause(int rc);

} // namespace kip
