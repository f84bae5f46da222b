#pragma once

#include "search/page_analysis.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The engine's pager as it is written today: page numbers and a "下一页"
// link, without brackets. Wide reading follows it beside the bracketed
// pager line.

// Whether a link's text (GBK) is the pager's own next-page link: "下一页"
// with at most an arrow or blanks beside it ("下一页>", "下一页 »"), not a
// result title that holds the word.
bool isNextPageLinkText(std::string_view text);

// Whether a page line shows the pager when only the text is at hand: it
// holds "下一页" with nothing before it but page numbers, blanks, brackets
// and "上一页" with its arrow ("<上一页 1 2 3 下一页>", "12345678910下一页>").
bool isPlainPagerLine(std::string_view line);

// The more-pages flag of wide reading: a next-page link among `links` (the
// texts of the page's links that hold the word), or the bracketed pager
// line; where the page's links are not known (`links` null), a plain pager
// line instead of a link. No further page once the page offset has reached
// the cap.
bool wideOffersNextPage(const PageLines& lines, const std::vector<std::string>* links, int32_t pageOffset);
// The same over the page's text, whose pager lines are looked at once.
bool wideOffersNextPageInText(std::string_view pageText, const std::vector<std::string>* links, int32_t pageOffset);

} // namespace vellumax
