// The local socket on which Kip and kipempty find the card-reader program (its name stands for the title of
// the reader's window). A message is three little-endian 32-bit integers (number, 0, 0); the answer is one,
// sent once the message has taken effect, so that a program that asked for the pause knows that no swipe is
// being written any more.
//
// One reader per name: the socket file alone cannot say whether its reader still lives (the system's own
// listen replaces a socket file in place), so a lock on a file beside it is held for the reader's life; the
// system drops it when the process dies, killed or not, and the next reader takes the name over.
#pragma once

#include "data/FileError.h"

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

    // Listens on the name, after removing a socket that a killed run left behind. The socket is open to the
    // program's user and group. Error 32 (Locked) when another card-reader program listens on the name: its
    // socket is left as it is.
    FileError ecouter(const QString& nom);

    // The socket file of a name, and the lock file beside it.
    static QString cheminSocket(const QString& nom);
    static QString cheminVerrou(const QString& nom) { return cheminSocket(nom) + QStringLiteral(".lck"); }

    static constexpr int DelaiClientMs = 5000; // a client silent for this long is let go

private:
    void client(QLocalSocket* socket);
    void lire(QLocalSocket* socket);

    Traitement m_traitement;
    QLocalServer* m_serveur;
    int m_verrou = -1; // the descriptor that holds the lock of the name, for the object's life
};

} // namespace kip
