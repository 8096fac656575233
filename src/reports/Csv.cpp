#include "Csv.h"

#include "calendar/HeureTexte.h"
#include "data/FileWriter.h"

namespace kip {

Csv::Csv()
{
    m_contenu = QByteArray("\xEF\xBB\xBF");
}

void Csv::ligne(const QStringList& champs)
{
    QStringList cites;
    cites.reserve(champs.size());
    for (const QString& c : champs)
        cites << champ(c);
    m_contenu += cites.join(QLatin1Char(';')).toUtf8();
    m_contenu += "\r\n";
}

QString Csv::champ(const QString& texte)
{
    const bool aCiter = texte.contains(QLatin1Char(';')) || texte.contains(QLatin1Char('"')) ||
                        texte.contains(QLatin1Char('\n')) || texte.contains(QLatin1Char('\r')) ||
                        (!texte.isEmpty() && (texte.front().isSpace() || texte.back().isSpace()));
    if (!aCiter)
        return texte;
    QString t = texte;
    t.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QString Csv::heures(qint64 minutes, bool centiemes)
{
    if (centiemes) // the value that the reports print, with a comma
        return QString::number(HeureDecimale(qint32(minutes), true), 'f', 2)
            .replace(QLatin1Char('.'), QLatin1Char(','));
    const QString signe = minutes < 0 ? QStringLiteral("-") : QString();
    const qint64 m = minutes < 0 ? -minutes : minutes;
    return signe + QStringLiteral("%1:%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

FileError ecrireCsv(const QString& chemin, const Csv& csv)
{
    return writeFileAtomically(chemin, csv.contenu());
}

} // namespace kip
