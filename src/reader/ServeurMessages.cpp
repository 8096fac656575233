#include "ServeurMessages.h"

#include "shell/VerrouProgramme.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>
#include <unistd.h>

namespace kip {

namespace {
constexpr int TailleMessage = 12;
constexpr int DelaiConnexionMs = 300;
} // namespace

ServeurMessages::ServeurMessages(Traitement traitement, QObject* parent)
    : QObject(parent), m_traitement(std::move(traitement)), m_serveur(new QLocalServer(this))
{
    m_serveur->setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
    connect(m_serveur, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_serveur->nextPendingConnection())
            client(s);
    });
}

ServeurMessages::~ServeurMessages()
{
    // The socket goes first: the name is free only once nobody listens on it any more.
    m_serveur->close();
    if (m_verrou >= 0)
        ::close(m_verrou);
}

QString ServeurMessages::cheminSocket(const QString& nom)
{
    // A name that is not a path is made in the temporary directory, as the local server does.
    return QDir::isAbsolutePath(nom) ? nom : QDir(QDir::tempPath()).filePath(nom);
}

FileError ServeurMessages::ecouter(const QString& nom)
{
    auto erreur = [&](int code, const QString& texte) {
        FileError e = makeError(code, 0, texte);
        e.text = texte;
        e.path = cheminSocket(nom);
        return e;
    };
    if (m_verrou < 0) {
        VerrouProgramme::Resultat r = VerrouProgramme::Erreur;
        m_verrou = verrouillerFichier(cheminVerrou(nom), &r);
        if (r == VerrouProgramme::Occupe)
            return erreur(Locked, QStringLiteral("un autre kipguard écoute déjà sur %1").arg(cheminSocket(nom)));
        if (m_verrou < 0)
            return erreur(DriverError, QStringLiteral("verrou %1 impossible à prendre").arg(cheminVerrou(nom)));
    }
    // A reader of an older kind holds no lock: one that still answers on the name keeps it.
    QLocalSocket essai;
    essai.connectToServer(nom);
    if (essai.waitForConnected(DelaiConnexionMs))
        return erreur(Locked, QStringLiteral("un autre kipguard écoute déjà sur %1").arg(cheminSocket(nom)));
    // Whatever socket is left there is a killed reader's.
    QLocalServer::removeServer(nom);
    if (!m_serveur->listen(nom))
        return erreur(DriverError,
                      QStringLiteral("écoute impossible sur %1: %2").arg(cheminSocket(nom), m_serveur->errorString()));
    return {};
}

void ServeurMessages::client(QLocalSocket* socket)
{
    auto* delai = new QTimer(socket);
    delai->setSingleShot(true);
    connect(delai, &QTimer::timeout, socket, &QLocalSocket::abort);
    delai->start(DelaiClientMs);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { lire(socket); });
    // What came with the connection itself is read at once.
    lire(socket);
}

void ServeurMessages::lire(QLocalSocket* socket)
{
    while (socket->bytesAvailable() >= TailleMessage) {
        char trame[TailleMessage];
        socket->read(trame, TailleMessage);
        const int reponse = m_traitement(qFromLittleEndian<qint32>(trame));
        char sortie[4];
        qToLittleEndian<qint32>(reponse, sortie);
        socket->write(sortie, sizeof sortie);
        socket->flush();
    }
}

} // namespace kip

#include "moc_ServeurMessages.cpp"
