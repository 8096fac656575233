#include "ErrorTexts.h"

#include <cerrno>
#include <sqlite3.h>

namespace kip {

QString systemErrorCause(int errnum)
{
    switch (errnum) {
    case 0:
        return QStringLiteral("Aucune erreur");
    case ENOSPC:
        return QStringLiteral("Plus de place sur le disque");
    case EDQUOT:
        return QStringLiteral("Quota du disque dépassé");
    case EFBIG:
        return QStringLiteral("Fichier trop grand");
    case EIO:
        return QStringLiteral("Erreur d'entrée-sortie du disque");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permission refusée");
    case EROFS:
        return QStringLiteral("Disque en lecture seule");
    case ENOENT:
        return QStringLiteral("Fichier ou répertoire introuvable");
    case ENOTDIR:
        return QStringLiteral("Un élément du chemin n'est pas un répertoire");
    case EISDIR:
        return QStringLiteral("Le nom désigne un répertoire");
    case EEXIST:
        return QStringLiteral("Le fichier existe déjà");
    case ENAMETOOLONG:
        return QStringLiteral("Nom de fichier trop long");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case EBUSY:
        return QStringLiteral("Fichier ou périphérique occupé");
    case ETXTBSY:
        return QStringLiteral("Fichier en cours d'utilisation");
    case EXDEV:
        return QStringLiteral("Déplacement impossible d'un disque à un autre");
    case ENOTEMPTY:
        return QStringLiteral("Répertoire non vide");
    case ENOMEM:
        return QStringLiteral("Mémoire insuffisante");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("Périphérique absent");
    case ESTALE:
        return QStringLiteral("Fichier du partage réseau devenu inaccessible");
    case ETIMEDOUT:
        return QStringLiteral("Délai dépassé");
    case EAGAIN:
        return QStringLiteral("Ressource momentanément indisponible");
    case EINVAL:
        return QStringLiteral("Argument invalide");
    case ELOOP:
        return QStringLiteral("Trop de liens symboliques");
    default:
        return QStringLiteral("Erreur du système");
    }
}

QString systemErrorText(int errnum)
{
    return QStringLiteral("%1 (%2)").arg(systemErrorCause(errnum)).arg(errnum);
}

QString sqliteErrorCause(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return QStringLiteral("Aucune erreur");
    case SQLITE_ERROR:
        return QStringLiteral("Erreur de la base de données");
    case SQLITE_INTERNAL:
        return QStringLiteral("Erreur interne de la base de données");
    case SQLITE_PERM:
        return QStringLiteral("Accès refusé");
    case SQLITE_ABORT:
        return QStringLiteral("Opération abandonnée");
    case SQLITE_BUSY:
        return QStringLiteral("Fichier de données occupé");
    case SQLITE_LOCKED:
        return QStringLiteral("Table verrouillée");
    case SQLITE_NOMEM:
        return QStringLiteral("Mémoire insuffisante");
    case SQLITE_READONLY:
        return QStringLiteral("Fichier de données en lecture seule");
    case SQLITE_INTERRUPT:
        return QStringLiteral("Opération interrompue");
    case SQLITE_IOERR:
        return QStringLiteral("Erreur d'entrée-sortie du disque");
    case SQLITE_CORRUPT:
        return QStringLiteral("Fichier de données endommagé");
    case SQLITE_NOTFOUND:
        return QStringLiteral("Opération inconnue");
    case SQLITE_FULL:
        return QStringLiteral("Base de données ou disque plein");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Impossible d'ouvrir le fichier de données");
    case SQLITE_PROTOCOL:
        return QStringLiteral("Erreur du protocole de verrouillage");
    case SQLITE_SCHEMA:
        return QStringLiteral("La structure du fichier a changé");
    case SQLITE_TOOBIG:
        return QStringLiteral("Donnée trop grande");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Contrainte non respectée");
    case SQLITE_MISMATCH:
        return QStringLiteral("Type de donnée incorrect");
    case SQLITE_MISUSE:
        return QStringLiteral("Mauvais usage de la base de données");
    case SQLITE_NOLFS:
        return QStringLiteral("Fichier trop grand pour le système");
    case SQLITE_AUTH:
        return QStringLiteral("Autorisation refusée");
    case SQLITE_RANGE:
        return QStringLiteral("Paramètre hors limites");
    case SQLITE_NOTADB:
        return QStringLiteral("Le fichier n'est pas un fichier de données");
    default:
        return QStringLiteral("Erreur de la base de données");
    }
}

} // namespace kip
