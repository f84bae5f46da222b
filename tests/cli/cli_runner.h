#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vellumax::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built vellumax-cli with `args`, feeding `input` on its standard
// input, and collects what it prints.
CliResult runCli(const std::vector<std::string>& args, const std::string& input = {});

// The same for another program of the tool's. `prepare` runs in the child
// just before the program starts: it may replace the standard input (by one
// that cannot be read, say) or change the environment.
CliResult runProgram(const char* program, const std::vector<std::string>& args, const std::string& input = {},
                     const std::function<void()>& prepare = {});

} // namespace vellumax::test
