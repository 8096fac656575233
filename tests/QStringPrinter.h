// Lets GoogleTest print a QString in its failure messages; one definition for every test binary.
#pragma once

#include <QString>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << s.toStdString();
}
QT_END_NAMESPACE
