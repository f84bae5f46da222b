#include "cli/commands.h"

// Placeholder until the merge subcommand is written.
namespace vellumax::cli {
int runMerge(const std::vector<std::string>&) { return usageError(); }
} // namespace vellumax::cli
