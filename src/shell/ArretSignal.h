// The end asked by the system: SIGTERM (a logout, a shutdown, systemctl stop), SIGHUP (the terminal or the
// session gone) and SIGINT (Ctrl-C). None of them may end a program in the middle of a write, nor leave the
// crash marker set for a run that could have ended in order: the handler only notes the request (a flag, and
// one byte down a socket that the event loop watches) and the program ends by its ordinary way, once the work
// in hand is done. A kill -9 is still no loss: every write commits whole or not at all.
#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>

namespace kip {

class ArretSignal : public QObject
{
    Q_OBJECT
public:
    // arret runs on the event loop's thread once per signal received; by default the event loop ends. One per
    // program, for its whole run: the handler stays installed after it, and only notes the signal.
    explicit ArretSignal(std::initializer_list<int> signaux, std::function<void(int signal)> arret = {},
                         QObject* parent = nullptr);
    ~ArretSignal() override;

    // Whether one of the signals came: work that runs without the event loop (a headless pass) asks between
    // its jobs.
    static bool demande();
    static void oublier(); // tests

private:
    std::function<void(int)> m_arret;
};

} // namespace kip
