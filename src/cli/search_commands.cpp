#include "cli/commands.h"

// Placeholder until the search subcommands are written.
namespace vellumax::cli {
int runPlan(const std::vector<std::string>&) { return usageError(); }
int runCount(const std::vector<std::string>&) { return usageError(); }
int runExtract(const std::vector<std::string>&) { return usageError(); }
int runPager(const std::vector<std::string>&) { return usageError(); }
} // namespace vellumax::cli
