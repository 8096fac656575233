#include "FileError.h"

#include <cstring>
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
    return makeError(DriverError, rc, message);
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

FileError systemError(const QString& what, const QString& path, int errnum)
{
    FileError e = makeError(DriverError, errnum, QString::fromLocal8Bit(std::strerror(errnum)));
    e.text = QStringLiteral("%1 %2: %3").arg(what, path, e.fileText);
    e.path = path;
    return e;
}

QString FileError::description() const
{
    if (code == DriverError)
        return QStringLiteral("%1 (%2)").arg(fileText.trimmed()).arg(fileCode);
    return QStringLiteral("%1 (%2)").arg(text.trimmed()).arg(code);
}

} // namespace kip
