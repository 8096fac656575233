// Resource path of an embedded picture.
#include "resources/Pictures.h"

namespace kip {
QString picturePath(const QString& name)
{
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".png");
}
} // namespace kip
