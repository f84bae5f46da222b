#pragma once

#include "search/robots_rules.h"
#include "search/site_address.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// Whether a link's text (GBK) says it leads to the site's contact page:
// exactly "联系我们", "联系方式", "联系", "Contact" or "Contact Us" (the
// Latin ones in any case), with blanks at either end. A longer text is most
// likely a sentence that merely holds the word.
bool isContactLinkText(std::string_view gbkText);

// Which pages of the results' own sites the run loads next, and when. Sites
// are strangers who owe us nothing: each host is asked for its robots.txt
// before anything else and gets one load at a time, and a host that does not
// answer is left alone. The queue only decides; the caller loads what
// `next()` hands out and reports how each load went.
class SiteQueue {
public:
    static constexpr size_t kMostLoadsAtOnce = 4;
    // A backlog above this holds the run's next request to the engine: more
    // results would only wait longer for their sites.
    static constexpr size_t kMostWaitingBeforeEngineWaits = 20;
    // Failed pages after which a host is taken to be down, or to be refusing
    // us, for the rest of the run.
    static constexpr int kFailuresThatLeaveHost = 2;

    // One result whose landing page is to be read.
    struct Visit {
        SiteAddress address;
        std::string title; // GBK
        int32_t keywordNumber = 0;
        int32_t pageOffset = 0;
    };

    struct Load {
        enum class Kind { Robots, LandingPage, ContactPage };
        Kind kind = Kind::Robots;
        std::string url;
        std::string host; // the SiteAddress::hostKey() the load counts against
        Visit visit;      // the result a page (contact page too) is read for; empty for robots.txt

    private:
        friend class SiteQueue;
        uint64_t id_ = 0; // 0 for a load the queue never handed out
        size_t result_ = 0;
    };

    // Pages, not results: a contact page followed counts as one more.
    struct Progress {
        size_t read = 0;
        size_t waiting = 0;
        size_t loading = 0;
        size_t refusedByRobots = 0;
        size_t droppedWithFailedHosts = 0;
        size_t repeats = 0;
    };

    // Lines the visit up behind the others of its host, unless its URL was
    // met before in this run, or its host was left alone or failed.
    void add(Visit visit);

    // The load that may start now, first come first served among the hosts
    // with no load of their own running, or nothing while all the loads that
    // may run at once are running or no free host has anything waiting.
    std::optional<Load> next();

    // The answer to a robots task of `host`; status 0 is none at all or a
    // time-out.
    void robotsAnswered(std::string_view host, int httpStatus, std::string_view body);

    // A page loaded and read (`ok`), or failed to load or timed out. Loads
    // reported already, and robots tasks, are ignored.
    void pageFinished(const Load& load, bool ok);

    // Lines up the contact page found on a landing page reported read, ahead
    // of the rest of its host's line, since its result is already being read.
    // One per result, on the landing page's own site, at a URL not met before
    // in this run. Whether it was lined up; one refused as a repeat or as
    // off the site leaves the result free to follow another link.
    bool followContact(const Load& load, const SiteAddress& contact);

    Progress progress() const;
    bool engineShouldWait() const { return waiting_ > kMostWaitingBeforeEngineWaits; }
    bool idle() const { return waiting_ == 0 && loading_ == 0; }

private:
    enum class RobotsState { NotAsked, Asking, Known };

    struct Page {
        size_t result; // index into results_, and so the order of arrival
        Load::Kind kind;
        std::string url;
    };

    struct Host {
        std::string robotsUrl;
        RobotsState robots = RobotsState::NotAsked;
        RobotsRules rules;
        bool abandoned = false; // by its robots.txt or after failing
        int failures = 0;
        uint64_t loadId = 0; // the load running now, 0 for none
        std::deque<Page> line;
    };

    struct Result {
        Visit visit;
        bool landingRead = false;
        bool followed = false;
    };

    bool enqueue(Page page, const SiteAddress& address, bool atFront);
    // Whether the host's rules, once known, forbid the page; it is then
    // counted as refused.
    bool refuseByRobots(const Host& host, const Page& page);
    void dropLine(Host& host, size_t& counter);
    Host* runningHost(const Load& load);

    std::map<std::string, Host, std::less<>> hosts_;
    std::vector<Result> results_;
    std::set<std::string, std::less<>> urlsMet_;
    uint64_t lastLoadId_ = 0;
    size_t waiting_ = 0;
    size_t loading_ = 0;
    Progress counts_; // its waiting and loading are kept apart, above
};

} // namespace vellumax
