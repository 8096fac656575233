#include "Files.h"

#include "FileAdmin.h"
#include "Journal.h"
#include "Messages.h"
#include "RecordsAbsences.h"

#include <QDir>
#include <QMutex>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <atomic>

namespace kip {

namespace {

constexpr size_t FileCount = std::size(TousLesFichiers);

Paths g_paths;
RebuildRunner g_rebuildRunner;

// The open counts. Their mutex is held only to read or change a count: never across a common open, which may
// ask the user, while the thread that answers may need the same file meanwhile.
QMutex g_countMutex;
std::array<int, FileCount> g_counts{};

// One key rebuild of a file at a time. Held for the rebuild only, never while a message is shown. The
// generation counts the rebuilds, so that a thread that met damage before another thread repaired the file
// does not rebuild it again.
std::array<QMutex, FileCount> g_repairMutex;
std::array<std::atomic<int>, FileCount> g_repairs{};

size_t index(FileId id)
{
    return static_cast<size_t>(id);
}

// The small files are read whole at every common open: damage in them is found before anything uses them.
// POINTVAL, the journal and the absences grow too large for that; damage met while reading them is error 46
// (reportFileError).
FileCheck depthOf(FileId id)
{
    return id == FileId::PointVal || id == FileId::Journal || id == FileId::Absence ? FileCheck::Declaration
                                                                                    : FileCheck::Pages;
}

// The repair of a damaged file: message 2 (No stops the program), the key rebuild, message 3 and stop when it
// fails. Runs on the calling thread, which must hold no transaction on the file.
FileError repairKeys(FileId id, const FileError& damage, int generationSeen)
{
    const TableDecl& table = tableOf(id);
    const QString path = g_paths.file(id);
    setLastError(damage);
    Message(2, path); // No stops the program
    FileError err;
    {
        QMutexLocker lock(&g_repairMutex[index(id)]);
        // Another thread may have repaired the file while this one was asking.
        if (g_repairs[index(id)].load() == generationSeen) {
            err = rebuildRecordFileKeys(table, path, false);
            if (err.ok())
                ++g_repairs[index(id)];
        }
    }
    if (!err.ok()) {
        setLastError(err);
        Message(3, path); // stops the program
    }
    return err;
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
    case FileId::Journal:
        return tableOf<Journal>();
    case FileId::TypeAbsence:
        return tableOf<TypeAbsence>();
    case FileId::Absence:
        return tableOf<Absence>();
    case FileId::Horaire:
        return tableOf<Horaire>();
    case FileId::ReglagesAbsences:
        return tableOf<ReglagesAbsences>();
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
    QMutexLocker lock(&g_countMutex);
    g_counts.fill(0);
}

const Paths& paths()
{
    return g_paths;
}

bool labelToFile(const QString& label, FileId* id)
{
    for (FileId f : TousLesFichiers) {
        if (tableOf(f).label == label) {
            *id = f;
            return true;
        }
    }
    return false;
}

void commonOpen(FileId id)
{
    const TableDecl& table = tableOf(id);
    const QString path = g_paths.file(id);
    const int generation = g_repairs[index(id)].load();
    FileError err = checkRecordFile(table, path, depthOf(id));
    if (err.code == Locked) {
        sendDriverOption(path, QStringLiteral("Recover=10"));
        err = checkRecordFile(table, path, depthOf(id));
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
        if (repairKeys(id, err, generation).ok())
            err = checkRecordFile(table, path, depthOf(id));
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

void reportFileError(int number, const FileError& error, const QString& label)
{
    const QString file = error.labelOr(label);
    FileId id;
    if (error.code == KeysInvalid && labelToFile(file, &id)) {
        (void)repairKeys(id, error, g_repairs[index(id)].load());
        return;
    }
    saveError(error);
    Message(number, file);
}

FileUse::FileUse(FileId id) : m_id(id)
{
    {
        QMutexLocker lock(&g_countMutex);
        if (g_counts[index(id)] > 0) {
            ++g_counts[index(id)];
            return;
        }
    }
    // The first user opens the file with no lock held. Two first users on two threads may both run the common
    // open: it is safe to run twice (a creation or a repair done by the one is found done by the other), and
    // neither waits for the other, who may be waiting for this thread to answer a message.
    commonOpen(id);
    QMutexLocker lock(&g_countMutex);
    ++g_counts[index(id)];
}

FileUse::~FileUse()
{
    QMutexLocker lock(&g_countMutex);
    if (g_counts[index(m_id)] > 0)
        --g_counts[index(m_id)];
}

int openCount(FileId id)
{
    QMutexLocker lock(&g_countMutex);
    return g_counts[index(id)];
}

void resetOpenCount(FileId id)
{
    QMutexLocker lock(&g_countMutex);
    g_counts[index(id)] = 0;
}

void rebuildAllKeys(const RebuildProgress& progress)
{
    const std::vector<const TableDecl*> tables = allTables();
    // The journal of corrections and the absence files come last without a step of their own: the progress
    // counts the five data files.
    auto compte = [](const TableDecl* t) {
        FileId id;
        return labelToFile(t->label, &id) && id < FileId::Journal;
    };
    const int steps = int(std::count_if(tables.begin(), tables.end(), compte));
    int step = 0;
    for (const TableDecl* table : tables) {
        if (progress && compte(table))
            progress(++step, steps, table->label);
        const QString path = g_paths.dataDir + QLatin1Char('/') + table->fileName;
        FileId id;
        const bool known = labelToFile(table->label, &id);
        QMutexLocker lock(known ? &g_repairMutex[index(id)] : nullptr);
        sendDriverOption(path, QStringLiteral("recover=1"));
        // The keys are rebuilt with the file held alone when it can be had within the wait, else with the
        // file still readable by others; a missing file is passed over.
        FileError rebuilt = rebuildRecordFileKeys(*table, path, true);
        if (rebuilt.code == Locked) {
            sendDriverOption(path, QStringLiteral("FULLBUILD=ON"));
            rebuilt = rebuildRecordFileKeys(*table, path, false);
        }
        // No error of the rebuild is reported here: a small file still damaged is caught by its next open,
        // POINTVAL where the damage is met (error 46, and the repair question then).
        if (known && rebuilt.ok())
            ++g_repairs[index(id)];
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
