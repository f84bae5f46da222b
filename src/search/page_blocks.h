#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace vellumax {

// Reads a page text from `fd` a block at a time and hands it on in pieces
// that end right after a CR LF (the last piece ends where the text does), so
// that the page lines of the pieces, one after the other, are those of the
// whole text: a CR LF never straddles two pieces, and a piece ending in CR
// LF leaves no empty last line. A NUL ends the text; what follows it is read
// but not handed on. A big file is thus read at the speed of its lines,
// without ever holding it whole.
//
// With `size` (a regular file) exactly that many bytes are read, and fewer
// is a "Stream read error", as when the whole file is read at once; without
// it the text runs to the end of the input. A failing read throws Error
// "Stream read error". A line longer than a block is held whole.
void readPageBlocks(int fd, std::optional<size_t> size, size_t blockSize,
                    const std::function<void(std::string_view piece)>& piece);

} // namespace vellumax
