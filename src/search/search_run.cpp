#include "search/search_run.h"

#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/wide_pager.h"
#include "search/wide_reading.h"

namespace vellumax {

SearchRun::SearchRun(QueryBuilder& queries, const std::vector<std::string>& keywords, ResultList& results)
    : queries_(queries), keywords_(keywords), results_(results)
{
}

bool SearchRun::setStartPosition(int32_t position)
{
    keywordCursor_ = position < 0 ? 0 : position;
    return keywordCursor_ == 0 || static_cast<size_t>(keywordCursor_) < keywords_.size();
}

void SearchRun::begin()
{
    keywordStep();
    pageOffset_ = 0;
    stopFlag_ = false;
    morePages_ = true;
    foundCount_ = 0;
    results_.clear();
}

void SearchRun::keywordStep()
{
    queryBase_ = queries_.PrepareKeyword(keywords_.at(static_cast<size_t>(keywordCursor_)));
    ++keywordCursor_;
}

std::string SearchRun::requestStep()
{
    std::string url = PageUrl(queryBase_, pageOffset_);
    pageOffset_ += 10;
    return url;
}

std::string SearchRun::repeatRequestStep() const
{
    return PageUrl(queryBase_, pageOffset_ - 10);
}

SearchRun::PageResult SearchRun::processPage(const PageWithLinks& page, bool deduplicate)
{
    PageResult result;
    result.keywordNumber = keywordCursor_;
    // The page offset has moved on to the next page already.
    result.pageOffset = pageOffset_ - 10;
    result.blocks = page.blocks;
    // The text is read as it came: the readers look for their labels across
    // it and take apart only the lines that hold one, the pager's too.
    const std::string_view text = page.text;
    if (wideReading_)
        morePages_ = wideOffersNextPageInText(text, page.nextPageLinks ? &*page.nextPageLinks : nullptr, pageOffset_);
    else
        morePages_ = pageOffset_ < kPageCap && anyNextPageLine(text, isPagerLine);

    const auto isDuplicateTested = [deduplicate] { return deduplicate; };
    const auto added = [&](std::string_view line) {
        ++foundCount_;
        result.added.push_back({results_.size() - 1, line});
    };
    if (wideReading_)
        ExtractFaxNumbersWide(text, isDuplicateTested, results_, added);
    else
        ExtractFaxNumbers(text, queries_.fieldMarker(), isDuplicateTested, results_, added);
    result.foundCount = foundCount_;
    result.next = nextStep();
    return result;
}

std::vector<FoundNumber> SearchRun::readSitePage(std::string_view text, bool deduplicate, size_t& numbersSeen)
{
    std::vector<FoundNumber> added;
    numbersSeen = 0;
    // Asked once for every number the page holds.
    const auto isDuplicateTested = [&numbersSeen, deduplicate] {
        ++numbersSeen;
        return deduplicate;
    };
    ExtractFaxNumbersWide(text, isDuplicateTested, results_, [&](std::string_view line) {
        ++foundCount_;
        added.push_back({results_.size() - 1, line});
    });
    return added;
}

SearchRun::Next SearchRun::nextStep()
{
    // The page's numbers are always taken before the run decides whether to
    // go on, also when it was stopped.
    if (morePages_)
        return stopFlag_ ? Next::Finish : Next::RequestPage;
    pageOffset_ = 0;
    if (static_cast<size_t>(keywordCursor_) >= keywords_.size() || keywordCursor_ < 0 || stopFlag_)
        return Next::Finish;
    keywordStep();
    return Next::RequestPage;
}

} // namespace vellumax
