// Start-up of `vellumax-cli count` on a small keyword file: the median over
// many fresh processes, beside a bare process (/bin/true) started the same
// way and, when given, another build of vellumax-cli (the one before a
// change) on the same file. The search command's browser engine lives in a
// program of its own and must cost the other subcommands nothing.
//
//   cli_startup_bench [RUNS] [OTHER_VELLUMAX_CLI]    default 200 runs

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

void runOnce(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

double seconds(const std::vector<std::string>& command)
{
    const auto start = std::chrono::steady_clock::now();
    runOnce(command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Median wall time of each command, the commands taking turns so that a
// busy moment of the machine falls on all of them alike.
std::vector<double> medians(int runs, const std::vector<std::vector<std::string>>& commands)
{
    std::vector<std::vector<double>> times(commands.size());
    for (int i = 0; i < runs; ++i)
        for (size_t c = 0; c < commands.size(); ++c)
            times[c].push_back(seconds(commands[c]));
    std::vector<double> result;
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        result.push_back(t[t.size() / 2]);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string cli = VELLUMAX_CLI;
    QTemporaryDir folder;
    const std::string keywords = folder.filePath("k.txt").toStdString();
    if (FILE* f = std::fopen(keywords.c_str(), "w")) {
        std::fputs("a\r\nb\r\nc\r\n", f);
        std::fclose(f);
    }

    std::vector<std::vector<std::string>> commands = {{"/bin/true"}, {cli, "count", keywords}};
    if (argc > 2)
        commands.push_back({argv[2], "count", keywords});
    const std::vector<double> m = medians(runs, commands);
    std::printf("vellumax-cli count: %.2f ms; /bin/true: %.2f ms; ratio %.2f\n", m[1] * 1e3, m[0] * 1e3, m[1] / m[0]);
    if (argc > 2)
        std::printf("%s count: %.2f ms; this build / that build: %.3f\n", argv[2], m[2] * 1e3, m[1] / m[2]);
    return 0;
}
