#include "Sauvegarde.h"

#include "data/Base.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/ServerAdmin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kip {

namespace {

constexpr int TailleMorceau = 1 << 16;
constexpr int DerniereGeneration = 10; // Origin10.txt

} // namespace

FileError copierFichierTexte(const QString& from, const QString& to)
{
    // The copy is written beside the former one and renamed over it once whole and on disk: at every instant
    // the name holds either the former copy or the new one.
    const int source = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return systemError(from, errno);
    AtomicFile copy(to);
    FileError e = copy.open();
    QByteArray morceau(TailleMorceau, Qt::Uninitialized);
    while (e.ok()) {
        const ssize_t n = ::read(source, morceau.data(), size_t(morceau.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            e = systemError(from, errno);
        else if (n == 0)
            break;
        else
            e = copy.write(morceau.constData(), qsizetype(n));
    }
    ::close(source);
    // A copy not committed is given up by the AtomicFile.
    return e.ok() ? copy.commit() : e;
}

QStringList NomsFichiersSauvegardes()
{
    QStringList noms;
    for (FileId id : FichiersCopies)
        noms << tableOf(id).fileName;
    noms << QStringLiteral("KipGuard.txt");
    for (int g = 0; g <= DerniereGeneration; ++g)
        noms << QStringLiteral("Origin%1.txt").arg(g, 2, 10, QLatin1Char('0'));
    return noms;
}

ResultatSauvegarde SauvegarderDans(const Paths& p, const QString& repertoire, const ProgressionSauvegarde& progression)
{
    ResultatSauvegarde r;
    const QDir target(repertoire);
    // The progress is told in bytes of every file to copy.
    QStringList tous{p.kipGuard()};
    for (FileId id : FichiersCopies)
        tous << p.file(id);
    for (int g = 0; g <= DerniereGeneration; ++g)
        tous << p.origin(g);
    qint64 total = 0;
    qint64 fait = 0;
    for (const QString& f : tous)
        total += QFileInfo(f).size();
    auto avancer = [&](qint64 octets, const QString& name) {
        if (progression)
            progression(fait + octets, total, name);
    };
    const bool serveur = !storeServer().isEmpty();
    auto record = [&](FileId id) {
        const QString from = p.file(id);
        if (serveur) {
            // The server's table, as the SQLite file that a restore reads whatever the engine.
            const QString name = tableOf(id).fileName;
            avancer(0, name);
            if (!copyServerTable(tableOf(id), target.filePath(name)).ok())
                r.echecs << name;
            return;
        }
        if (!QFileInfo::exists(from))
            return;
        const QString name = QFileInfo(from).fileName();
        const qint64 taille = QFileInfo(from).size();
        avancer(0, name);
        CopyProgress pages;
        if (progression)
            pages = [&](qint64 copiees, qint64 toutes) { avancer(toutes > 0 ? taille * copiees / toutes : 0, name); };
        if (!copyRecordFile(from, target.filePath(name), pages).ok())
            r.echecs << name;
        fait += taille;
    };
    auto text = [&](const QString& from) {
        const QFileInfo info(from);
        if (!info.exists())
            return;
        avancer(0, info.fileName());
        // Only a regular file is copied: a FIFO or a device under the name of a text file would hang the copy.
        if (!info.isFile() || !copierFichierTexte(from, target.filePath(info.fileName())).ok())
            r.echecs << info.fileName();
        fait += info.size();
    };
    record(FileId::Parametre);
    text(p.kipGuard());
    record(FileId::Personnel);
    record(FileId::PointVal);
    record(FileId::Journal);
    for (FileId id : FichiersAbsences)
        record(id);
    for (int g = 0; g <= DerniereGeneration; ++g)
        text(p.origin(g));
    fait = total;
    avancer(0, QString());
    return r;
}

ResultatSauvegarde SauvegardeAuto(const Paths& p, const ProgressionSauvegarde& progression)
{
    return SauvegarderDans(p, p.saveAutoDir, progression);
}

} // namespace kip
