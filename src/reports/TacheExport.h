// The payroll export run on a worker thread with its own connection, as a report runs (TacheEdition): the
// progress and the end reach the caller by queued signals, and "&Annuler" is seen after the record in hand.
#pragma once

#include "ExportPaie.h"

#include <QFuture>
#include <QObject>
#include <atomic>

namespace kip {

class TacheExport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // A run still going is stopped, and waited for: it never waits for this thread.
    ~TacheExport() override;

    void lancer(const QString& dataDir, GenreExport genre, const ParametresEdition& parametres,
                const SeuilsPaie& seuils, const QString& chemin);
    void annuler() { m_annuler = true; }
    const ResultatExport& resultat() const { return m_resultat; }

Q_SIGNALS:
    void progression(int pourcent);
    void terminee();

private:
    std::atomic<bool> m_annuler{false};
    ResultatExport m_resultat;
    QFuture<void> m_future;
};

} // namespace kip
