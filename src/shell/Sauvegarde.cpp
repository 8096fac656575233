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
        if (!QFileInfo::exists(from))
            return;
        const QString name = QFileInfo(from).fileName();
        if (!copierFichierTexte(from, target.filePath(name)))
            r.echecs << name;
    };
    record(FileId::Parametre);
    text(p.kipGuard());
    record(FileId::Personnel);
    record(FileId::PointVal);
    for (int g = 0; g <= 10; ++g)
        text(p.origin(g));
    return r;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p)
{
    return SauvegarderDans(p, p.saveAutoDir);
}

} // namespace kip
