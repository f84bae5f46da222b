#pragma once

#include "search/page_source.h"
#include "search/query_builder.h"
#include "search/result_list.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The state of a search run and the rules that move it on, without the
// window: the window keeps the timer, the page source, the prompts and the
// status bar, and calls these steps from its handlers.
// A number a page added to the result list: its row, and the page line it
// stood in.
struct FoundNumber {
    size_t row;
    std::string_view line;
};

class SearchRun {
public:
    enum class Next { RequestPage, Finish };

    // What one page gave: where it was read, the numbers it added (their
    // lines views into the page's text, valid while that is kept), the
    // run's count after them, and what comes next.
    struct PageResult {
        int32_t keywordNumber = 0; // 1-based, as the keyword position shows it
        int32_t pageOffset = 0;    // the page's own offset (its pn)
        std::vector<FoundNumber> added;
        // The page's result blocks, views into the page read, as `added`'s
        // lines are.
        std::span<const PageBlock> blocks;
        int32_t foundCount = 0;
        Next next = Next::Finish;
    };

    SearchRun(QueryBuilder& queries, const std::vector<std::string>& keywords, ResultList& results);

    // 0-based index of the next keyword to take; after a keyword step it is
    // the 1-based number of the keyword being searched.
    int32_t keywordCursor() const { return keywordCursor_; }
    void setKeywordCursor(int32_t cursor) { keywordCursor_ = cursor; }
    int32_t pageOffset() const { return pageOffset_; }
    bool stopFlag() const { return stopFlag_; }
    int32_t foundCount() const { return foundCount_; }
    const ResultList& results() const { return results_; }

    // Takes the start position the user answered: a negative one becomes 0.
    // Returns false when it lies beyond the keyword list; the caller tells
    // the user so and then sets the cursor to 0 (until then it holds the
    // answer, which a finish meanwhile would record).
    bool setStartPosition(int32_t position);

    // The start of a run, after the start position is set: the keyword step,
    // then offset 0, stop flag clear, more-pages flag set, found count 0, and
    // empty result list.
    void begin();

    // Trims and prepares the keyword at the cursor, then advances the cursor.
    void keywordStep();

    // The URL of the next page; the page offset grows by 10.
    std::string requestStep();

    // The URL of the page last asked for, to ask for it again: same keyword,
    // same page offset.
    std::string repeatRequestStep() const;

    // Reads one page: its lines, the more-pages flag with the page cap, the
    // numbers it holds (a number already in the list left out when
    // `deduplicate`), then whether the run asks for another page (of this
    // keyword or, after a keyword step, of the next) or finishes. The page's
    // lines in the result are views into `page`'s text.
    PageResult processPage(const PageWithLinks& page, bool deduplicate);

    // Reads a page of a result's own site with the wide reading: its numbers
    // go to the list and count as found, as a result page's do; the paging is
    // left alone. `numbersSeen` gets how many numbers the page held, the ones
    // left out as duplicates too. The lines are views into `text`.
    std::vector<FoundNumber> readSitePage(std::string_view text, bool deduplicate, size_t& numbersSeen);

    // Wide reading: every fax label and number form people write, and the
    // pager's links, instead of the field marker and the bracketed pager
    // line alone. Off unless switched on; it takes effect from the next
    // page read.
    void setWideReading(bool wide) { wideReading_ = wide; }
    bool wideReading() const { return wideReading_; }

    void stop() { stopFlag_ = true; }

private:
    Next nextStep();

    QueryBuilder& queries_;
    const std::vector<std::string>& keywords_;
    ResultList& results_;

    int32_t keywordCursor_ = 0;
    int32_t pageOffset_ = 0;
    std::string queryBase_;
    bool stopFlag_ = false;
    bool morePages_ = false;
    int32_t foundCount_ = 0;
    bool wideReading_ = false;
};

} // namespace vellumax
