// The pause of the card-reader program as a guard: the pause request (1024) when it is made, the resume
// (1025) when it goes, whatever way its holder ends. The sender then waits before it touches the files that
// the reader writes or reads (Origin00.txt, KipGuard.txt), so that the reader finishes what it was writing.
#pragma once

namespace kip {

class GardePause
{
public:
    // The wait after the pause request, one second unless the holder injects another.
    static constexpr int AttenteMs = 1000;

    GardePause();
    ~GardePause();
    GardePause(const GardePause&) = delete;
    GardePause& operator=(const GardePause&) = delete;

    // Waits on the calling thread (a worker's; a window waits on a timer instead).
    static void attendre(int ms);
};

} // namespace kip
