// The command line of kipguard.
#pragma once

#include "Surveillance.h"
#include "data/Result.h"

#include <QStringList>

namespace kip {

struct OptionsKipguard
{
    QString repertoire; // the installation directory; the current directory when not given
    OptionsSurveillance surveillance;
    bool service = false; // no window, even with a display
    QString aide;         // the help text when it was asked for: the program shows it and ends
};

// Reads the arguments (the program's name first): the options, or the error whose text says what is wrong.
Result<OptionsKipguard> lireOptions(const QStringList& arguments);

} // namespace kip
