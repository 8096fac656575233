// The local socket on which Kip and kipempty find the card-reader program (its name stands for the title of
// the reader's window). A message is three little-endian 32-bit integers (number, 0, 0); the answer is one,
// sent once the message has taken effect, so that a program that asked for the pause knows that no swipe is
// being written any more.
#pragma once

#include <QObject>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace kip {

class ServeurMessages : public QObject
{
    Q_OBJECT
public:
    using Traitement = std::function<int(int numero)>;
    explicit ServeurMessages(Traitement traitement, QObject* parent = nullptr);
    ~ServeurMessages() override;

    enum class Ecoute
    {
        Ok,
        DejaLance, // another card-reader program answers on the name
        Erreur
    };
    // Listens on the name, after removing a socket that a killed run left behind. The socket is open to the
    // program's user and group.
    Ecoute ecouter(const QString& nom, QString* erreur);

    static constexpr int DelaiClientMs = 5000; // a client silent for this long is let go

private:
    void client(QLocalSocket* socket);
    void lire(QLocalSocket* socket);

    Traitement m_traitement;
    QLocalServer* m_serveur;
};

} // namespace kip
