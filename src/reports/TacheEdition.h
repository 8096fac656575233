// A report run on a worker thread with its own connection: the progress and the end reach the caller by
// queued signals, so that the window that shows the progress stays responsive, and "&Annuler" is seen
// after the record in hand.
#pragma once

#include "ExecutionEdition.h"

#include <QFuture>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

namespace kip {

class TacheEdition : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // A run still going is stopped, and waited for: it never waits for this thread.
    ~TacheEdition() override;

    // Starts the report; terminee follows on this object's thread, the result in resultat().
    void lancer(const QString& dataDir, std::unique_ptr<Edition> edition, const ParametresEdition& parametres,
                const MiseEnPage& miseEnPage);
    void annuler() { m_annuler = true; }
    bool enCours() const { return m_future.isRunning(); }
    ResultatEdition& resultat() { return m_resultat; }

    // Called on the worker at each new percentage, before it is signalled; tests hold the run with it.
    std::function<void(int pourcent)> etape;

Q_SIGNALS:
    void progression(int pourcent);
    void terminee();

private:
    std::atomic<bool> m_annuler{false};
    std::unique_ptr<Edition> m_edition;
    ResultatEdition m_resultat;
    QFuture<void> m_future;
};

} // namespace kip
