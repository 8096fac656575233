// The one writer of the project's files: every byte written to a text file, a CSV, a PDF, a backup copy of a
// text file, a draft or a raw punch line goes through writeAllBytes and syncFile, which check each write and
// each sync (a write that makes no progress is a full disk) and ask the write-fault seam first.
//
// AtomicFile writes a new file beside its target and renames it over the target only once every byte and the
// sync succeeded: at every instant the name holds the former file or the new one whole, and a failure leaves
// the former file as it was and says why.
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

namespace kip {

enum class Durability
{
    Synced, // on disk when the call returns: the file and its directory entry are synced
    Plain   // a scratch file that does not outlive the run (page images): no sync
};

// Writes every byte to a descriptor, going on after an interrupted or partial write: 0, or the errno of the
// failure.
int writeAllBytes(int fd, const char* data, qsizetype size);
// fsync: 0, or the errno of the failure.
int syncFile(int fd);
// Syncs the directory that holds a file, so that a name just made or changed outlives a power cut.
int syncDirectoryOf(const QString& path);

class AtomicFile
{
public:
    explicit AtomicFile(const QString& path, Durability durability = Durability::Synced);
    // Removes the temporary file when the new file was not committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Makes the temporary file beside the target; it takes the target's permission bits when there is one.
    FileError open();
    FileError write(const char* data, qsizetype size);
    FileError write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Syncs, closes and renames the new file over the target; after a failed write it refuses and cleans up.
    FileError commit();
    // Gives the new file up; the target stays as it was.
    void cancel();

    const QString& path() const { return m_path; }

private:
    FileError fail(int errnum);

    QString m_path;
    QString m_temp;
    Durability m_durability;
    int m_fd = -1;
    FileError m_error;
};

// "le fichier X n'a pas pu être écrit (Plus de place sur le disque (28))": what a command says of a file it
// could not write. withCause false leaves the cause out, for message 15, which gives it already.
QString writeFailureText(const FileError& error, bool withCause = true);

// Rewrites a file whole through AtomicFile.
FileError writeFileAtomically(const QString& path, const QByteArray& contents,
                              Durability durability = Durability::Synced);
// Reads a whole file. A missing file is an error (ENOENT) unless missingIsEmpty.
Result<QByteArray> readWholeFile(const QString& path, bool missingIsEmpty = false);

} // namespace kip
