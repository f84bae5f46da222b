#pragma once

#include "search/page_source.h"
#include "search/page_timer.h"
#include "search/run_status.h"
#include "search/search_run.h"
#include "search/site_queue.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vellumax {

// What a search run needs from whoever hosts it: the user's settings and the
// places where it shows its progress. The window keeps them in its controls;
// the search program in a progress line.
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // The interval between page reads the user asks for now, in seconds, as
    // entered (it may lie outside 1..1000; the driver bounds it).
    virtual int intervalSeconds() = 0;
    // Whether a number already in the list is left out.
    virtual bool deduplicate() = 0;

    // The 1-based number of the keyword being searched, at every request.
    virtual void showKeywordPosition(int32_t cursor) = 0;
    // The run starting, searching, waiting to retry, for verification.
    virtual void showStatus(const RunStatus& status) = 0;
    // A page was read and its numbers added to the list.
    virtual void pageRead(const SearchRun::PageResult& /*page*/) {}
    // The run cannot go on (GBK): the page shown could not be read (the
    // timer is off, and the run halts there), or a file of the run could
    // not be written.
    virtual void failed(const std::string& message) = 0;

    // The time now, in milliseconds since the epoch: for the time of the
    // next try and for a Retry-After given as a date.
    virtual int64_t nowUnixMs();

    // Whether the user can pass a verification page in the page shown. The
    // run then waits on that page, never leaving it by itself, until it is
    // back on a result page. Without a user, the run asks again after a
    // wait, as for a page that failed to load.
    virtual bool userCanVerify() { return false; }
    // The run starts, or ends, being held up by a verification page.
    virtual void showVerificationPending(bool /*pending*/) {}

    // The run is over (the list ended, or a stop met the tick), with the
    // timer off: the host writes the settings and says so.
    virtual void finish() = 0;

    // Whether the next request to the engine waits, after a page was read:
    // the host then calls SearchDriver::releaseHeldRequest when it may go.
    virtual bool holdNextRequest() { return false; }

    // How the reading of the results' own sites stands, after each change:
    // with the numbers of a site's page just read, if that was the change.
    struct SiteReport {
        std::vector<FoundNumber> added; // their lines are views into the page's text
        int32_t foundCount = 0;         // the run's, after them
        SiteQueue::Progress progress;
    };
    virtual void showSites(const SiteReport& /*report*/) {}
};

// The steps of a search run between its start and its finish, shared by the
// window and the headless search: the first request, the tick that reads a
// page or asks again for one that failed to load, and the next request.
class SearchDriver {
public:
    static constexpr int kFirstPageWaitMs = 8000;
    // The wait before a failed page is asked for again doubles with each
    // failure in a row, up to this (or the interval, if that is longer).
    static constexpr int64_t kLongestRetryWaitMs = 10 * 60 * 1000;
    // The longest wait the engine may ask for with Retry-After, and the cap
    // of the waits between tries while it answers with a verification page.
    static constexpr int64_t kLongestAskedWaitMs = 60 * 60 * 1000;
    // How often a run held up by a verification page looks whether the user
    // has passed it.
    static constexpr int kVerificationPollMs = 1000;

    SearchDriver(SearchRun& run, PageSource& pages, PageTimer& timer, SearchHost& host);
    ~SearchDriver();

    SearchDriver(const SearchDriver&) = delete;
    SearchDriver& operator=(const SearchDriver&) = delete;

    // The start of a run, once the start position is set: the run's state,
    // the 8-second wait for the first page and the first messages. The first
    // request follows with requestStep.
    void begin();

    // The next page of the run: its request and the timer.
    void requestStep();

    // The page timer's tick. Reads the page when it loaded; when it failed,
    // waits, then asks for it again. The timer stays off while the page is
    // read; a page that cannot be read halts the run.
    void tick();

    // Asks for the page's text; its answer adds the page's numbers, and the
    // run goes on or finishes.
    void ProcessResultPage();

    // After a stop: the page in progress is read as soon as its load has
    // ended, instead of at the next tick, and a failed page's wait ends now.
    void tickWhenLoaded();

    // No further step after the one in progress: its host failed.
    void halt() { halted_ = true; }

    // The request the host held goes out now; after a stop, the run finishes
    // instead. Nothing when none is held.
    void releaseHeldRequest();
    bool holdsRequest() const { return requestHeld_; }

    // A failed page is waiting out its back-off before it is asked again.
    bool retryDue() const { return retryDue_; }

    // Failed loads in a row of the page being asked for; 0 once one loads.
    int failuresInRow() const { return failuresInRow_; }

    // The back-off before the `failures`-th try in a row of a failed page:
    // the interval, doubled with each failure, up to `longestMs` (or the
    // interval, if that is longer).
    static int64_t retryWaitMs(int64_t intervalMs, int failures, int64_t longestMs = kLongestRetryWaitMs);
    // The wait before the next try of a page whose load went as `load`: the
    // back-off, or what the engine asked with Retry-After on a 429 or 503
    // when that is longer, up to an hour.
    static int64_t nextTryWaitMs(const PageLoad& load, int64_t intervalMs, int failures, int64_t nowUnixMs);

private:
    int64_t intervalMs();
    void retry(const PageLoad& load, int64_t intervalMs);
    void holdForVerification();
    void finishWithoutReading();
    void showVerificationPending(bool pending);
    void request(const std::string& url);
    void pageAnswered(const PageRead& read);
    void status(RunStatus::Kind kind);

    SearchRun& run_;
    PageSource& pages_;
    PageTimer& timer_;
    SearchHost& host_;
    // Gone with the driver: a read's answer that comes later finds it so.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool reading_ = false;
    bool halted_ = false;
    uint64_t runNumber_ = 0; // counts the starts, for the answers of reads
    bool tickOnLoadEnd_ = false;
    bool requestHeld_ = false;
    int failuresInRow_ = 0;
    // A failed page waits out its back-off; the next tick asks for it again.
    bool retryDue_ = false;
    // The diverted load of the page being asked for has been counted.
    bool diversionCounted_ = false;
    // The host has been told that a verification page holds the run up.
    bool verificationShown_ = false;
};

} // namespace vellumax
