#include "Sauvegarde.h"

#include "data/FileAdmin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kip {

bool copierFichierTexte(const QString& from, const QString& to)
{
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    if (!QFile::copy(from, temp))
        return false;
    QFile::remove(to);
    if (!QFile::rename(temp, to)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p)
{
    ResultatSauvegarde r;
    const QDir target(p.saveAutoDir);
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
    for (int g = 0; g <= 10; ++g)
        text(p.origin(g));
    return r;
}

} // namespace kip
