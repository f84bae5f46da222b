#include "cli/sibling_program.h"

#include "cli/commands.h"
#include "program_info.h"

#include "text/executable_folder.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vellumax::cli {

std::string siblingProgramPath(const std::string& name)
{
    const std::string folder = executableFolder();
    for (const std::string& candidate : {folder + name, folder + VELLUMAX_PROGRAM_DIR_FROM_BIN + name}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return folder + name;
}

int execProgram(const std::string& program, std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    return reportFailure(program + ": " + std::strerror(errno));
}

} // namespace vellumax::cli
