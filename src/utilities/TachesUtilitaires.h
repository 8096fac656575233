// The long work of the utilities window runs on worker threads, each with its own connections, and reports
// by queued signals, so that the window stays responsive. A window closed while its job runs waits for the
// job: a purge or a restore finishes whole or not at all.
#pragma once

#include "Purge.h"
#include "Restauration.h"
#include "SauvegardeManuelle.h"

#include <QFuture>
#include <QObject>

namespace kip {

class TachePurge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TachePurge() override { m_future.waitForFinished(); }
    void lancer(const QString& dataDir, qint32 finPurge);
    const ResultatPurge& resultat() const { return m_resultat; }

Q_SIGNALS:
    void progression(int fait, int total);
    void terminee();

private:
    ResultatPurge m_resultat;
    QFuture<void> m_future;
};

class TacheSauvegarde : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TacheSauvegarde() override { m_future.waitForFinished(); }
    void lancer(const Paths& p, qint32 aujourdhui, int attentePauseMs);
    const ResultatSauvegardeManuelle& resultat() const { return m_resultat; }

Q_SIGNALS:
    void terminee();

private:
    ResultatSauvegardeManuelle m_resultat;
    QFuture<void> m_future;
};

class TacheRestauration : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TacheRestauration() override { m_future.waitForFinished(); }
    void lancer(const Paths& p, const CopieRestaurable& source, int attentePauseMs);
    const ResultatRestauration& resultat() const { return m_resultat; }

Q_SIGNALS:
    void progression(int etape, int total, const QString& texte);
    void terminee();

private:
    ResultatRestauration m_resultat;
    QFuture<void> m_future;
};

} // namespace kip
