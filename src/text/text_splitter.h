#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// Splits a whole file's bytes into lines, as the keyword list and the merged
// file are taken apart:
// - the text ends at its end or at the first NUL byte;
// - CR, LF and the pair CR LF each make one break; LF CR makes two, with an
//   empty line between;
// - a break at the very end starts no further line; every other break does;
// - byte 26 has no special meaning.
std::vector<std::string> splitText(std::string_view text);

// Calls `line` for every line of `text` under the rules above, without
// copying the lines.
template <typename LineFn>
void forEachTextLine(std::string_view text, LineFn&& line);

// Reads a whole file. Throws Error "Cannot open file %s" when it cannot be
// opened and "Stream read error" when it delivers fewer bytes than its size.
std::string readWholeFile(const std::string& path);

// readWholeFile, then splitText.
std::vector<std::string> loadTextLines(const std::string& path);

template <typename LineFn>
void forEachTextLine(std::string_view text, LineFn&& line)
{
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    size_t start = 0;
    const size_t size = text.size();
    while (start < size) {
        // A plain loop: find_first_of tries each byte against the set with a
        // call of its own, which dominates for short lines.
        size_t stop = start;
        while (stop < size && text[stop] != '\r' && text[stop] != '\n')
            ++stop;
        if (stop == size) {
            line(text.substr(start));
            return;
        }
        line(text.substr(start, stop - start));
        start = stop + ((text[stop] == '\r' && stop + 1 < size && text[stop + 1] == '\n') ? 2 : 1);
    }
}

} // namespace vellumax
