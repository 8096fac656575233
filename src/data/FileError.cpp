#include "FileError.h"

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

FileError makeError(int code, int fileCode, const QString& fileText)
{
    FileError e;
    e.code = code;
    e.text = errorText(code);
    e.fileCode = fileCode;
    e.fileText = fileText;
    return e;
}

QString FileError::description() const
{
    if (code == DriverError)
        return QStringLiteral("%1 (%2)").arg(fileText.trimmed()).arg(fileCode);
    return QStringLiteral("%1 (%2)").arg(text.trimmed()).arg(code);
}

namespace {
thread_local FileError t_last;
}

const FileError& lastError()
{
    return t_last;
}
void setLastError(const FileError& error)
{
    t_last = error;
}

} // namespace kip
