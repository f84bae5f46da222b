#pragma once

#include <string>
#include <vector>

namespace vellumax::cli {

// Each subcommand takes the words after its name and returns the exit code:
// 0 done, 1 a file could not be read or written, 2 a wrong call.
int runPlan(const std::vector<std::string>& args);
int runCount(const std::vector<std::string>& args);
int runExtract(const std::vector<std::string>& args);
int runPager(const std::vector<std::string>& args);
int runMerge(const std::vector<std::string>& args);

// Prints the usage text to stderr and returns 2.
int usageError();

} // namespace vellumax::cli
