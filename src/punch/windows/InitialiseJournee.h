// The day initialisation window: prepares the day lines of the sliding period on a worker thread, shows
// its progress, and in the programs that transfer, starts the origin transfer when it ends.
#pragma once

#include "shell/Program.h"
#include "shell/windows/FenetreTravail.h"

class QLabel;
class QProgressBar;

namespace kip {

class TacheInitialisation;

class InitialiseJournee : public FenetreTravail
{
    Q_OBJECT

public:
    explicit InitialiseJournee(Cadre& cadre);
    ~InitialiseJournee() override;

protected:
    void lancer() override;

private:
    void terminer(const QString& erreur);

    QProgressBar* m_barre = nullptr;
    QLabel* m_personne = nullptr;
    TacheInitialisation* m_tache = nullptr;
};

// Registers the day initialisation and, for the programs that have it, the origin transfer.
void enregistrerFenetresPointage(Program programme);

} // namespace kip
