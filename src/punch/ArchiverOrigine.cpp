#include "TransfertPointages.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kip {

namespace {
QString generation(const QDir& dir, int k)
{
    return dir.filePath(QStringLiteral("Origin%1.txt").arg(k, 2, 10, QLatin1Char('0')));
}
} // namespace

bool ArchiverOrigine(const QString& dataDir, qint64 octetsLus, QString* erreur)
{
    const QDir dir(dataDir);
    const QString origine = generation(dir, 0);
    for (int k = 10; k >= 1; --k) {
        QFile::remove(generation(dir, k));
        if (QFile::exists(generation(dir, k - 1)) && !QFile::rename(generation(dir, k - 1), generation(dir, k))) {
            if (erreur)
                *erreur = QStringLiteral("Impossible de renommer %1").arg(generation(dir, k - 1));
            return false;
        }
    }
    // What the reader appended after the reading is not archived: it goes back into the raw file, ahead of
    // anything written there since the rename. The archive holds exactly the lines that were read.
    QByteArray suite;
    {
        QFile archive(generation(dir, 1));
        if (archive.open(QIODevice::ReadWrite) && archive.size() > octetsLus) {
            archive.seek(octetsLus);
            suite = archive.readAll();
            archive.resize(octetsLus);
        }
    }
    {
        QFile recent(origine);
        if (recent.open(QIODevice::ReadOnly))
            suite += recent.readAll();
    }
    QSaveFile neuf(origine);
    if (!neuf.open(QIODevice::WriteOnly) || neuf.write(suite) != suite.size() || !neuf.commit()) {
        if (erreur)
            *erreur = QStringLiteral("Impossible de créer %1").arg(origine);
        return false;
    }
    return true;
}

} // namespace kip

namespace kip {

ResultatSansSurveillance TransfertSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui,
                                                   const ProgressionTransfert& progression)
{
    ResultatSansSurveillance r;
    const QString origine = QDir(dataDir).filePath(QStringLiteral("Origin00.txt"));
    r.lecture = TransfererPointages(db, origine, aujourdhui, progression);
    // Archived only once the day lines of the reading are committed, and only when nothing was rejected.
    if (!archivageAutomatique(r.lecture))
        return r;
    r.archive = ArchiverOrigine(dataDir, r.lecture.octetsLus, &r.erreurArchive);
    return r;
}

} // namespace kip
