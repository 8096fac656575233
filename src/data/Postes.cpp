#include "Postes.h"

#include "Base.h"
#include "Database.h"
#include "ServerConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSysInfo>
#include <optional>
#include <pthread.h>

namespace kip {

namespace {

// The first key of the registration locks ("Kip"); the second is the session's server process.
constexpr int CleEnregistrement = 0x4B6970;
// The turns (TourServeur::Travail: 0, 1) share the first key; their second key is never a server process.

QMutex g_posteMutex;
QString g_poste;
// A forked child forgets it (it must not close its parent's session); the process that opened it closes it at its
// normal end, and a process that dies has its socket closed by the system, which releases the lock on the server.
ServerConnection* g_session = nullptr;
QString g_sessionServeur;
bool g_inscrit = false; // registered by the program, until it leaves: made again after the server's return

struct FinSession
{
    ~FinSession()
    {
        delete g_session;
        g_session = nullptr;
    }
};
FinSession g_finSession;

void oublierSessionDansEnfant()
{
    g_session = nullptr; // the parent's, left to it
    g_inscrit = false;
}

const int g_atForkPoste = ::pthread_atfork(nullptr, nullptr, oublierSessionDansEnfant);

QString nettoyer(const QString& nom)
{
    QString ascii;
    for (const QChar c : nom.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.unicode() < 128)
            ascii += c;
        else if (c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.'))
            ascii += c;
        else if (c.isSpace())
            ascii += QLatin1Char('_');
    return ascii.left(40); // the server keeps 63 bytes of the name
}

// The sessions of this database holding the registration lock (CleEnregistrement; of one objid only when given),
// oldest first.
Result<std::vector<PosteConnecte>> sessionsEnregistrees(const QString& serveur, std::optional<int> objid)
{
    reprendrePoste(); // the list names this program again once the server is back
    int moi = 0;
    {
        QMutexLocker lock(&g_posteMutex);
        if (g_session && g_sessionServeur == serveur)
            moi = g_session->backendPid();
    }
    // Texts only: the rows come in the server's binary form, where a text is its bytes.
    const QByteArray sql = "SELECT a.application_name, a.usename::text, "
                           "floor(extract(epoch FROM a.backend_start))::bigint::text, a.pid::text "
                           "FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
                           "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 2 AND l.classid = " +
                           QByteArray::number(CleEnregistrement) +
                           // a registration is keyed by its own server process; a turn by its work
                           (objid ? " AND l.objid = " + QByteArray::number(*objid) : " AND l.objid::bigint = a.pid") +
                           " AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                           "ORDER BY a.backend_start, a.pid";
    FileError e;
    std::unique_ptr<ServerConnection> c = ServerConnection::take(serveur, &e);
    if (!c)
        return e;
    const std::vector<PgResult> r = c->run({PgCommand::text(sql)}, &e);
    ServerConnection::giveBack(std::move(c));
    if (!e.ok())
        return e;
    std::vector<PosteConnecte> postes;
    for (int i = 0; i < r[0].rows(); ++i) {
        const QString nom = QString::fromUtf8(r[0].value(i, 0), r[0].length(i, 0));
        const qsizetype a = nom.indexOf(QLatin1Char('@'));
        PosteConnecte p;
        p.programme = a < 0 ? nom : nom.left(a);
        p.poste = a < 0 ? QString() : nom.mid(a + 1);
        p.utilisateur = QString::fromUtf8(r[0].value(i, 1), r[0].length(i, 1));
        const QByteArray depuis(r[0].value(i, 2), r[0].length(i, 2));
        if (!depuis.isEmpty()) // hidden from a role that may not see the other's session
            p.depuis = QDateTime::fromSecsSinceEpoch(depuis.toLongLong());
        p.ceProgramme = moi != 0 && QByteArray(r[0].value(i, 3), r[0].length(i, 3)).toInt() == moi;
        postes.push_back(p);
    }
    return postes;
}

// The sessions holding the advisory lock (CleEnregistrement, objid), named "Kip sur atelier".
Result<QString> tenantsDe(int objid)
{
    const Result<std::vector<PosteConnecte>> postes = sessionsEnregistrees(storeServer(), objid);
    if (!postes)
        return postes.error();
    return nommerPostes(*postes);
}

} // namespace

QString nomPoste()
{
    QMutexLocker lock(&g_posteMutex);
    if (g_poste.isEmpty())
        g_poste = nettoyer(QSysInfo::machineHostName());
    return g_poste.isEmpty() ? QStringLiteral("poste") : g_poste;
}

void setNomPoste(const QString& poste)
{
    QMutexLocker lock(&g_posteMutex);
    g_poste = nettoyer(poste);
}

void lireNomPoste(const QString& dataDir)
{
    QFile file(QDir(dataDir).filePath(QLatin1String(PosteFileName)));
    if (file.open(QIODevice::ReadOnly))
        setNomPoste(QString::fromUtf8(file.readLine(256)).trimmed());
}

QString nomApplication()
{
    QString programme = QCoreApplication::applicationName();
    if (programme.isEmpty())
        programme = QStringLiteral("Kip");
    return programme + QLatin1Char('@') + nomPoste();
}

FileError enregistrerPoste()
{
    const QString serveur = storeServer();
    QMutexLocker lock(&g_posteMutex);
    if (serveur.isEmpty() || (g_session && g_session->alive() && g_sessionServeur == serveur))
        return {};
    g_inscrit = true;
    delete g_session;
    g_session = nullptr;
    lock.unlock(); // nomApplication takes it
    FileError e;
    std::unique_ptr<ServerConnection> c = ServerConnection::open(serveur, &e);
    if (!c)
        return e;
    const QByteArray sql = "SELECT pg_try_advisory_lock(" + QByteArray::number(CleEnregistrement) + ", " +
                           QByteArray::number(c->backendPid()) + ")";
    (void)c->run({PgCommand::text(sql)}, &e);
    if (!e.ok())
        return e;
    lock.relock();
    if (g_session)
        return {}; // another thread registered meanwhile: this connection closes, its lock with it
    g_session = c.release();
    g_sessionServeur = serveur;
    return {};
}

void reprendrePoste()
{
    {
        QMutexLocker lock(&g_posteMutex);
        if (!g_inscrit || (g_session && g_session->alive()))
            return;
    }
    (void)enregistrerPoste();
}

void quitterPoste()
{
    QMutexLocker lock(&g_posteMutex);
    g_inscrit = false;
    // Released now, not when the server notices the closed socket: the list read next no longer holds it.
    if (g_session && g_session->healthy()) {
        FileError e;
        (void)g_session->run({PgCommand::text("SELECT pg_advisory_unlock_all()")}, &e);
    }
    delete g_session;
    g_session = nullptr;
}

bool posteEnregistre()
{
    QMutexLocker lock(&g_posteMutex);
    return g_session && g_session->alive();
}

Result<std::vector<PosteConnecte>> postesConnectes()
{
    const QString serveur = storeServer();
    if (serveur.isEmpty())
        return std::vector<PosteConnecte>{};
    return sessionsEnregistrees(serveur, std::nullopt);
}

QString nommerPostes(const std::vector<PosteConnecte>& postes)
{
    QStringList noms;
    for (const PosteConnecte& p : postes)
        noms << QStringLiteral("%1 sur %2").arg(p.programme, p.poste.isEmpty() ? QStringLiteral("?") : p.poste);
    return noms.join(QStringLiteral(", "));
}

TourServeur::TourServeur(Database& db, Travail travail) : m_db(db), m_travail(travail)
{
    if (!db.isServer())
        return;
    qint64 pris = 0;
    m_error = db.run(QStringLiteral("SELECT pg_try_advisory_lock(%1, %2)::int").arg(CleEnregistrement).arg(travail), {},
                     &pris);
    m_occupe = m_error.ok() && pris == 0;
    if (m_error.ok() && !m_occupe)
        tenir();
}

QString TourServeur::enAttenteDe() const
{
    const Result<QString> qui = tenantsDe(m_travail);
    return QStringLiteral("En attente de %1").arg(qui && !qui->isEmpty() ? *qui : QStringLiteral("un autre poste"));
}

void TourServeur::attendre()
{
    if (!m_occupe)
        return;
    m_error = m_db.run(QStringLiteral("SET lock_timeout = %1").arg(AttenteMaxMs));
    if (m_error.ok())
        m_error = m_db.run(QStringLiteral("SELECT pg_advisory_lock(%1, %2)").arg(CleEnregistrement).arg(m_travail));
    (void)m_db.run(QStringLiteral("SET lock_timeout = %1").arg(Database::DefaultWaitMs));
    m_occupe = false;
    if (m_error.ok())
        tenir();
}

void TourServeur::tenir()
{
    m_tenu = true;
    // The turn is the session's: a connection opened anew after the server's return would not hold it.
    m_db.holdSession(true);
}

TourServeur::~TourServeur()
{
    if (!m_tenu)
        return;
    // Still held while it runs: on a session the server closed, it fails at once (the lock went with it).
    (void)m_db.run(QStringLiteral("SELECT pg_advisory_unlock(%1, %2)").arg(CleEnregistrement).arg(m_travail));
    m_db.holdSession(false);
}

FileError seulSurLeServeur()
{
    const Result<std::vector<PosteConnecte>> postes = postesConnectes();
    if (!postes)
        return postes.error();
    std::vector<PosteConnecte> autres;
    for (const PosteConnecte& p : *postes)
        if (!p.ceProgramme)
            autres.push_back(p);
    if (autres.empty())
        return {};
    return plainError(QStringLiteral("d'autres postes sont connectés au serveur (%1); fermez leurs programmes "
                                     "puis recommencez")
                          .arg(nommerPostes(autres)));
}

} // namespace kip
