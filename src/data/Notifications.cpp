#include "Notifications.h"

#include "Base.h"
#include "Postes.h"
#include "ServerConnection.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

namespace kip {

namespace {

constexpr int RafaleMs = 200;
constexpr int ReprisesMs = 2000;

struct TableNotifiee
{
    const char* label;
    int bit;
};
constexpr TableNotifiee Notifiees[] = {{"POINTVAL", 1}, {"PERSONNEL", 2}};

QPointer<EcouteServeur> g_ecoute;

QByteArray signature()
{
    return nomApplication().toUtf8() + ' ' + QByteArray::number(QCoreApplication::applicationPid());
}

// A connection of its own that listens on the channel; nullptr while the server is out of reach.
std::unique_ptr<ServerConnection> ouvrirEcoute(const QString& conninfo)
{
    FileError e;
    std::unique_ptr<ServerConnection> c = ServerConnection::open(conninfo, &e);
    if (c)
        (void)c->run({PgCommand::text(QByteArray("LISTEN ") + CanalModifications)}, &e);
    if (!e.ok())
        c.reset();
    return c;
}

} // namespace

int tablesEcrites(const QByteArray& sql)
{
    const QByteArray s = sql.trimmed().toUpper();
    qsizetype debut = -1;
    for (const char* tete : {"INSERT INTO ", "UPDATE ", "DELETE FROM "})
        if (s.startsWith(tete))
            debut = qsizetype(qstrlen(tete));
    if (debut < 0)
        return 0;
    while (debut < s.size() && s[debut] == ' ')
        ++debut;
    qsizetype fin = debut;
    while (fin < s.size() && s[fin] != ' ' && s[fin] != '(')
        ++fin;
    const QByteArray table = s.mid(debut, fin - debut);
    for (const TableNotifiee& t : Notifiees)
        if (table == QByteArray(t.label) + '.' + t.label)
            return t.bit;
    return 0;
}

QList<QByteArray> labelsNotifies(int tables)
{
    QList<QByteArray> labels;
    for (const TableNotifiee& t : Notifiees)
        if (tables & t.bit)
            labels << QByteArray(t.label);
    return labels;
}

QByteArray messageModification(const QByteArray& label)
{
    return label + ' ' + signature();
}

EcouteServeur* EcouteServeur::programme()
{
    const QString serveur = storeServer();
    if (serveur.isEmpty())
        return nullptr;
    if (g_ecoute && g_ecoute->conninfo() == serveur)
        return g_ecoute;
    delete g_ecoute;
    // Owned by the application: it ends with it, before the connections' pool.
    g_ecoute = new EcouteServeur(serveur, QCoreApplication::instance());
    return g_ecoute;
}

EcouteServeur::EcouteServeur(const QString& conninfo, QObject* parent)
    : QObject(parent), m_conninfo(conninfo), m_moi(signature())
{
    m_rafale.setSingleShot(true);
    m_rafale.setInterval(RafaleMs);
    connect(&m_rafale, &QTimer::timeout, this, &EcouteServeur::finRafale);
    m_reprise.setInterval(ReprisesMs);
    connect(&m_reprise, &QTimer::timeout, this, &EcouteServeur::reprendre);
    connect(&m_ouverture, &Tache::terminee, this,
            [this] { ouverte(std::exchange(m_ouverture.resultat(), nullptr), true); });
    // Made as a list opens, just after the program reached the server: the first connection is made here.
    ouverte(ouvrirEcoute(m_conninfo), false);
}

EcouteServeur::~EcouteServeur() = default;

bool EcouteServeur::ecoute() const
{
    return m_connexion && m_connexion->healthy();
}

void EcouteServeur::setDelais(int rafaleMs, int reprisesMs)
{
    m_rafale.setInterval(rafaleMs);
    m_reprise.setInterval(reprisesMs);
}

void EcouteServeur::reprendre()
{
    if (!m_ouverture.enCours())
        m_ouverture.demarrer([conninfo = m_conninfo](const SuiviTache&) { return ouvrirEcoute(conninfo); });
}

void EcouteServeur::ouverte(std::unique_ptr<ServerConnection> connexion, bool reprise)
{
    if (!connexion) {
        m_reprise.start(); // the server is away: tried again later
        return;
    }
    m_reprise.stop();
    m_connexion = std::move(connexion);
    m_veille = new QSocketNotifier(qintptr(m_connexion->socket()), QSocketNotifier::Read, this);
    connect(m_veille, &QSocketNotifier::activated, this, &EcouteServeur::lire);
    // What changed while the connection was away was not heard: the lists read their page again.
    if (reprise)
        for (const TableNotifiee& t : Notifiees)
            signaler(QLatin1String(t.label));
}

void EcouteServeur::lire()
{
    std::vector<QByteArray> messages;
    if (!m_connexion || !m_connexion->notifications(CanalModifications, &messages)) {
        perdue();
        return;
    }
    for (const QByteArray& m : messages) {
        const qsizetype espace = m.indexOf(' ');
        if (espace > 0 && m.mid(espace + 1) != m_moi)
            signaler(QString::fromLatin1(m.left(espace)));
    }
}

void EcouteServeur::perdue()
{
    delete m_veille;
    m_veille = nullptr;
    m_connexion.reset();
    m_reprise.start();
}

void EcouteServeur::signaler(const QString& label)
{
    m_enAttente.insert(label);
    // The first of a burst starts the wait; the others join it, so that a steady stream still refreshes.
    if (!m_rafale.isActive())
        m_rafale.start();
}

void EcouteServeur::finRafale()
{
    const QSet<QString> tables = std::exchange(m_enAttente, {});
    for (const QString& t : tables)
        Q_EMIT tableModifiee(t);
}

} // namespace kip

#include "moc_Notifications.cpp"
