#include "ServeurMessages.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

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

ServeurMessages::~ServeurMessages() = default;

ServeurMessages::Ecoute ServeurMessages::ecouter(const QString& nom, QString* erreur)
{
    if (m_serveur->listen(nom))
        return Ecoute::Ok;
    if (m_serveur->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket essai;
        essai.connectToServer(nom);
        if (essai.waitForConnected(DelaiConnexionMs))
            return Ecoute::DejaLance;
        // Nobody answers: the socket of a run that was killed.
        QLocalServer::removeServer(nom);
        if (m_serveur->listen(nom))
            return Ecoute::Ok;
    }
    *erreur = m_serveur->errorString();
    return Ecoute::Erreur;
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
