#pragma once

#include "cli/commands.h"

#include <functional>
#include <string>
#include <vector>

namespace vellumax::cli {

// The arguments of classify and filter. Declaring and checking them needs no
// phone-number library; running them does, and that runs in the number
// program beside this one, so that the other subcommands never load it.
struct ClassifyOptions {
    std::vector<std::string> inputs;
    std::string output; // empty: stdout
    bool utf8 = false;
};

struct FilterOptions {
    std::string output;
    std::vector<std::string> inputs;
    bool validOnly = false;
    std::string kind;                 // "", "fixed" or "mobile"
    std::vector<std::string> regions; // UTF-8, as typed
};

struct StatsOptions {
    std::vector<std::string> tables;
    std::string csv; // empty: no CSV file
    bool utf8 = false;
};

// How the chosen number command runs: in this process, or by handing the
// whole command line to the number program.
struct NumberCommandRunners {
    std::function<int(const ClassifyOptions&)> classify;
    std::function<int(const FilterOptions&)> filter;
    std::function<int(const StatsOptions&)> stats;
};

void addClassifyCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners);
void addFilterCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners);
void addStatsCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners);

// The commands at work (classify_command.cpp, filter_command.cpp,
// stats_command.cpp); only the number program has them.
int runClassify(const ClassifyOptions& options);
int runFilter(const FilterOptions& options);
int runStats(const StatsOptions& options);

} // namespace vellumax::cli
