// The unattended pass of kipempty, in one place: the day initialisation, then the transfer, which decides
// alone (archive when nothing was rejected, keep the raw file otherwise). It reports to a sink: the headless
// run writes to standard error, kipempty's progress window shows the same, and tests read it.
#pragma once

#include "InitialiserJournees.h"
#include "TransfertPointages.h"

#include <QString>

namespace kip {

class SuiviPassage
{
public:
    virtual ~SuiviPassage() = default;
    // A step and its progress: "Initialisation des journées", then "Transfert des pointages".
    virtual void etape(const QString& titre, int fait, int total) = 0;
    // A rejected punch ("Numéro inconnu: 77 le ...").
    virtual void rejet(const QString& texte) = 0;
    // A line of the report: the figures of the transfer, what became of the raw file, a job that failed.
    virtual void rapport(const QString& ligne) = 0;
    // Asked once the day initialisation is over: true ends the pass there (the window was closed).
    virtual bool arretDemande() { return false; }
};

// The sink of a run without a display: one line per step and its last figures, then the report, on
// standard error. Called from the pass's thread.
class SuiviSortieErreur : public SuiviPassage
{
public:
    void etape(const QString& titre, int fait, int total) override;
    void rejet(const QString& texte) override;
    void rapport(const QString& ligne) override;

private:
    QString m_derniereEtape;
};

struct [[nodiscard]] ResultatPassage
{
    ResultatInitialisation initialisation;
    ResultatSansSurveillance transfert;
    bool transfertFait = false; // false when the pass ended after the day initialisation
    // 0 when every job wrote what it had to; 1 when a job could not write its lines, the raw file could not be
    // read or could not be archived.
    int codeSortie() const;
};

// Runs the pass on the calling thread with its connection (a worker's own).
ResultatPassage PassageSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui, SuiviPassage& suivi);

// The figures of a reading, as the report gives them.
QString resumeTransfert(const ResultatTransfert& r);

} // namespace kip
