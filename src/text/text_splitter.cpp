#include "text/text_splitter.h"

#include "text/error.h"
#include "text/file_errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {

std::vector<std::string> splitText(std::string_view text)
{
    std::vector<std::string> lines;
    forEachTextLine(text, [&](std::string_view l) { lines.emplace_back(l); });
    return lines;
}

std::string readWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(cannotOpenFileMessage(path));
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};

    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(cannotOpenFileMessage(path));

    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Error(kStreamReadError);
        done += static_cast<size_t>(n);
    }
    return bytes;
}

std::vector<std::string> loadTextLines(const std::string& path) { return splitText(readWholeFile(path)); }

} // namespace vellumax
