#include "Sauvegarde.h"

#include "data/FileAdmin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kip {

bool copierFichierTexte(const QString& from, const QString& to)
{
    // The copy is written beside the former one and renamed over it once whole and on disk: at every instant
    // the name holds either the former copy or the new one.
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile copy(to);
    if (!copy.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    while (!(chunk = source.read(1 << 16)).isEmpty())
        if (copy.write(chunk) != chunk.size())
            break; // the save file keeps the failure: its commit below refuses
    if (source.error() != QFileDevice::NoError || !source.atEnd()) {
        copy.cancelWriting();
        (void)copy.commit(); // gives the temporary file up
        return false;
    }
    return copy.commit();
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
    for (FileId id : FichiersAbsences)
        record(id);
    for (int g = 0; g <= 10; ++g)
        text(p.origin(g));
    return r;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p)
{
    return SauvegarderDans(p, p.saveAutoDir);
}

} // namespace kip
