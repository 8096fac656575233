#include "Base.h"

#include "Postes.h"
#include "ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <libpq-fe.h>

namespace kip {

namespace {

QMutex g_mutex;
QString g_server;

} // namespace

QString storeServer()
{
    QMutexLocker lock(&g_mutex);
    return g_server;
}

void setStoreServer(const QString& conninfo)
{
    QMutexLocker lock(&g_mutex);
    g_server = conninfo;
}

Result<QString> readBaseFile(const QString& dataDir)
{
    const QString path = QDir(dataDir).filePath(QLatin1String(BaseFileName));
    QFile file(path);
    if (!file.exists())
        return QString();
    if (!file.open(QIODevice::ReadOnly)) {
        FileError e = plainError(QStringLiteral("Lecture de %1 impossible: %2").arg(path, file.errorString()));
        e.path = path;
        return e;
    }
    const QString conninfo = QString::fromUtf8(file.readLine(4096)).trimmed();
    if (const QString refus = connectionStringRefusal(conninfo); !refus.isEmpty()) {
        FileError e = plainError(QStringLiteral("%1: %2").arg(path, refus));
        e.path = path;
        return e;
    }
    return conninfo;
}

QString connectionStringRefusal(const QString& conninfo)
{
    char* why = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &why);
    QString refus;
    if (conninfo.isEmpty())
        refus = QStringLiteral("le fichier ne contient pas de chaîne de connexion");
    else if (!options)
        refus = QStringLiteral("chaîne de connexion invalide: %1").arg(QString::fromUtf8(why ? why : "").trimmed());
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val)
            refus = QStringLiteral("le mot de passe n'a pas sa place dans ce fichier (utilisez ~/.pgpass)");
    PQconninfoFree(options);
    PQfreemem(why);
    return refus;
}

FileError chooseStore(const QString& dataDir)
{
    const Result<QString> conninfo = readBaseFile(dataDir);
    if (!conninfo)
        return conninfo.error();
    setStoreServer(*conninfo);
    if (conninfo->isEmpty())
        return {};
    lireNomPoste(dataDir);
    // The program's session is registered on the server for as long as it runs: the others see it connected.
    return enregistrerPoste();
}

} // namespace kip
