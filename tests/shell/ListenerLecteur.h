// A stand-in for the card-reader program: listens on its socket from a thread of its own and records the
// messages it receives, answering each with 1. Each listener takes a socket name of its own
// (KIP_LECTEUR_SOCKET, inherited by the programs the test starts), so that tests can run side by side.
#pragma once

#include "shell/LecteurCartes.h"

#include <QDir>
#include <QList>
#include <array>
#include <atomic>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

class ListenerLecteur
{
public:
    ListenerLecteur()
    {
        static std::atomic<int> serial{0};
        qputenv("KIP_LECTEUR_SOCKET",
                QByteArray("kip-lecteur-essai-") + QByteArray::number(::getpid()) + '-' + QByteArray::number(++serial));
        m_path = QDir::temp().filePath(kip::LecteurCartes::nomSocket()).toStdString();
        ::unlink(m_path.c_str());
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", m_path.c_str());
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_fd, 8);
        m_thread = std::thread([this] { serve(); });
    }
    ~ListenerLecteur()
    {
        m_stop = true;
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_thread.join();
        ::unlink(m_path.c_str());
        qunsetenv("KIP_LECTEUR_SOCKET");
    }
    // Each message as received: number and the two parameters.
    std::vector<std::array<qint32, 3>> messages()
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    // The numbers alone.
    QList<int> numeros()
    {
        std::lock_guard lock(m_mutex);
        QList<int> out;
        for (const auto& m : m_messages)
            out << m[0];
        return out;
    }

private:
    void serve()
    {
        while (!m_stop) {
            const int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0)
                return;
            qint32 frame[3];
            size_t got = 0;
            while (got < sizeof frame) {
                const ssize_t n = ::read(c, reinterpret_cast<char*>(frame) + got, sizeof frame - got);
                if (n <= 0)
                    break;
                got += size_t(n);
            }
            if (got == sizeof frame) {
                {
                    std::lock_guard lock(m_mutex);
                    m_messages.push_back({frame[0], frame[1], frame[2]});
                }
                const qint32 answer = 1;
                (void)::write(c, &answer, sizeof answer);
            }
            ::close(c);
        }
    }

    std::string m_path;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::array<qint32, 3>> m_messages;
};
