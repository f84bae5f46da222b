// vellumax-numbers: the number commands at work, started by
// `vellumax-cli classify`, `filter` and `stats` with their arguments.
#include "cli/frame.h"
#include "cli/number_options.h"

int main(int argc, char** argv)
{
    using namespace vellumax::cli;
    const NumberCommandRunners numberRunners{runClassify, runFilter, runStats};
    return runCommandLine(argc, argv, [&numberRunners](CLI::App& cli, CommandRun& run) {
        addClassifyCommand(cli, run, numberRunners);
        addFilterCommand(cli, run, numberRunners);
        addStatsCommand(cli, run, numberRunners);
    });
}
