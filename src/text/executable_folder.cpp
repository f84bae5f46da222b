#include "text/executable_folder.h"

#include <climits>
#include <unistd.h>

namespace vellumax {

std::string executableFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    std::string full(path, static_cast<size_t>(n));
    return full.substr(0, full.rfind('/') + 1);
}

} // namespace vellumax
