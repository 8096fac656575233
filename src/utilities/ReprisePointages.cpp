#include "ReprisePointages.h"

#include "data/TextFiles.h"

#include <QDir>
#include <QFile>

namespace kip {

namespace {

constexpr int DerniereGeneration = 10;

QString generation(const QString& dir, int k)
{
    return QDir(dir).filePath(QStringLiteral("Origin%1.txt").arg(k, 2, 10, QLatin1Char('0')));
}

bool lire(const QString& chemin, QByteArray* contenu)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *contenu = f.readAll();
    return true;
}

} // namespace

PointagesDepuisSauvegarde PointagesArchivesDepuis(const QString& dataDir, const QString& repertoireSauvegarde)
{
    PointagesDepuisSauvegarde r;
    QByteArray premiere;
    const bool avaitUneArchive = lire(generation(repertoireSauvegarde, 1), &premiere);
    int nouvelles = 0;
    for (int k = 1; k <= DerniereGeneration; ++k) {
        QByteArray contenu;
        if (!lire(generation(dataDir, k), &contenu))
            break;
        if (avaitUneArchive && contenu == premiere)
            break;
        nouvelles = k;
    }
    r.generations = nouvelles;
    for (int k = nouvelles; k >= 1; --k) {
        QByteArray contenu;
        if (!lire(generation(dataDir, k), &contenu))
            continue;
        if (!contenu.isEmpty() && !contenu.endsWith('\n'))
            contenu += "\r\n";
        r.lignes += contenu;
    }
    return r;
}

bool ReprendrePointages(const QString& dataDir, const QByteArray& lignes)
{
    if (lignes.isEmpty())
        return true;
    QByteArray actuelles;
    const QString origine = generation(dataDir, 0);
    if (QFile::exists(origine) && !lire(origine, &actuelles))
        return false;
    return writeFileAtomically(origine, lignes + actuelles).ok();
}

qint64 NombreLignes(const QByteArray& texte)
{
    qint64 n = 0;
    for (const QByteArray& ligne : texte.split('\n'))
        if (!ligne.trimmed().isEmpty())
            ++n;
    return n;
}

} // namespace kip
