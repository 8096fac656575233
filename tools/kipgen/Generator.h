// kipgen's core: builds a complete installation directory named Kip with its data files, a staff of made-up
// employees, the raw punches of the last weeks and, on request, a long history of day lines.
#pragma once

#include <QString>
#include <cstdint>

namespace kip::gen {

struct GenOptions
{
    QString dir;        // the installation directory; its last component must be Kip
    int employees = 50; // 0 to 9999
    int weeks = 14;     // weeks of raw punches ending today
    std::uint64_t seed = 1;
    qint32 today = 0;     // day number; 0 for the clock's today
    qint64 rawLines = -1; // exact number of raw lines, -1 for what the weeks hold
    qint64 dayLines = 0;  // day lines added straight into POINTVAL
    bool force = false;   // replace the data files of an existing installation
};

struct GenResult
{
    bool ok = false;
    QString error; // French, for the user, when not ok
    int employees = 0;
    qint64 originLines = 0;
    qint64 dayLines = 0;
};

GenResult generateInstallation(const GenOptions& options);

} // namespace kip::gen
