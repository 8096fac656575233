#include "CodesArrondi.h"

namespace kip {

namespace {
const QString NoRounding = QStringLiteral("Pas d'arrondi");

QString stepLabel(const QString& step, bool up)
{
    return QStringLiteral("Arrondi aux %1 minutes %2").arg(step.toInt()).arg(up ? u"supérieures" : u"inférieures");
}
} // namespace

int roundingValue(const QString& code)
{
    bool ok = false;
    const int value = code.trimmed().toInt(&ok);
    return ok ? value : 0;
}

const QStringList& roundingCodes()
{
    static const QStringList codes{"00", "05", "10", "15", "30", "60"};
    return codes;
}

const QStringList& weekRoundingCodes()
{
    static const QStringList codes{"000", "+05", "+10", "+15", "+30", "+60", "-05", "-10", "-15", "-30", "-60"};
    return codes;
}

QString entryRoundingLabel(const QString& code)
{
    if (!roundingCodes().contains(code))
        return {};
    return code == u"00" ? NoRounding : stepLabel(code, true);
}

QString exitRoundingLabel(const QString& code)
{
    if (!roundingCodes().contains(code))
        return {};
    return code == u"00" ? NoRounding : stepLabel(code, false);
}

QString weekRoundingLabel(const QString& code)
{
    if (!weekRoundingCodes().contains(code))
        return {};
    if (code == u"000")
        return NoRounding;
    return stepLabel(code.mid(1), code.startsWith(u'+'));
}

} // namespace kip
