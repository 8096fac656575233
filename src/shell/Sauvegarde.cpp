#include "Sauvegarde.h"

#include "data/FileAdmin.h"
#include "data/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kip {

namespace {

constexpr int TailleMorceau = 1 << 16;
constexpr int DerniereGeneration = 10; // Origin10.txt

} // namespace

bool copierFichierTexte(const QString& from, const QString& to)
{
    // The copy is written beside the former one and renamed over it once whole and on disk: at every instant
    // the name holds either the former copy or the new one.
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    AtomicFile copy(to);
    if (!copy.open().ok())
        return false;
    QByteArray chunk;
    while (!(chunk = source.read(TailleMorceau)).isEmpty())
        if (!copy.write(chunk).ok())
            return false;
    if (source.error() != QFileDevice::NoError || !source.atEnd())
        return false;
    return copy.commit().ok();
}

QStringList NomsFichiersSauvegardes()
{
    QStringList noms;
    for (FileId id : {FileId::Parametre, FileId::Personnel, FileId::PointVal, FileId::Journal})
        noms << tableOf(id).fileName;
    noms << QStringLiteral("KipGuard.txt");
    for (int g = 0; g <= DerniereGeneration; ++g)
        noms << QStringLiteral("Origin%1.txt").arg(g, 2, 10, QLatin1Char('0'));
    return noms;
}

ResultatSauvegarde SauvegarderDans(const Paths& p, const QString& repertoire)
{
    ResultatSauvegarde r;
    const QDir target(repertoire);
    auto record = [&](FileId id) {
        const QString from = p.file(id);
        if (!QFileInfo::exists(from))
            return;
        const QString name = QFileInfo(from).fileName();
        if (!copyRecordFile(from, target.filePath(name)).ok())
            r.echecs << name;
    };
    auto text = [&](const QString& from) {
        const QFileInfo info(from);
        if (!info.exists())
            return;
        // Only a regular file is copied: a FIFO or a device under the name of a text file would hang the copy.
        if (!info.isFile() || !copierFichierTexte(from, target.filePath(info.fileName())))
            r.echecs << info.fileName();
    };
    record(FileId::Parametre);
    text(p.kipGuard());
    record(FileId::Personnel);
    record(FileId::PointVal);
    record(FileId::Journal);
    for (int g = 0; g <= DerniereGeneration; ++g)
        text(p.origin(g));
    return r;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p)
{
    return SauvegarderDans(p, p.saveAutoDir);
}

} // namespace kip
