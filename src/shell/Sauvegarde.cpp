#include "Sauvegarde.h"

#include "data/FileAdmin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kip {

namespace {

constexpr int TailleMorceau = 1 << 16;
constexpr int DerniereGeneration = 10; // Origin10.txt

void synchroniserRepertoire(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool copierFichierTexte(const QString& from, const QString& to)
{
    // The copy is written beside the former one and renamed over it once whole and on disk: at every instant
    // the name holds either the former copy or the new one. Every write is checked, a short one included: a
    // full disk cuts a copy short without any error on the call that wrote its last bytes.
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    qint64 total = 0;
    QByteArray chunk;
    while (ok && !(chunk = source.read(TailleMorceau)).isEmpty()) {
        qsizetype fait = 0;
        while (fait < chunk.size()) {
            const ssize_t n = ::write(fd, chunk.constData() + fait, size_t(chunk.size() - fait));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            fait += n;
        }
        total += fait;
    }
    ok = ok && source.error() == QFileDevice::NoError && source.atEnd() && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && QFileInfo(temp).size() == total &&
         std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) == 0;
    if (!ok) {
        QFile::remove(temp);
        return false;
    }
    synchroniserRepertoire(QFileInfo(to).absolutePath());
    return true;
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
