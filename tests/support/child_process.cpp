#include "support/child_process.h"

#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellumax::test {

std::string runInChild(const std::function<void()>& prepare, const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "<pipe failed>";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "<fork failed>";
    if (pid == 0) {
        ::close(fds[0]);
        prepare();
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("<exception> ") + e.what();
        }
        ssize_t ignored = ::write(fds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fds[0], chunk, sizeof chunk)) > 0)
        report.append(chunk, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed>";
    return report;
}

std::string runAsNobody(const std::function<std::string()>& body)
{
    return runInChild(
        [] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
        },
        body);
}

std::string runWithFileSizeLimit(long bytes, const std::function<std::string()>& body)
{
    return runInChild(
        [bytes] {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit {static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(3);
        },
        body);
}

} // namespace vellumax::test
