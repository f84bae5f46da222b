#pragma once

#include "search/page_source.h"
#include "search/site_address.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// One result of the engine's page, as the run keeps it beside the numbers
// read in it and as it leads to the result's own site.
struct ResultBlock {
    std::string title;   // GBK, on one line, blanks folded, at most kResultTitleBytes
    std::string landing; // the landing page the run may open (a SiteAddress's url), or ""
    std::string text;    // GBK, as the document gave it
};

inline constexpr size_t kResultTitleBytes = 240;

// The page's blocks with their landing addresses worked out: the `mu`
// attribute, else the title link when it leads outside the engine's hosts,
// else none (see landingAddress).
std::vector<ResultBlock> resultBlocks(const std::vector<PageBlock>& blocks, std::string_view engineHost,
                                      LoopbackSites loopback = LoopbackSites::Refused);

// The first block whose text holds the page line `line` (blanks at its ends
// aside), or null: the block a number read on that line belongs to. A line
// of blanks belongs to none.
const ResultBlock* blockHolding(const std::vector<ResultBlock>& blocks, std::string_view line);

// A title as a table cell and a tooltip want it: control characters and runs
// of blanks folded into one blank, blanks at the ends dropped, cut to
// `maxBytes` without splitting a character.
std::string foldedTitle(std::string_view gbkTitle, size_t maxBytes = kResultTitleBytes);

} // namespace vellumax
