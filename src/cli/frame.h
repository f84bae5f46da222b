#pragma once

#include "cli/commands.h"

#include <functional>

namespace vellumax::cli {

// Declares a program's subcommands on `cli`, each setting `run` when it is
// the one chosen.
using CommandDeclarations = std::function<void(CLI::App& cli, CommandRun& run)>;

// Parses the command line over the subcommands `declare` puts in, runs the
// chosen one and returns the exit code: 0 done, 1 a failure, 2 a wrong call
// (with the usage).
int runCommandLine(int argc, char** argv, const CommandDeclarations& declare);

} // namespace vellumax::cli
