// The deletion of the day lines up to a date, as whole-file work of the store: on the SQLite files a new
// PointVal.tps of the kept lines takes the old one's place by a rename; on the server the lines go in one
// transaction and the space is given back.
#pragma once

#include "Result.h"

#include <QString>
#include <functional>

namespace kip {

struct PurgeCounts
{
    qint64 removed = 0;
    qint64 kept = 0;
    qint64 bytesBefore = 0; // size of the day lines' file (or table) before and after
    qint64 bytesAfter = 0;
};

// Deletes every day line dated on or before lastDate, with POINTVAL held alone for the whole work; an error of
// code Locked when another connection holds it. The file is never half purged: a purge that fails or is killed
// midway leaves it as it was. progress is told the steps done and the steps.
Result<PurgeCounts> purgeDayLines(const QString& dataDir, qint32 lastDate,
                                  const std::function<void(int done, int total)>& progress = {});

} // namespace kip
