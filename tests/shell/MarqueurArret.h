// The crash marker (ONO:TEST) of an installation as stored, for the tests of how a run ends.
#pragma once

#include "data/Database.h"
#include "data/RecordFile.h"

// -1 when it cannot be read.
inline int marqueurArret(const QString& dataDir)
{
    kip::Database db(dataDir);
    kip::RecordFile<kip::OnOff> file(db);
    kip::OnOff o;
    if (!file.open().ok() || !file.first(o).ok())
        return -1;
    return o.TEST;
}
