// search: a whole search run without a window. The run needs the browser
// engine, which the other subcommands must not pay for at start-up: it runs
// in the search program beside this one, which this subcommand execs once
// the call is known to be right.
#include "cli/commands.h"
#include "options/search_options.h"
#include "cli/sibling_program.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

namespace vellumax::cli {
namespace {

constexpr const char* kSearchProgram = "vellumax-search";

int runSearch(const SearchOptions& options)
{
    const std::string program = siblingProgramPath(kSearchProgram);
    std::vector<std::string> args = searchArguments(options);
    args.insert(args.begin(), program);
    return execProgram(program, std::move(args));
}

} // namespace

void addSearchCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("search");
    auto options = std::make_shared<SearchOptions>();
    declareSearchOptions(*sub, *options);
    sub->callback([&run, options] { run = [options] { return runSearch(*options); }; });
}

} // namespace vellumax::cli
