// The command line of kipguard.
#pragma once

#include "Surveillance.h"

#include <QStringList>

namespace kip {

struct OptionsKipguard
{
    QString repertoire; // the installation directory; the current directory when not given
    OptionsSurveillance surveillance;
    bool service = false; // no window, even with a display
};

// Reads the arguments (the program's name first). False with the reason, or with the help text and aide set.
bool lireOptions(const QStringList& arguments, OptionsKipguard* options, QString* texte, bool* aide = nullptr);

} // namespace kip
