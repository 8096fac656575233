// A benchmark case run in a child process with an application of its own, so that the peak memory it reports is
// the case's alone: the child's result (a record of plain values) comes back through a pipe, with the child's
// resource usage.
#pragma once

#include <QGuiApplication>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <type_traits>
#include <unistd.h>

template <class M> M mesurerDansUnEnfant(const char* programme, const std::function<M()>& work, struct rusage* usage)
{
    static_assert(std::is_trivially_copyable_v<M>, "the result crosses a pipe as bytes");
    M m{};
    *usage = {};
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return m;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        int argc = 1;
        std::string nom = programme;
        char* argv[] = {nom.data(), nullptr};
        QGuiApplication app(argc, argv);
        const M r = work();
        (void)::write(pipeFd[1], &r, sizeof r);
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    (void)::read(pipeFd[0], &m, sizeof m);
    ::close(pipeFd[0]);
    int status = 0;
    ::wait4(pid, &status, 0, usage);
    return m;
}
