// vellumax-cli: batch work on keyword lists, saved result pages and number
// files, over the same rules as the window. The number commands run in the
// number program beside it, and the search in the search program, so that
// the phone-number library and the browser engine cost the other
// subcommands nothing at start-up.
#include "cli/frame.h"
#include "cli/number_options.h"
#include "cli/sibling_program.h"

int main(int argc, char** argv)
{
    using namespace vellumax::cli;
    // A right call of classify, filter or stats goes on in the number program,
    // with the same arguments.
    const auto handOver = [argc, argv] {
        const std::string program = siblingProgramPath("vellumax-numbers");
        std::vector<std::string> args(argv, argv + argc);
        args.front() = program;
        return execProgram(program, std::move(args));
    };
    const NumberCommandRunners numberRunners{[handOver](const ClassifyOptions&) { return handOver(); },
                                             [handOver](const FilterOptions&) { return handOver(); },
                                             [handOver](const StatsOptions&) { return handOver(); }};
    return runCommandLine(argc, argv, [&numberRunners](CLI::App& cli, CommandRun& run) {
        addPlanCommand(cli, run);
        addCountCommand(cli, run);
        addExtractCommand(cli, run);
        addPagerCommand(cli, run);
        addMergeCommand(cli, run);
        addClassifyCommand(cli, run, numberRunners);
        addFilterCommand(cli, run, numberRunners);
        addStatsCommand(cli, run, numberRunners);
        addSearchCommand(cli, run);
    });
}
