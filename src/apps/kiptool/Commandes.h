// kiptool: the command-line companion of Kip for scripts and scheduled jobs.
#pragma once

#include <QStringList>

namespace kip::outil {

// The whole program: dispatches on the command (report, restore). Messages go to standard error, in French.
int executer(const QStringList& arguments, const QString& repertoireCourant);

// Writes one line to standard error, after the program's name.
void dire(const QString& texte);

} // namespace kip::outil
