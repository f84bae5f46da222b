#pragma once

#include "search/site_address.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <functional>
#include <string>

namespace vellumax {

// Plain GETs of robots.txt files, apart from the browser engine: no cookies,
// no cache, redirects followed here so that each target is checked as a
// site the run may open. Answers come from the event loop, once each, and
// none once the fetcher is gone.
class RobotsFetcher {
public:
    RobotsFetcher(std::string engineHost, LoopbackSites loopback);

    RobotsFetcher(const RobotsFetcher&) = delete;
    RobotsFetcher& operator=(const RobotsFetcher&) = delete;

    // `done` gets the answer's HTTP status and the first kRobotsBodyLimit
    // bytes of its body, 4xx and 5xx included; status 0 when no answer came
    // within the time limit (all redirects together), the address or a
    // redirect's target is not a site the run may open, or there were more
    // than kMaxRedirects redirects.
    void fetch(const std::string& url, std::function<void(int httpStatus, std::string body)> done);

    // For fetches started from now on.
    void setTimeoutMs(int timeoutMs) { timeoutMs_ = timeoutMs; }

    static constexpr int kRobotsTimeoutMs = 10'000;
    static constexpr int kMaxRedirects = 5;

private:
    std::string engineHost_;
    LoopbackSites loopback_;
    int timeoutMs_ = kRobotsTimeoutMs;
    // Its own, without a cache; each request neither sends nor keeps
    // cookies, so nothing of one site's answer reaches another's request.
    QNetworkAccessManager network_;
    // The parent of the fetches under way: they, their replies and their
    // answers go before the network access manager.
    QObject fetches_;
};

} // namespace vellumax
