// The server's word that a program of another station changed the day lines or the employees. Every write of the
// store that changes them sends a notification when it commits (ServerEngine: one per table per transaction, with
// the commit); the program's listener keeps a connection of its own that listens, and tells the lists which table
// changed, once per burst. It ignores the notifications of its own program, whose windows already know what they
// wrote. When its connection breaks (the server stopped) it tries again until the server is back, then tells that
// every table may have changed: what was notified meanwhile is lost. Nothing of this on the SQLite files.
#pragma once

#include "Tache.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace kip {

class ServerConnection;

inline constexpr const char* CanalModifications = "kip_modifications";

// The notified tables a write changes, as bits (1 the day lines, 2 the employees): the table after INSERT INTO,
// UPDATE or DELETE FROM; 0 for any other statement.
int tablesEcrites(const QByteArray& sql);
// The labels of the tables of the bits.
QList<QByteArray> labelsNotifies(int tables);
// The payload of this program's notification of a table: "POINTVAL Kip@atelier 1234" (the table, the program on its
// station, its process).
QByteArray messageModification(const QByteArray& label);

class EcouteServeur : public QObject
{
    Q_OBJECT

public:
    // The program's listener on the server of its engine, made at the first call, on the calling thread (the
    // windows'); nullptr on the SQLite files. A change of engine (a test's next database) makes another.
    static EcouteServeur* programme();

    explicit EcouteServeur(const QString& conninfo, QObject* parent = nullptr);
    ~EcouteServeur() override;

    const QString& conninfo() const { return m_conninfo; }
    // Its connection is open and listening.
    bool ecoute() const;
    // The burst over which notifications give one signal per table, and the wait between two tries to reconnect.
    void setDelais(int rafaleMs, int reprisesMs);

Q_SIGNALS:
    // label: "POINTVAL" or "PERSONNEL".
    void tableModifiee(const QString& label);

private:
    // A new connection tried again on a worker (a server out of reach may take the whole connection timeout to say
    // so: never on the windows' thread); ouverte takes what it gives.
    void reprendre();
    void ouverte(std::unique_ptr<ServerConnection> connexion, bool reprise);
    void lire();
    void perdue();
    void signaler(const QString& label);
    void finRafale();

    QString m_conninfo;
    QByteArray m_moi; // "Kip@atelier 1234"
    std::unique_ptr<ServerConnection> m_connexion;
    QSocketNotifier* m_veille = nullptr;
    QTimer m_rafale;
    QTimer m_reprise;
    QSet<QString> m_enAttente;
    TacheDe<std::unique_ptr<ServerConnection>> m_ouverture;
};

} // namespace kip
