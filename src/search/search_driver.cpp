#include "search/search_driver.h"

#include "search/retry_after.h"
#include "text/gbk_codec.h"
#include "text/local_time.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace vellumax {
namespace {

int timerMs(int64_t ms) { return static_cast<int>(std::min<int64_t>(ms, INT_MAX)); }

} // namespace

int64_t SearchHost::nowUnixMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

SearchDriver::SearchDriver(SearchRun& run, PageSource& pages, SearchHost& host) : run_(run), pages_(pages), host_(host) {}

void SearchDriver::begin()
{
    run_.begin();
    failuresInRow_ = 0;
    retryDue_ = false;
    diversionCounted_ = false;
    showVerificationPending(false);
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
    host_.setTimerInterval(timerMs(interval));
    if (retryDue_) {
        // The wait after a failure is over: the page is asked for again,
        // and read after the interval like any other.
        retryDue_ = false;
        if (run_.stopFlag()) {
            finishWithoutReading();
            return;
        }
        request(run_.repeatRequestStep());
        return;
    }
    // A refused page's Retry-After comes with its load. The browser engine
    // tells the headers apart from the page, and this relies on them having
    // arrived before the page is read here, the interval after its request.
    const PageLoad load = pages_.lastLoad();
    if (load.outcome == PageLoad::Outcome::Failed ||
        (load.outcome == PageLoad::Outcome::Diverted && !host_.userCanVerify())) {
        retry(load, interval);
        return;
    }
    if (load.outcome == PageLoad::Outcome::Diverted) {
        holdForVerification();
        return;
    }
    failuresInRow_ = 0;
    diversionCounted_ = false;
    showVerificationPending(false);
    host_.showMessage(gbk("正在搜索..."));
    processResultPage();
}

void SearchDriver::holdForVerification()
{
    // As for an error page: a stop ends the run without reading anything.
    if (run_.stopFlag()) {
        finishWithoutReading();
        return;
    }
    if (!diversionCounted_) {
        diversionCounted_ = true;
        ++failuresInRow_;
        showVerificationPending(true);
        host_.showMessage(gbk("搜索引擎要求验证，请在右侧网页中完成验证"));
    }
    if (!pages_.showsResultPage()) {
        // The user is at work on the page: look again later, without asking
        // for anything that would take the page away.
        host_.setTimerInterval(kVerificationPollMs);
        host_.enableTimer();
        return;
    }
    // Passed: the engine has sent the pane back to its result pages. The
    // page the run was on is asked for again, with the cookies the browser
    // now holds, and read after the interval.
    diversionCounted_ = false;
    host_.showMessage(gbk("验证已通过，继续搜索..."));
    request(run_.repeatRequestStep());
}

void SearchDriver::finishWithoutReading()
{
    // The page in the pane is an error or verification page, or nothing was
    // asked yet after a wait: the settings hold the keyword in progress, to
    // be searched again from its start.
    showVerificationPending(false);
    host_.finish();
}

void SearchDriver::showVerificationPending(bool pending)
{
    if (pending == verificationShown_)
        return;
    verificationShown_ = pending;
    host_.showVerificationPending(pending);
}

void SearchDriver::retry(const PageLoad& load, int64_t interval)
{
    // An error page is never read: a stopped run ends here.
    if (run_.stopFlag()) {
        finishWithoutReading();
        return;
    }
    ++failuresInRow_;
    if (load.outcome == PageLoad::Outcome::Diverted)
        showVerificationPending(true);
    const int64_t now = host_.nowUnixMs();
    const int64_t wait = nextTryWaitMs(load, interval, failuresInRow_, now);
    // The engine hears from us again only once the wait is over: what it
    // asked with Retry-After counts from its answer.
    host_.setTimerInterval(timerMs(wait));
    host_.showMessage(retryMessage(load, failuresInRow_, wait, now));
    retryDue_ = true;
    host_.enableTimer();
}

void SearchDriver::processResultPage()
{
    // A failing read ends the tick here with the timer off: the run halts
    // until the user stops it.
    // Wide reading asks the document for its links in the same look.
    const PageWithLinks page =
        run_.wideReading() ? pages_.readPageWithLinks() : PageWithLinks{pages_.ReadPageText(), std::nullopt};
    // The page offset has moved on to the next page already.
    const int32_t pageOffset = run_.pageOffset() - 10;
    const SearchRun::Next next = run_.processPage(
        page, [this] { return host_.deduplicate(); },
        [&](std::string_view line) {
            const ResultList& results = run_.results();
            host_.numberAdded({results[results.size() - 1], line, run_.keywordCursor(), pageOffset});
            host_.showFoundCount(run_.foundCount());
        });
    host_.pageRead();
    if (next == SearchRun::Next::Finish)
        host_.finish();
    else
        requestStep();
}

int64_t SearchDriver::retryWaitMs(int64_t intervalMs, int failures, int64_t longestMs)
{
    const int64_t longest = std::max(longestMs, intervalMs);
    int64_t wait = intervalMs;
    for (int i = 1; i < failures && wait < longest; ++i)
        wait *= 2;
    return std::min(wait, longest);
}

int64_t SearchDriver::nextTryWaitMs(const PageLoad& load, int64_t intervalMs, int failures, int64_t nowUnixMs)
{
    // A verification page stays until someone passes it: the tries thin out
    // to one an hour instead of one every ten minutes.
    const bool diverted = load.outcome == PageLoad::Outcome::Diverted;
    const int64_t backOff = retryWaitMs(intervalMs, failures, diverted ? kLongestAskedWaitMs : kLongestRetryWaitMs);
    if (load.httpStatus != 429 && load.httpStatus != 503)
        return backOff;
    const std::optional<int64_t> asked = retryAfterWaitMs(load.retryAfter, nowUnixMs);
    if (!asked)
        return backOff;
    return std::max(backOff, std::min(*asked, kLongestAskedWaitMs));
}

std::string SearchDriver::retryMessage(const PageLoad& load, int failures, int64_t waitMs, int64_t nowUnixMs)
{
    std::string reason;
    if (load.outcome == PageLoad::Outcome::Diverted)
        reason = "搜索引擎要求验证";
    else if (load.httpStatus > 0)
        reason = "页面载入失败（HTTP " + std::to_string(load.httpStatus) + "）";
    else
        reason = "无法连接搜索引擎";
    const int64_t seconds = (waitMs + 999) / 1000;
    return gbk(reason + "，第 " + std::to_string(failures) + " 次，" + std::to_string(seconds) + " 秒后重试（" +
               localTimeText(nowUnixMs + seconds * 1000, "%H:%M:%S") + "）");
}

} // namespace vellumax
