// CSV files as French spreadsheets and payroll imports read them: semicolon separator, decimal comma,
// UTF-8 with a byte-order mark, CR LF at the end of every row, a header row first. A field that holds a
// separator, a quote, a line break or leading or trailing blanks is put in quotes, its quotes doubled.
#pragma once

#include "data/FileError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kip {

class Csv
{
public:
    Csv();
    void ligne(const QStringList& champs);
    const QByteArray& contenu() const { return m_contenu; }

    static QString champ(const QString& texte);
    // Minutes as hours: decimal hours with a comma and two decimals (46,50) with centiemes, else hours and
    // minutes (46:30), which the spreadsheets read as a duration.
    static QString heures(qint64 minutes, bool centiemes);

private:
    QByteArray m_contenu;
};

// Writes the file whole or not at all: a file that cannot be written leaves the former one as it was.
FileError ecrireCsv(const QString& chemin, const Csv& csv);

} // namespace kip
