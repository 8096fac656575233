#include "Files.h"

#include "FileAdmin.h"
#include "Messages.h"

#include <QDir>
#include <QMutex>
#include <QTextStream>
#include <array>
#include <atomic>

namespace kip {

namespace {

Paths g_paths;
std::array<std::atomic<int>, 5> g_counts{};
QMutex g_openMutex; // one common open at a time
RebuildRunner g_rebuildRunner;

int index(FileId id)
{
    return static_cast<int>(id);
}

} // namespace

const TableDecl& tableOf(FileId id)
{
    switch (id) {
    case FileId::Parametre:
        return tableOf<Parametre>();
    case FileId::Personnel:
        return tableOf<Personnel>();
    case FileId::PointVal:
        return tableOf<PointVal>();
    case FileId::DateSave:
        return tableOf<DateSave>();
    case FileId::OnOff:
        return tableOf<OnOff>();
    }
    return tableOf<OnOff>();
}

Paths Paths::forInstallation(const QString& installDir)
{
    Paths p;
    p.installDir = QDir::cleanPath(installDir);
    p.dataDir = p.installDir + QStringLiteral("/Data");
    p.saveAutoDir = p.installDir + QStringLiteral("/SaveAuto");
    p.saveManuDir = p.installDir + QStringLiteral("/SaveManu");
    p.sonDir = p.installDir + QStringLiteral("/Son");
    return p;
}

QString Paths::file(FileId id) const
{
    return dataDir + QLatin1Char('/') + tableOf(id).fileName;
}

QString Paths::origin(int generation) const
{
    return dataDir + QStringLiteral("/Origin%1.txt").arg(generation, 2, 10, QLatin1Char('0'));
}

QString Paths::kipGuard() const
{
    return dataDir + QStringLiteral("/KipGuard.txt");
}

void setPaths(const Paths& p)
{
    g_paths = p;
    for (auto& c : g_counts)
        c = 0;
}

const Paths& paths()
{
    return g_paths;
}

void commonOpen(FileId id)
{
    QMutexLocker lock(&g_openMutex);
    const TableDecl& table = tableOf(id);
    const QString path = g_paths.file(id);
    FileError err = checkRecordFile(table, path);
    if (err.code == Locked) {
        sendDriverOption(path, QStringLiteral("Recover=10"));
        err = checkRecordFile(table, path);
    }
    switch (err.code) {
    case NoError:
    case AlreadyOpen:
        return;
    case NotFound:
        err = createRecordFile(table, path);
        if (!err.ok()) {
            setLastError(err);
            Message(4, path);
        }
        err = checkRecordFile(table, path);
        if (!err.ok()) {
            setLastError(err);
            Message(5, path);
        }
        break;
    case KeysInvalid:
        setLastError(err);
        Message(2, path); // No stops the program
        err = rebuildRecordFileKeys(table, path, false);
        if (!err.ok()) {
            setLastError(err);
            Message(3, path);
        }
        err = checkRecordFile(table, path);
        break;
    case DeclarationMismatch:
        setLastError(err);
        Message(1, path);
        break;
    default:
        break;
    }
    if (!err.ok()) {
        setLastError(err);
        Message(30, path);
        stopProgram(QStringLiteral("Erreur disque"));
    }
    clearLastError();
}

FileUse::FileUse(FileId id) : m_id(id)
{
    std::atomic<int>& count = g_counts[size_t(index(id))];
    // The common open runs before the count rises, so that a second user never sees a file half-opened.
    QMutexLocker lock(&g_openMutex);
    if (count.load() == 0) {
        lock.unlock();
        commonOpen(id);
        lock.relock();
    }
    ++count;
}

FileUse::~FileUse()
{
    std::atomic<int>& count = g_counts[size_t(index(m_id))];
    if (count.load() > 0)
        --count;
}

int openCount(FileId id)
{
    return g_counts[size_t(index(id))].load();
}

void resetOpenCount(FileId id)
{
    g_counts[size_t(index(id))] = 0;
}

void rebuildAllKeys(const RebuildProgress& progress)
{
    const std::vector<const TableDecl*> tables = allTables();
    int step = 0;
    for (const TableDecl* table : tables) {
        ++step;
        if (progress)
            progress(step, int(tables.size()), table->label);
        const QString path = g_paths.dataDir + QLatin1Char('/') + table->fileName;
        sendDriverOption(path, QStringLiteral("recover=1"));
        // The keys are rebuilt with the file held alone when it can be had within the wait, else with the
        // file still readable by others; a missing file is passed over.
        const FileError alone = rebuildRecordFileKeys(*table, path, true);
        if (alone.code == Locked) {
            sendDriverOption(path, QStringLiteral("FULLBUILD=ON"));
            // No error of the rebuild is reported here: a file still damaged is caught by its next open.
            (void)rebuildRecordFileKeys(*table, path, false);
        }
        sendDriverOption(path, QStringLiteral("recover=1"));
    }
    // ONOFF and DATESAVE stay usable by their holders: this store does not close them during the rebuild.
}

void setRebuildRunner(RebuildRunner runner)
{
    g_rebuildRunner = std::move(runner);
}

void rebuildAllKeysWithProgress()
{
    auto work = [](const RebuildProgress& progress) { rebuildAllKeys(progress); };
    if (g_rebuildRunner) {
        g_rebuildRunner(work);
        return;
    }
    work([](int step, int total, const QString& label) {
        QTextStream(stderr)
            << QStringLiteral("Reconstruction des index sur les fichiers: %1/%2 %3\n").arg(step).arg(total).arg(label);
    });
}

} // namespace kip
