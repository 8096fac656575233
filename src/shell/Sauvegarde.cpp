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

ResultatSauvegarde SauvegarderDans(const Paths& p, const QString& repertoire, const ProgressionSauvegarde& progression)
{
    ResultatSauvegarde r;
    const QDir target(repertoire);
    // The files in the order of the copy, with their sizes, so that the progress is told in bytes.
    struct Fichier
    {
        QString chemin;
        bool enregistrements;
        qint64 taille;
    };
    QList<Fichier> fichiers;
    auto ajouter = [&](const QString& chemin, bool enregistrements) {
        fichiers.append({chemin, enregistrements, QFileInfo(chemin).size()});
    };
    ajouter(p.file(FileId::Parametre), true);
    ajouter(p.kipGuard(), false);
    ajouter(p.file(FileId::Personnel), true);
    ajouter(p.file(FileId::PointVal), true);
    ajouter(p.file(FileId::Journal), true);
    for (int g = 0; g <= 10; ++g)
        ajouter(p.origin(g), false);
    qint64 total = 0;
    for (const Fichier& f : fichiers)
        total += f.taille;
    qint64 fait = 0;
    for (const Fichier& f : fichiers) {
        const QFileInfo info(f.chemin);
        if (!info.exists())
            continue;
        const QString name = info.fileName();
        if (progression)
            progression(fait, total, name);
        if (f.enregistrements) {
            CopyProgress pages;
            if (progression)
                pages = [&](qint64 copiees, qint64 toutes) {
                    progression(fait + (toutes > 0 ? f.taille * copiees / toutes : 0), total, name);
                };
            if (!copyRecordFile(f.chemin, target.filePath(name), pages).ok())
                r.echecs << name;
        } else if (!info.isFile() || !copierFichierTexte(f.chemin, target.filePath(name))) {
            // Only a regular file is copied: a FIFO or a device under the name of a text file would hang the copy.
            r.echecs << name;
        }
        fait += f.taille;
    }
    if (progression)
        progression(total, total, QString());
    return r;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p, const ProgressionSauvegarde& progression)
{
    return SauvegarderDans(p, p.saveAutoDir, progression);
}

} // namespace kip
