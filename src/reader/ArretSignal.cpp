#include "ArretSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kip {

namespace {

int g_tube[2] = {-1, -1};

// Only what is safe in a signal handler: one byte down a socket that the event loop watches.
void signaler(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_tube[0], &c, 1);
}

} // namespace

ArretSignal::ArretSignal(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_tube) != 0)
        return;
    auto* notificateur = new QSocketNotifier(g_tube[1], QSocketNotifier::Read, this);
    connect(notificateur, &QSocketNotifier::activated, this, [] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_tube[1], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = signaler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

ArretSignal::~ArretSignal()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::close(g_tube[0]);
    ::close(g_tube[1]);
    g_tube[0] = g_tube[1] = -1;
}

} // namespace kip

#include "moc_ArretSignal.cpp"
