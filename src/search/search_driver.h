#pragma once

#include "search/page_source.h"
#include "search/search_run.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumax {

// A number the run has just added to its list, and where it was found.
struct AddedNumber {
    const std::string& number;
    std::string_view line; // the page line it stood in, as read (valid during the call)
    int32_t keywordNumber; // 1-based, as the keyword position shows it
    int32_t pageOffset;    // the offset of the page it was read from (its pn)
};

// What a search run needs from whoever hosts it: the page timer, the user's
// settings and the places where it shows its progress. The window keeps them
// in its controls; the headless search in a timer and a progress line.
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // The page timer: a repeating timer used as a one-shot. A new interval
    // restarts a running countdown, the same one leaves it; enabling an
    // enabled timer changes nothing. Its tick calls SearchDriver::tick.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void enableTimer() = 0;
    virtual void disableTimer() = 0;

    // The interval between page reads the user asks for now, in seconds, as
    // entered (it may lie outside 1..1000; the driver bounds it).
    virtual int intervalSeconds() = 0;
    // Whether a number already in the list is left out.
    virtual bool deduplicate() = 0;

    // The 1-based number of the keyword being searched, at every request.
    virtual void showKeywordPosition(int32_t cursor) = 0;
    // Each number as it is added to the list, before its count is shown.
    virtual void numberAdded(const AddedNumber& /*added*/) {}
    // The numbers found in this run, after every number added.
    virtual void showFoundCount(int32_t count) = 0;
    // A status message (GBK): the run starting, searching, waiting to retry.
    virtual void showMessage(const std::string& message) = 0;
    // After a page was read and its numbers added.
    virtual void pageRead() {}

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

    // The run is over (the list ended, or a stop met the tick): the host
    // stops the timer, writes the settings and says so.
    virtual void finish() = 0;
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

    SearchDriver(SearchRun& run, PageSource& pages, SearchHost& host);

    // The start of a run, once the start position is set: the run's state,
    // the 8-second wait for the first page and the first messages. The first
    // request follows with requestStep.
    void begin();

    // The next page of the run: its request and the timer.
    void requestStep();

    // The page timer's tick. Reads the page when it loaded; when it failed,
    // waits, then asks for it again. A page that cannot be read throws, with
    // the timer off: the run halts.
    void tick();

    // Reads the page, adds its numbers, and goes on or finishes.
    void processResultPage();

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
    // The message shown while a failed page waits, with the time of day of
    // the next try (GBK).
    static std::string retryMessage(const PageLoad& load, int failures, int64_t waitMs, int64_t nowUnixMs);

private:
    int64_t intervalMs();
    void retry(const PageLoad& load, int64_t intervalMs);
    void holdForVerification();
    void finishWithoutReading();
    void showVerificationPending(bool pending);
    void request(const std::string& url);

    SearchRun& run_;
    PageSource& pages_;
    SearchHost& host_;
    int failuresInRow_ = 0;
    // A failed page waits out its back-off; the next tick asks for it again.
    bool retryDue_ = false;
    // The diverted load of the page being asked for has been counted.
    bool diversionCounted_ = false;
    // The host has been told that a verification page holds the run up.
    bool verificationShown_ = false;
};

} // namespace vellumax
