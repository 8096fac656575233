#include "Files.h"

#include "Base.h"
#include "Database.h"
#include "FileAdmin.h"
#include "Journal.h"
#include "Messages.h"
#include "RecordsAbsences.h"
#include "ServerAdmin.h"
#include "ServerConnection.h"

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
ProgressRunner g_progressRunner;

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
// The journal is read whole too: it grows by one entry per correction (a few megabytes after years), and the
// programs that only read it would otherwise never meet its damage; so are the absences, which grow by a record
// per day of absence. POINTVAL grows too large for that; damage met while reading it is error 46
// (reportFileError).
FileCheck depthOf(FileId id)
{
    return id == FileId::PointVal ? FileCheck::Declaration : FileCheck::Pages;
}

// A file made anew from its readable records is said, with what it kept.
void direReconstruction(const QString& path, const RebuildAnew& anew)
{
    if (anew.done)
        Message(41, path, QString::number(anew.kept));
}

// The repair of a damaged file: message 2 (No stops the program), the key rebuild, message 3 and stop when it
// fails. Runs on the calling thread, which must hold no transaction on the file.
FileError repairKeys(FileId id, const FileError& damage, int generationSeen)
{
    const TableDecl& table = tableOf(id);
    const QString path = g_paths.file(id);
    Message(2, damage, path); // No stops the program
    FileError err;
    RebuildAnew anew;
    {
        QMutexLocker lock(&g_repairMutex[index(id)]);
        // Another thread may have repaired the file while this one was asking.
        if (g_repairs[index(id)].load() == generationSeen) {
            err = rebuildRecordFileKeys(table, path, false, Database::DefaultWaitMs, &anew);
            if (err.ok())
                ++g_repairs[index(id)];
        }
    }
    direReconstruction(path, anew);
    if (!err.ok())
        Message(3, err, path); // stops the program
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
    case FileId::Solde:
        return tableOf<Solde>();
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

namespace {

// The common open of a table on the server: made when missing; anything else wrong with it stops the program
// (the server keeps its keys whole: there is no repair to offer). A server out of reach is no fault of the table:
// the work that opens it meets the same loss and says so, and runs once the server is back.
void commonOpenOnServer(FileId id)
{
    const TableDecl& table = tableOf(id);
    Database db(g_paths.dataDir);
    FileError err = db.valid() ? checkServerTable(db, table) : db.errorFrom(0);
    if (isConnectionError(err))
        return;
    if (err.code == NotFound) {
        err = createServerTable(db, table);
        if (!err.ok())
            Message(4, err, table.label);
        err = checkServerTable(db, table);
        if (!err.ok())
            Message(5, err, table.label);
    } else if (err.code == DeclarationMismatch) {
        Message(1, err, table.label);
    }
    if (!err.ok()) {
        Message(30, err, table.label);
        stopProgram(QStringLiteral("Erreur disque"));
    }
}

} // namespace

void commonOpen(FileId id)
{
    if (!storeServer().isEmpty()) {
        commonOpenOnServer(id);
        return;
    }
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
        if (!err.ok())
            Message(4, err, path);
        err = checkRecordFile(table, path);
        if (!err.ok())
            Message(5, err, path);
        break;
    case KeysInvalid:
        if (repairKeys(id, err, generation).ok())
            err = checkRecordFile(table, path, depthOf(id));
        break;
    case DeclarationMismatch:
        Message(1, err, path);
        break;
    default:
        break;
    }
    if (!err.ok()) {
        Message(30, err, path);
        stopProgram(QStringLiteral("Erreur disque"));
    }
}

void reportFileError(int number, const FileError& error, const QString& label)
{
    const QString file = error.labelOr(label);
    FileId id;
    if (error.code == KeysInvalid && labelToFile(file, &id)) {
        (void)repairKeys(id, error, g_repairs[index(id)].load());
        return;
    }
    Message(number, error, file);
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
    if (!storeServer().isEmpty()) {
        // The server's keys are rebuilt in place (REINDEX); they are never damaged by a crash.
        Database db(g_paths.dataDir);
        int step = 0;
        for (const TableDecl* table : tables) {
            if (progress && compte(table))
                progress(++step, steps, table->label);
            (void)reindexServerTable(db, *table);
        }
        return;
    }
    int step = 0;
    std::vector<std::pair<QString, RebuildAnew>> refaits; // said once no repair lock is held
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
        RebuildAnew anew;
        FileError rebuilt = rebuildRecordFileKeys(*table, path, true, Database::DefaultWaitMs, &anew);
        if (rebuilt.code == Locked) {
            sendDriverOption(path, QStringLiteral("FULLBUILD=ON"));
            rebuilt = rebuildRecordFileKeys(*table, path, false, Database::DefaultWaitMs, &anew);
        }
        if (anew.done)
            refaits.emplace_back(path, anew);
        // No error of the rebuild is reported here: a small file still damaged is caught by its next open,
        // POINTVAL where the damage is met (error 46, and the repair question then).
        if (known && rebuilt.ok())
            ++g_repairs[index(id)];
        sendDriverOption(path, QStringLiteral("recover=1"));
    }
    // ONOFF and DATESAVE stay usable by their holders: this store does not close them during the rebuild.
    for (const auto& [path, anew] : refaits)
        direReconstruction(path, anew);
}

void setProgressRunner(ProgressRunner runner)
{
    g_progressRunner = std::move(runner);
}

void runWithProgress(const QString& title, const ProgressWork& work)
{
    if (g_progressRunner)
        g_progressRunner(title, work);
    else
        work([](int, int, const QString&) {});
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
