// The program's data files: their full names, their open counts, the common open procedure that
// creates missing files and repairs broken keys, and the rebuild of all keys.
#pragma once

#include "FileError.h"
#include "TableDecl.h"

#include <QString>
#include <functional>

namespace kip {

enum class FileId
{
    Parametre,
    Personnel,
    PointVal,
    DateSave,
    OnOff,
    Journal,          // Journal.tps, the journal of corrections
    TypeAbsence,      // TypeAbs.tps, the absence types
    Absence,          // Absence.tps
    Horaire,          // Horaire.tps, the planned hours
    ReglagesAbsences, // ReglAbs.tps, the absence settings
    Solde,            // Solde.tps, the starting balances and credits of the accounts: last in the lock order
};

// Every file, in the lock order.
inline constexpr FileId TousLesFichiers[] = {
    FileId::Parametre,   FileId::Personnel, FileId::PointVal, FileId::DateSave,         FileId::OnOff, FileId::Journal,
    FileId::TypeAbsence, FileId::Absence,   FileId::Horaire,  FileId::ReglagesAbsences, FileId::Solde};

const TableDecl& tableOf(FileId id);

// Directory and file names of the installation, set once at start-up.
struct Paths
{
    QString installDir;
    QString dataDir;
    QString saveAutoDir;
    QString saveManuDir;
    QString sonDir;

    static Paths forInstallation(const QString& installDir);
    QString file(FileId id) const;
    QString origin(int generation) const; // Origin00.txt .. Origin10.txt
    QString kipGuard() const;
};

void setPaths(const Paths& paths);
const Paths& paths();

// Common open: returns when the file is open. A missing file is created silently; damaged keys are
// rebuilt when the user agrees; any other failure shows its message and stops the program. The small files
// (all but POINTVAL) are read whole: a damaged page takes the same repair path as damaged keys.
// No lock is held while a message is shown: it may run on any thread, on several at once.
void commonOpen(FileId id);

// Reports a failed store call with message 15, 17 or 35 naming the file that failed (the error's own label,
// else label). A damaged file (46) takes the repair path of the common open instead: message 2, the key
// rebuild, message 3 and stop when it fails. Call it once the transaction in force is over: the rebuild needs
// the file to itself, and a worker that met the damage inside its transaction returns the error to the thread
// that reports it.
void reportFileError(int number, const FileError& error, const QString& label);

// The file of a label ("POINTVAL"); false for a label that names none.
bool labelToFile(const QString& label, FileId* id);

// The open count of a file: the first holder runs the common open, the last one closes the file.
class FileUse
{
public:
    explicit FileUse(FileId id);
    ~FileUse();
    FileUse(const FileUse&) = delete;
    FileUse& operator=(const FileUse&) = delete;

private:
    FileId m_id;
};

int openCount(FileId id);
// Sets an open count back to zero without closing (PARAMETRE after its first read at start-up).
void resetOpenCount(FileId id);

// Rebuilds the keys of every record file in the order POINTVAL, PERSONNEL, ONOFF, DATESAVE, PARAMETRE, then
// those of the journal of corrections and of the absence files. progress(step, total, label) is called before
// each of the five. Missing
// files are passed over and no error is reported. The steps taken are recorded for those who want to know.
using RebuildProgress = std::function<void(int step, int total, const QString& label)>;
void rebuildAllKeys(const RebuildProgress& progress = {});

// The window that shows the rebuild's progress; the windows library installs one, a headless program
// writes the steps to standard error.
using RebuildRunner = std::function<void(const std::function<void(const RebuildProgress&)>& work)>;
void setRebuildRunner(RebuildRunner runner);
// Runs rebuildAllKeys through the installed runner.
void rebuildAllKeysWithProgress();

// Other work of the start-up that takes seconds (the daily backup), run through the installed runner: the
// windows library shows a small progress window at once and runs the work on a worker meanwhile; without one
// the work runs in place, silently.
using ProgressWork = std::function<void(const RebuildProgress& progress)>;
using ProgressRunner = std::function<void(const QString& title, const ProgressWork& work)>;
void setProgressRunner(ProgressRunner runner);
void runWithProgress(const QString& title, const ProgressWork& work);

} // namespace kip
