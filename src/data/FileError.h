// Error codes of the record-file layer, kept as the system's own numbers, and the error that carries them.
#pragma once

#include <QString>

namespace kip {

enum ErrorCode : int
{
    NoError = 0,
    NotFound = 2,             // file or record not found
    Locked = 32,              // the file is locked by another user
    DuplicateKey = 40,        // the record would duplicate a unique key
    KeysInvalid = 46,         // the keys must be rebuilt
    DeclarationMismatch = 47, // the file does not match the record declaration
    AlreadyOpen = 52,
    EndOfFile = 33,        // no further record in the order read
    ChangedElsewhere = 89, // the record was changed by another station since it was read
    DriverError = 90,      // the driver's own error; its text and code are the driver's
};

// The result of every record-file operation and of every call that can fail without giving a value back:
// NoError, or the error with its texts (Result<T> in Result.h carries a value or this error). Marked
// [[nodiscard]]: a call whose result is not looked at does not compile in the test build.
struct [[nodiscard]] FileError
{
    int code = NoError;
    QString text;     // clipped error text
    int fileCode = 0; // the driver's own code (SQLite's extended result code) for error 90
    QString fileText; // the driver's own message
    QString key;      // for DuplicateKey: the name of the key, for example "PER:K_NOM_PRENOM"
    QString label;    // the label of the file that failed ("PERSONNEL"), empty when no one file is to blame
    QString path;     // the full name of the file concerned, when the error is about one file (a text file, a copy)

    bool ok() const { return code == NoError; }
    // The label of the file that failed, or the caller's own guess when the error does not name one.
    QString labelOr(const QString& guess) const { return label.isEmpty() ? guess : label; }
    friend bool operator==(const FileError& e, int c) { return e.code == c; }
    // "text (code)", with the driver's text and code for error 90.
    QString description() const;
};

// The French text of an error code.
QString errorText(int code);
// The record-file error for an SQLite result code (the one map of SQLite's outcomes onto the error codes):
// busy or locked 32, corrupt 46, not a database 47, a unique key 40, anything else 90 with the French text of
// SQLite's code. message is SQLite's message for the outcome, kept as the driver's text of the codes 32 to 47.
FileError errorOfSqlite(int rc, const QString& message);
FileError makeError(int code, int fileCode = 0, const QString& fileText = {});
// An error of the program's own, with no system or driver code (a refused argument, a step that cannot be
// done): code 90 with the text as it is to be shown. A caller whose error concerns a file names it in path.
FileError plainError(const QString& text);
// The error of a system call on a file, the one way errno becomes an error: code 90, errnum as the driver's code
// and its French text (ErrorTexts.h) as the driver's text, so that description() reads "Plus de place sur le
// disque (28)"; the file in path. Given what could not be done ("Impossible de renommer"), the text is the
// sentence "what path: cause (n)".
FileError systemError(const QString& path, int errnum, const QString& what = {});

} // namespace kip
