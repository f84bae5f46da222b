#include "search/search_driver.h"

#include "search/retry_after.h"

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

SearchDriver::SearchDriver(SearchRun& run, PageSource& pages, PageTimer& timer, SearchHost& host)
    : run_(run), pages_(pages), timer_(timer), host_(host)
{
    // The source may outlive the driver, or go first.
    pages_.onLoadEnded([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired() || !tickOnLoadEnd_ || !timer_.enabled())
            return;
        tickOnLoadEnd_ = false;
        tick();
    });
}

SearchDriver::~SearchDriver() = default;

void SearchDriver::begin()
{
    run_.begin();
    ++runNumber_;
    failuresInRow_ = 0;
    retryDue_ = false;
    diversionCounted_ = false;
    reading_ = false;
    halted_ = false;
    tickOnLoadEnd_ = false;
    requestHeld_ = false;
    showVerificationPending(false);
    timer_.setInterval(kFirstPageWaitMs);
    status(RunStatus::Kind::Starting);
}

void SearchDriver::status(RunStatus::Kind kind)
{
    RunStatus status;
    status.kind = kind;
    host_.showStatus(status);
}

void SearchDriver::requestStep()
{
    request(run_.requestStep());
}

void SearchDriver::request(const std::string& url)
{
    host_.showKeywordPosition(run_.keywordCursor());
    if (halted_)
        return;
    try {
        pages_.RequestPage(url);
    } catch (const std::exception&) {
        // A refused request leaves the previous page in the pane; the tick
        // reads that one.
    }
    timer_.enable();
}

int64_t SearchDriver::intervalMs()
{
    // The field's value is not clamped on reading: below 1 counts as 1.
    return static_cast<int64_t>(std::max(1, host_.intervalSeconds())) * 1000;
}

void SearchDriver::tick()
{
    timer_.disable();
    tickOnLoadEnd_ = false;
    const int64_t interval = intervalMs();
    timer_.setInterval(timerMs(interval));
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
    status(RunStatus::Kind::Searching);
    ProcessResultPage();
}

void SearchDriver::tickWhenLoaded()
{
    // Nothing waits while a page is read (its answer ends the run) or while
    // the run is halted.
    if (reading_ || !timer_.enabled())
        return;
    if (!retryDue_ && pages_.lastLoad().outcome == PageLoad::Outcome::Loading) {
        tickOnLoadEnd_ = true;
        return;
    }
    tick();
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
        status(RunStatus::Kind::AwaitingVerification);
    }
    if (!pages_.showsResultPage()) {
        // The user is at work on the page: look again later, without asking
        // for anything that would take the page away.
        timer_.setInterval(kVerificationPollMs);
        timer_.enable();
        return;
    }
    // Passed: the engine has sent the pane back to its result pages. The
    // page the run was on is asked for again, with the cookies the browser
    // now holds, and read after the interval.
    diversionCounted_ = false;
    status(RunStatus::Kind::Verified);
    request(run_.repeatRequestStep());
}

void SearchDriver::finishWithoutReading()
{
    // The page in the pane is an error or verification page, or nothing was
    // asked yet after a wait: the settings hold the keyword in progress, to
    // be searched again from its start.
    showVerificationPending(false);
    timer_.disable();
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
    timer_.setInterval(timerMs(wait));
    RunStatus retrying;
    retrying.kind = RunStatus::Kind::Retrying;
    retrying.load = load;
    retrying.failures = failuresInRow_;
    retrying.waitMs = wait;
    retrying.nowUnixMs = now;
    host_.showStatus(retrying);
    retryDue_ = true;
    timer_.enable();
}

void SearchDriver::ProcessResultPage()
{
    // The timer stays off until the answer: nothing ticks while the page is
    // read, and a failing read leaves it off, so the run halts until the
    // user stops it. Wide reading asks the document for its links in the
    // same look.
    reading_ = true;
    // An answer that comes after the run was started anew belongs to none.
    pages_.ReadPageText(run_.wideReading(),
                        [this, alive = std::weak_ptr<bool>(alive_), run = runNumber_](const PageRead& read) {
                            if (!alive.expired() && run == runNumber_)
                                pageAnswered(read);
                        });
}

void SearchDriver::pageAnswered(const PageRead& read)
{
    reading_ = false;
    if (!read.error.empty()) {
        host_.failed(read.error);
        return;
    }
    const SearchRun::PageResult page = run_.processPage(read.page, host_.deduplicate());
    host_.pageRead(page);
    if (halted_)
        return;
    if (page.next == SearchRun::Next::Finish) {
        timer_.disable();
        host_.finish();
    } else if (host_.holdNextRequest()) {
        // The timer stays off: the pacing starts again with the request.
        requestHeld_ = true;
    } else {
        requestStep();
    }
}

void SearchDriver::releaseHeldRequest()
{
    if (!requestHeld_ || halted_)
        return;
    requestHeld_ = false;
    if (run_.stopFlag()) {
        // The keyword in progress goes on from its next page when resumed,
        // as after any stop.
        timer_.disable();
        host_.finish();
        return;
    }
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

} // namespace vellumax
