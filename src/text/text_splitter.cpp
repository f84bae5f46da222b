#include "text/text_splitter.h"

#include "text/error.h"
#include "text/file_errors.h"
#include "text/whole_file.h"

#include <cerrno>
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
    const WholeFile file(path);
    std::string bytes(file.size(), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(file.fd(), bytes.data() + done, bytes.size() - done);
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
