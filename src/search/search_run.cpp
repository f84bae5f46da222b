#include "search/search_run.h"

#include "search/fax_extraction.h"
#include "search/page_analysis.h"

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
    // The lines are views into the run's own copy of the page.
    pageText_.assign(pageText);
    PageAnalysis page = analysePage(pageText_, pageOffset_);
    morePages_ = page.morePages;
    pageLines_ = std::move(page.lines);

    ExtractFaxNumbers(pageLines_, queries_.fieldMarker(), deduplicate, results_, [&](std::string_view line) {
        ++foundCount_;
        if (appended)
            appended(line);
    });

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
