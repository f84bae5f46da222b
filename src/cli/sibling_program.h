#pragma once

#include <string>
#include <vector>

namespace vellumax::cli {

// A program of this tool's own that does the heavy part of a subcommand:
// beside this program in a build tree, in the program's own folder under
// lib/ once installed.
std::string siblingProgramPath(const std::string& name);

// Replaces this process by `program` with `args` (the program's name first).
// Returns only when that fails, with the failure reported (exit code 1).
int execProgram(const std::string& program, std::vector<std::string> args);

} // namespace vellumax::cli
