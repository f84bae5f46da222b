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
    pageLines_.clear();
    pageText_.clear();
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

SearchRun::Next SearchRun::processPage(std::string_view pageText, const std::function<bool()>& deduplicate,
                                       const std::function<void(std::string_view line)>& appended)
{
    return readPage(pageText, nullptr, deduplicate, appended);
}

SearchRun::Next SearchRun::processPage(const PageWithLinks& page, const std::function<bool()>& deduplicate,
                                       const std::function<void(std::string_view line)>& appended)
{
    return readPage(page.text, page.nextPageLinks ? &*page.nextPageLinks : nullptr, deduplicate, appended);
}

SearchRun::Next SearchRun::readPage(std::string_view pageText, const std::vector<std::string>* nextPageLinks,
                                    const std::function<bool()>& deduplicate,
                                    const std::function<void(std::string_view line)>& appended)
{
    // The lines are views into the run's own copy of the page.
    pageText_.assign(pageText);
    PageAnalysis page = analysePage(pageText_, pageOffset_);
    pageLines_ = std::move(page.lines);
    morePages_ = wideReading_ ? wideOffersNextPage(pageLines_, nextPageLinks, pageOffset_) : page.morePages;

    const auto added = [&](std::string_view line) {
        ++foundCount_;
        if (appended)
            appended(line);
    };
    if (wideReading_)
        ExtractFaxNumbersWide(pageLines_, deduplicate, results_, added);
    else
        ExtractFaxNumbers(pageLines_, queries_.fieldMarker(), deduplicate, results_, added);

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
