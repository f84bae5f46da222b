#pragma once

#include "text/line_writer.h"

#include <functional>
#include <memory>
#include <string>

namespace CLI {
class App;
}

namespace vellumax::cli {

// What the chosen subcommand runs once the command line is parsed: it
// returns the exit code, 0 done, 1 a file could not be read or written.
// A wrong call never gets here: the parser exits with 2 and the usage.
using CommandRun = std::function<int()>;

// Each subcommand declares its arguments on `cli`, with its lines of the
// usage text as its description, and sets `run` when it is the one chosen.
void addPlanCommand(CLI::App& cli, CommandRun& run);
void addCountCommand(CLI::App& cli, CommandRun& run);
void addExtractCommand(CLI::App& cli, CommandRun& run);
void addPagerCommand(CLI::App& cli, CommandRun& run);
void addMergeCommand(CLI::App& cli, CommandRun& run);
void addSearchCommand(CLI::App& cli, CommandRun& run);

// Every failure the tool reports, in one form: "vellumax-cli: " and the
// message (GBK, printed as UTF-8) on stderr. Returns the exit code 1.
int reportFailure(const std::string& message);

// A line writer for an output file; one that cannot be created throws Error
// "Cannot create file %s", as the merge reports it.
std::unique_ptr<LineWriter> createOutput(const std::string& path);

} // namespace vellumax::cli
