#pragma once

#include "cli/number_options.h"

namespace vellumax::cli {

// Parses the command line, runs the chosen subcommand and returns the exit
// code: 0 done, 1 a failure, 2 a wrong call (with the usage).
int runCommandLine(int argc, char** argv, const NumberCommandRunners& numberRunners);

} // namespace vellumax::cli
