#include "FileError.h"

#include "ErrorTexts.h"

#include <sqlite3.h>

namespace kip {

QString errorText(int code)
{
    switch (code) {
    case NoError:
        return QString();
    case NotFound:
        return QStringLiteral("Fichier ou enregistrement introuvable");
    case Locked:
        return QStringLiteral("Fichier verrouillé par un autre utilisateur");
    case EndOfFile:
        return QStringLiteral("Fin de fichier");
    case DuplicateKey:
        return QStringLiteral("Doublon dans une clé unique");
    case KeysInvalid:
        return QStringLiteral("Les clés doivent être reconstruites");
    case DeclarationMismatch:
        return QStringLiteral("Déclaration d'enregistrement invalide");
    case AlreadyOpen:
        return QStringLiteral("Fichier déjà ouvert");
    case ChangedElsewhere:
        return QStringLiteral("Enregistrement modifié par une autre station");
    case DriverError:
        return QStringLiteral("Erreur du système de fichiers");
    default:
        return QStringLiteral("Erreur %1").arg(code);
    }
}

FileError errorOfSqlite(int rc, const QString& message)
{
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return {};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return makeError(Locked, rc, message);
    case SQLITE_CORRUPT:
        return makeError(KeysInvalid, rc, message);
    case SQLITE_NOTADB:
        return makeError(DeclarationMismatch, rc, message);
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            return makeError(DuplicateKey, rc, message);
        break;
    default:
        break;
    }
    // SQLite's own text is English; the user reads the French one, with SQLite's code. The keys' codes above
    // keep SQLite's text, which names the key's columns, and show their own French text.
    (void)message;
    return makeError(DriverError, rc, sqliteErrorCause(rc));
}

FileError makeError(int code, int fileCode, const QString& fileText)
{
    FileError e;
    e.code = code;
    e.text = errorText(code);
    e.fileCode = fileCode;
    e.fileText = fileText;
    return e;
}

FileError plainError(const QString& text)
{
    FileError e = makeError(DriverError, 0, text);
    e.text = text;
    return e;
}

FileError systemError(const QString& path, int errnum, const QString& what)
{
    FileError e = makeError(DriverError, errnum, systemErrorCause(errnum));
    if (!what.isEmpty())
        e.text = QStringLiteral("%1 %2: %3").arg(what, path, systemErrorText(errnum));
    e.path = path;
    return e;
}

QString FileError::description() const
{
    // A failure of the program's own (a page image that cannot be read) has a text and no code.
    if (code == DriverError && fileCode == 0 && !fileText.isEmpty())
        return fileText.trimmed();
    if (code == DriverError)
        return QStringLiteral("%1 (%2)").arg(fileText.trimmed()).arg(fileCode);
    return QStringLiteral("%1 (%2)").arg(text.trimmed()).arg(code);
}

} // namespace kip
