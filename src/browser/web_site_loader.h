#pragma once

#include "browser/robots_fetcher.h"
#include "browser/site_pages.h"
#include "search/site_address.h"
#include "search/site_loader.h"

#include <string>

namespace vellumax {

// The results' own sites over the browser engine's site pages, and their
// robots.txt files over plain GETs. Neither reaches an address the run may
// not open (the engine's domain, this machine, the user's own network): not
// the pages, nor anything a page asks for, nor a redirect.
class WebSiteLoader : public SiteLoader {
public:
    explicit WebSiteLoader(std::string engineHost, LoopbackSites loopback = LoopbackSites::Refused, int pages = 4);

    bool loadPage(const std::string& url, std::function<void(SitePageRead)> done) override;
    void fetchRobots(const std::string& url, std::function<void(int httpStatus, std::string body)> done) override;

    // For robots.txt fetches started from now on.
    void setRobotsTimeoutMs(int timeoutMs) { robots_.setTimeoutMs(timeoutMs); }

    static constexpr int kRobotsTimeoutMs = RobotsFetcher::kRobotsTimeoutMs;

private:
    RobotsFetcher robots_;
    SitePages pages_;
};

} // namespace vellumax
