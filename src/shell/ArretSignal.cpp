#include "ArretSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kip {

namespace {

int g_tube[2] = {-1, -1};
std::atomic<int> g_ecriture{-1}; // the end the handler writes to, -1 once the program no longer listens
std::atomic<bool> g_demande{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "read and set from a signal handler");

// Only what is safe in a signal handler: lock-free atomics, and the signal's number down a socket.
void signaler(int numero)
{
    g_demande.store(true);
    const int fd = g_ecriture.load();
    if (fd < 0)
        return;
    const unsigned char c = static_cast<unsigned char>(numero);
    [[maybe_unused]] const ssize_t n = ::write(fd, &c, 1);
}

} // namespace

ArretSignal::ArretSignal(std::initializer_list<int> signaux, std::function<void(int)> arret, QObject* parent)
    : QObject(parent), m_arret(std::move(arret))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_tube) != 0)
        return;
    g_ecriture.store(g_tube[0]);
    auto* notificateur = new QSocketNotifier(g_tube[1], QSocketNotifier::Read, this);
    connect(notificateur, &QSocketNotifier::activated, this, [this] {
        unsigned char c = 0;
        while (::read(g_tube[1], &c, 1) == 1) {
            if (m_arret)
                m_arret(int(c));
            else
                QCoreApplication::quit();
        }
    });
    struct sigaction action = {};
    action.sa_handler = signaler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : signaux)
        ::sigaction(s, &action, nullptr);
}

ArretSignal::~ArretSignal()
{
    // The handler stays: a signal that comes while the program is ending in order anyway must not turn that
    // end into a death by signal. It only sets the flag from now on.
    g_ecriture.store(-1);
    ::close(g_tube[0]);
    ::close(g_tube[1]);
    g_tube[0] = g_tube[1] = -1;
}

bool ArretSignal::demande()
{
    return g_demande.load();
}

void ArretSignal::oublier()
{
    g_demande.store(false);
}

} // namespace kip

#include "moc_ArretSignal.cpp"
