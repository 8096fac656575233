// The day initialisation and the transfer run on worker threads, each with its own connection, and report
// their progress by queued signals, so that windows stay responsive. Their files are opened through the open
// counts on the calling (GUI) thread before the work starts, so that a message of the common open is never
// waited for by a worker while the GUI thread waits for that worker; they are held until the job is destroyed.
// Destroying a job waits for its work: its day lines are committed or not at all.
#pragma once

#include "InitialiserJournees.h"
#include "TransfertPointages.h"
#include "data/Files.h"

#include <QFuture>
#include <QObject>
#include <memory>
#include <vector>

namespace kip {

class TacheInitialisation : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TacheInitialisation() override;
    // Starts the preparation on a worker thread; terminee follows.
    void lancer(const QString& dataDir, qint32 aujourdhui);

Q_SIGNALS:
    void progression(int fait, int total, qint16 carte, const QString& nom);
    void terminee(int employes, const QString& erreur);

private:
    std::vector<std::unique_ptr<FileUse>> m_fichiers;
    QFuture<void> m_future;
};

class TacheTransfert : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // A window closed while its job runs waits for the job: the day lines are committed or not at all.
    ~TacheTransfert() override;
    // Starts the reading on a worker thread; lue follows with the result.
    void lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui);
    const ResultatTransfert& resultat() const { return m_resultat; }

Q_SIGNALS:
    void progression(int fait, int total);
    void personne(qint16 carte, const QString& nom);
    void lue();

private:
    ResultatTransfert m_resultat;
    std::vector<std::unique_ptr<FileUse>> m_fichiers;
    QFuture<void> m_future;
};

// The files of the day initialisation and of the transfer, opened through their open counts.
std::vector<std::unique_ptr<FileUse>> ouvrirFichiersPointage();

} // namespace kip
