#include "LecteurCartes.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QtEndian>

namespace kip {

namespace {
constexpr int ConnectMs = 300;
constexpr int AnswerMs = 2000;
} // namespace

LecteurCartes& LecteurCartes::programme()
{
    static LecteurCartes link;
    return link;
}

QString LecteurCartes::nomSocket()
{
    const QString autre = qEnvironmentVariable("KIP_LECTEUR_SOCKET");
    if (!autre.isEmpty())
        return autre;
    const QByteArray hash = QCryptographicHash::hash(titreFenetre().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("kip-lecteur-") + QString::fromLatin1(hash.left(16));
}

void LecteurCartes::chercher()
{
    m_nom = nomSocket();
    QLocalSocket s;
    s.connectToServer(m_nom);
    m_trouve = s.waitForConnected(ConnectMs);
    m_cherche = true;
    s.abort();
}

int LecteurCartes::envoyer(int message) const
{
    if (!m_trouve)
        return 0;
    QLocalSocket s;
    s.connectToServer(m_nom);
    if (!s.waitForConnected(ConnectMs))
        return 0;
    char frame[12];
    qToLittleEndian<qint32>(message, frame);
    qToLittleEndian<qint32>(0, frame + 4);
    qToLittleEndian<qint32>(0, frame + 8);
    s.write(frame, sizeof frame);
    s.waitForBytesWritten(AnswerMs);
    int answer = 0;
    while (s.bytesAvailable() < 4 && s.waitForReadyRead(AnswerMs)) {
    }
    if (s.bytesAvailable() >= 4) {
        char buf[4];
        s.read(buf, 4);
        answer = qFromLittleEndian<qint32>(buf);
    }
    s.disconnectFromServer();
    return answer;
}

} // namespace kip
