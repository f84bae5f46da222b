#include "cli_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellumax::test {

CliResult runCli(const std::vector<std::string>& args, const std::string& input)
{
    return runProgram(VELLUMAX_CLI, args, input);
}

CliResult runProgram(const char* program, const std::vector<std::string>& args, const std::string& input,
                     const std::function<void()>& prepare)
{
    int in[2], out[2], err[2];
    if (::pipe(in) || ::pipe(out) || ::pipe(err))
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            ::close(fd);
        if (prepare)
            prepare();
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);

    CliResult result;
    size_t written = 0;
    if (input.empty()) {
        ::close(in[1]);
        in[1] = -1;
    } else {
        ::fcntl(in[1], F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    char chunk[65536];
    while (outOpen || errOpen) {
        pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
        ::poll(fds, in[1] >= 0 ? 3 : 2, -1);
        if (in[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<size_t>(n);
            if (n < 0 || written == input.size()) {
                ::close(in[1]);
                in[1] = -1;
            }
        }
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0)
                (i == 0 ? result.out : result.err).append(chunk, static_cast<size_t>(n));
            else
                (i == 0 ? outOpen : errOpen) = false;
        }
    }
    if (in[1] >= 0)
        ::close(in[1]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

} // namespace vellumax::test
