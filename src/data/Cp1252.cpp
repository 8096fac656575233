#include "Cp1252.h"

namespace kip {
namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes that Windows-1252 leaves undefined, which are
// read as the control character of the same number (and written back as that byte).
constexpr char16_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                               0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                               0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a character, or -1 when the code page has none.
int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (High[i] == c || (High[i] == 0 && c == 0x80 + i))
            return 0x80 + i;
    return -1;
}

char encodeOne(char16_t c)
{
    const int b = byteOf(c);
    return b < 0 ? '?' : char(b);
}

bool representable(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 || (u >= 0xA0 && u <= 0xFF) || byteOf(u) >= 0;
}

} // namespace

QByteArray toCp1252(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeOne(text.at(i).unicode());
    return out;
}

QString fromCp1252(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0)
            c = High[b - 0x80] ? High[b - 0x80] : char16_t(b);
        p[i] = QChar(c);
    }
    return out;
}

bool isFieldText(const QString& text, int size)
{
    if (text.size() > size || text.endsWith(QLatin1Char(' ')))
        return false;
    for (QChar c : text)
        if (!representable(c))
            return false;
    return true;
}

QString clipField(const QString& text, int size)
{
    if (isFieldText(text, size))
        return text;
    QString out = text.left(size);
    for (QChar& c : out)
        if (!representable(c))
            c = QLatin1Char('?');
    qsizetype n = out.size();
    while (n > 0 && out.at(n - 1) == QLatin1Char(' '))
        --n;
    out.truncate(n);
    return out;
}

QString nombreAvecMilliers(qint64 n)
{
    QString chiffres = QString::number(n < 0 ? -quint64(n) : quint64(n));
    for (qsizetype at = chiffres.size() - 3; at > 0; at -= 3)
        chiffres.insert(at, QLatin1Char(' '));
    return n < 0 ? QLatin1Char('-') + chiffres : chiffres;
}

} // namespace kip
