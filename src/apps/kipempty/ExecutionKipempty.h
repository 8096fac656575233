// The run of kipempty after its start-up: the unattended pass, reported to standard error and, when there is
// a display, to a small progress window as well (the pass then runs on a worker thread); then the end: the card reader
// resumed, the failures told by their numbered messages, the crash marker cleared. Closing the progress window ends the
// pass after the job in hand, which commits first; the end is the same.
#pragma once

#include "data/Tache.h"
#include "punch/PassageSansSurveillance.h"
#include "shell/PauseLecteur.h"

#include <QObject>
#include <memory>
#include <vector>

class QWidget;

namespace kip {

class Demarrage;
class FenetreKipempty;
class FileUse;

class ExecutionKipempty : public QObject
{
    Q_OBJECT

public:
    // demarrage has opened the program's files; its reader pause is taken over. fenetre: show the progress
    // window (a display is at hand); the application then no longer ends when its last window closes.
    ExecutionKipempty(Demarrage& demarrage, bool fenetre);
    // Waits for a pass still running: its lines are committed or not at all.
    ~ExecutionKipempty() override;

    // Starts the pass; terminee follows, on this thread, once everything is over.
    void demarrer();
    QWidget* fenetre() const;

Q_SIGNALS:
    void terminee(int codeSortie);

private:
    void finPassage(const ResultatPassage& r);

    Demarrage& m_demarrage;
    PauseLecteur m_pause;
    FenetreKipempty* m_fenetre = nullptr;
    std::vector<std::unique_ptr<FileUse>> m_fichiers;
    // The pass on a worker, when there is a window; closing the window asks it to stop.
    TacheDe<ResultatPassage> m_passage;
};

} // namespace kip
