#include "search/search_driver.h"

#include "text/gbk_codec.h"

#include <algorithm>
#include <climits>

namespace vellumax {

SearchDriver::SearchDriver(SearchRun& run, PageSource& pages, SearchHost& host) : run_(run), pages_(pages), host_(host) {}

void SearchDriver::begin()
{
    run_.begin();
    failuresInRow_ = 0;
    host_.setTimerInterval(kFirstPageWaitMs);
    host_.showFoundCount(0);
    host_.showMessage(gbk("启动搜索请稍候..."));
}

void SearchDriver::requestStep()
{
    request(run_.requestStep());
}

void SearchDriver::request(const std::string& url)
{
    host_.showKeywordPosition(run_.keywordCursor());
    try {
        pages_.RequestPage(url);
    } catch (const std::exception&) {
        // A refused request leaves the previous page in the pane; the tick
        // reads that one.
    }
    host_.enableTimer();
}

int64_t SearchDriver::intervalMs()
{
    // The field's value is not clamped on reading: below 1 counts as 1.
    return static_cast<int64_t>(std::max(1, host_.intervalSeconds())) * 1000;
}

void SearchDriver::tick()
{
    host_.disableTimer();
    const int64_t interval = intervalMs();
    host_.setTimerInterval(static_cast<int>(std::min<int64_t>(interval, INT_MAX)));
    const PageLoad load = pages_.LastLoad();
    if (load.outcome == PageLoad::Outcome::Failed) {
        retry(load, interval);
        return;
    }
    failuresInRow_ = 0;
    host_.showMessage(gbk("正在搜索..."));
    processResultPage();
}

void SearchDriver::retry(const PageLoad& load, int64_t interval)
{
    // An error page is never read: a stopped run ends here, and the settings
    // then hold the keyword in progress, to be searched again from its start.
    if (run_.stopFlag()) {
        host_.finish();
        return;
    }
    ++failuresInRow_;
    const int64_t wait = retryWaitMs(interval, failuresInRow_);
    host_.setTimerInterval(static_cast<int>(std::min<int64_t>(wait, INT_MAX)));
    host_.showMessage(retryMessage(load, failuresInRow_, wait));
    request(run_.repeatRequestStep());
}

void SearchDriver::processResultPage()
{
    // A failing read ends the tick here with the timer off: the run halts
    // until the user stops it.
    const std::string pageText = pages_.ReadPageText();
    const SearchRun::Next next = run_.processPage(
        pageText, [this] { return host_.deduplicate(); }, [this] { host_.showFoundCount(run_.foundCount()); });
    host_.pageRead();
    if (next == SearchRun::Next::Finish)
        host_.finish();
    else
        requestStep();
}

int64_t SearchDriver::retryWaitMs(int64_t intervalMs, int failures)
{
    const int64_t longest = std::max(kLongestRetryWaitMs, intervalMs);
    int64_t wait = intervalMs;
    for (int i = 1; i < failures && wait < longest; ++i)
        wait *= 2;
    return std::min(wait, longest);
}

std::string SearchDriver::retryMessage(const PageLoad& load, int failures, int64_t waitMs)
{
    const std::string reason = load.httpStatus > 0 ? "页面载入失败（HTTP " + std::to_string(load.httpStatus) + "）"
                                                   : std::string("无法连接搜索引擎");
    const int64_t seconds = (waitMs + 999) / 1000;
    return gbk(reason + "，第 " + std::to_string(failures) + " 次，" + std::to_string(seconds) + " 秒后重试");
}

} // namespace vellumax
