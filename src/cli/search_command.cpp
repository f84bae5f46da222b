// search: a whole search run without a window. The run needs the browser
// engine, which the other subcommands must not pay for at start-up: it runs
// in the search program beside this one, which this subcommand execs once
// the call is known to be right.
#include "cli/commands.h"
#include "cli/search_options.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace vellumax::cli {
namespace {

constexpr const char* kSearchProgram = "vellumax-search";

std::string ownFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    const std::string self(path, static_cast<size_t>(n));
    return self.substr(0, self.rfind('/') + 1);
}

// Beside this program in a build tree; in the program's own folder under
// lib/ once installed.
std::string searchProgramPath()
{
    const std::string folder = ownFolder();
    for (const std::string& candidate :
         {folder + kSearchProgram, folder + "../lib/vellumax/" + kSearchProgram}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return folder + kSearchProgram;
}

int runSearch(const SearchOptions& options)
{
    const std::string program = searchProgramPath();
    std::vector<std::string> args = searchArguments(options);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    return reportFailure(program + ": " + std::strerror(errno));
}

} // namespace

void addSearchCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("search", kSearchUsage);
    auto options = std::make_shared<SearchOptions>();
    declareSearchOptions(*sub, *options);
    sub->callback([&run, options] { run = [options] { return runSearch(*options); }; });
}

} // namespace vellumax::cli
