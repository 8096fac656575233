// Windows-1252, the code page of the data files' text.
#pragma once

#include <QByteArray>
#include <QString>

namespace kip {

// Encodes text to Windows-1252; characters outside the code page become '?'.
QByteArray toCp1252(const QString& text);
QString fromCp1252(const char* data, qsizetype size);
inline QString fromCp1252(const QByteArray& bytes)
{
    return fromCp1252(bytes.constData(), bytes.size());
}

// The text as a STRING(n) field holds it, in the record file as in the packed record: at most n characters,
// each character outside the code page as '?', trailing spaces clipped.
QString clipField(const QString& text, int size);
// Whether the text is already as a STRING(n) field holds it.
bool isFieldText(const QString& text, int size);

// A number with its thousands parted by a plain space ("7 292"), as every text that may reach a Windows-1252
// file or the journal writes it: the French locale's narrow no-break space is not in the code page.
QString nombreAvecMilliers(qint64 n);

} // namespace kip
