// The card reader's pause as a guard: made by sending the pause request, it sends the resume request once,
// when it is destroyed or asked to resume, whatever ends the work it protects. It can be handed over (moved)
// from the start-up to the frame and on to the transfer; only the last holder resumes. The sender then waits
// before it touches the files that the reader writes or reads (Origin00.txt, KipGuard.txt), so that the
// reader finishes what it was writing.
#pragma once

#include "LecteurCartes.h"

namespace kip {

class PauseLecteur
{
public:
    // The wait after the pause request, one second unless the holder injects another.
    static constexpr int AttenteMs = 1000;
    // Waits on the calling thread (a worker's; a window waits on a timer instead).
    static void attendre(int ms);

    // Holds no pause.
    PauseLecteur() = default;
    // Sends the pause request through the link; the guard then holds the pause.
    static PauseLecteur demander(const LecteurCartes& lecteur = LecteurCartes::programme());

    PauseLecteur(PauseLecteur&& other) noexcept;
    // Resumes the pause held before taking the other's.
    PauseLecteur& operator=(PauseLecteur&& other) noexcept;
    PauseLecteur(const PauseLecteur&) = delete;
    PauseLecteur& operator=(const PauseLecteur&) = delete;
    ~PauseLecteur();

    bool active() const { return m_lecteur != nullptr; }
    // Sends the resume request when a pause is held; afterwards the guard holds none.
    void reprendre();

    // For a program that stops at once (a stopping message), where no destructor runs: sends the resume
    // request of the pause still held, if any, from whatever thread stops.
    static void reprendreAvantArret();

private:
    explicit PauseLecteur(const LecteurCartes* lecteur) : m_lecteur(lecteur) {}

    const LecteurCartes* m_lecteur = nullptr;
};

} // namespace kip
