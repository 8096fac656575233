// The day initialisation and the transfer run on worker threads, each with its own connection, and report
// their progress by queued signals, so that windows stay responsive.
#pragma once

#include "InitialiserJournees.h"
#include "TransfertPointages.h"

#include <QFuture>
#include <QObject>

namespace kip {

class TacheInitialisation : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TacheInitialisation() override { m_future.waitForFinished(); }
    // Starts the preparation on a worker thread; terminee follows.
    void lancer(const QString& dataDir, qint32 aujourdhui);

Q_SIGNALS:
    void progression(int fait, int total, qint16 carte, const QString& nom);
    void terminee(int employes, const QString& erreur);

private:
    QFuture<void> m_future;
};

class TacheTransfert : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // A window closed while its job runs waits for the job: the day lines are committed or not at all.
    ~TacheTransfert() override { m_future.waitForFinished(); }
    // Starts the reading on a worker thread; lue follows with the result.
    void lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui);
    const ResultatTransfert& resultat() const { return m_resultat; }

Q_SIGNALS:
    void progression(int fait, int total);
    void personne(qint16 carte, const QString& nom);
    void lue();

private:
    ResultatTransfert m_resultat;
    QFuture<void> m_future;
};

// The number of lines of the raw file (0 when it is missing).
int lignesOrigine(const QString& originPath);

} // namespace kip
