// Where the embedded pictures of the project live (":/pictures/<name>.png"). The resources are object files
// that this library passes to every program linking it, so they are registered before main().
#pragma once

#include <QString>

namespace kip {
QString picturePath(const QString& name);
} // namespace kip
