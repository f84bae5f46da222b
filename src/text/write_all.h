#pragma once

#include "text/file_errors.h"

#include <cerrno>
#include <string_view>
#include <unistd.h>

namespace vellumax {

// Writes every byte, through interrupted and short writes. Throws FileError;
// a write that takes nothing is a full disk.
inline void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throwFileError(n == 0 ? ENOSPC : errno);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

} // namespace vellumax
