#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace vellumax {

// No further page once the page offset has reached this.
inline constexpr int32_t kPageCap = 750;
// Of a longer page line only this many bytes are read.
inline constexpr size_t kPageLineLimit = 4096;

// Lines of a page text, each a view into the text they were taken from: they
// are valid as long as that text is kept and not changed.
using PageLines = std::vector<std::string_view>;

// The lines of a page text as a multi-line text box without word wrap gives
// them back: lines end only at CR LF (a lone CR or LF stays inside the line),
// a NUL ends the text, lines are cut to 4096 bytes, and an empty last line
// (an empty text, or one ending in CR LF) is not counted.
PageLines pageLines(std::string_view pageText);

// Where a page line lies in its text: from `start` to `end`, where its CR LF
// (or the text) begins; the line as read is cut to 4096 bytes.
struct PageLineSpan {
    size_t start;
    size_t end;
};

// The page line that holds the byte at `at`, in a text whose lines end at CR
// LF: `from` is the start of a line at or before it. It costs the length of
// that line, not of the text before it.
PageLineSpan pageLineHolding(std::string_view pageText, size_t from, size_t at);

// True when some line contains "下一页", "[" and "]" and begins with "上一页"
// or with "1".
bool pagerOffersNextPage(const PageLines& lines);
bool isPagerLine(std::string_view line);

// Whether `test` answers true for a page line, as pageLines gives it, that
// holds "下一页". Only the lines that hold the word are taken apart: the
// pager is found without splitting the whole text.
bool anyNextPageLine(std::string_view pageText, const std::function<bool(std::string_view line)>& test);

struct PageAnalysis {
    PageLines lines; // views into the analysed text
    bool morePages = false;
};

// The line rule, the pager scan and the page cap, for a page processed while
// the run's page offset is `pageOffset` (that page's own offset plus 10).
// The lines point into `pageText`, which the caller keeps.
PageAnalysis analysePage(std::string_view pageText, int32_t pageOffset);

} // namespace vellumax
