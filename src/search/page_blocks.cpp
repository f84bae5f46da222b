#include "search/page_blocks.h"

#include "text/error.h"
#include "text/file_errors.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace vellumax {

void readPageBlocks(int fd, std::optional<size_t> size, size_t blockSize,
                    const std::function<void(std::string_view piece)>& piece)
{
    // One buffer for the whole read: the rest of the last line stays at its
    // front and the next block goes behind it.
    size_t capacity = blockSize * 2;
    auto buffer = std::make_unique<char[]>(capacity);
    size_t held = 0;
    size_t remaining = size.value_or(0);
    bool ended = false; // a NUL was met: the rest is read and dropped
    for (;;) {
        if (capacity - held < blockSize) {
            capacity = (held + blockSize) * 2;
            auto bigger = std::make_unique<char[]>(capacity);
            std::memcpy(bigger.get(), buffer.get(), held);
            buffer = std::move(bigger);
        }
        char* const fresh = buffer.get() + (ended ? 0 : held);
        const size_t wanted = size ? std::min(blockSize, remaining) : blockSize;
        ssize_t n = 0;
        if (wanted > 0) {
            n = ::read(fd, fresh, wanted);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || (n == 0 && size))
                throw Error(kStreamReadError);
            remaining -= size ? static_cast<size_t>(n) : 0;
        }
        const bool atEnd = n == 0 || (size && remaining == 0);
        if (ended) {
            if (atEnd)
                return;
            continue;
        }
        size_t got = static_cast<size_t>(n);
        if (const void* nul = std::memchr(fresh, '\0', got)) {
            got = static_cast<size_t>(static_cast<const char*>(nul) - fresh);
            ended = true;
        }
        const size_t before = held;
        held += got;
        std::string_view text(buffer.get(), held);
        if (atEnd || ended) {
            if (!text.empty())
                piece(text);
            held = 0;
            if (atEnd)
                return;
            continue;
        }
        // Only the new bytes are searched, and the byte before them, which
        // may be the CR of a CR LF.
        const size_t searchFrom = before > 0 ? before - 1 : 0;
        const size_t lastBreak = text.substr(searchFrom).rfind("\r\n");
        if (lastBreak == std::string_view::npos)
            continue;
        const size_t cut = searchFrom + lastBreak + 2;
        piece(text.substr(0, cut));
        std::memmove(buffer.get(), buffer.get() + cut, held - cut);
        held -= cut;
    }
}

} // namespace vellumax
