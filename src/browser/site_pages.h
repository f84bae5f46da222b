#pragma once

#include "search/site_loader.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QUrl;
class QWebEngineProfile;

namespace vellumax {

class RequestGuard;

// Pages of sites nobody vouches for, loaded in reusable browser engine pages
// of their own: one off-the-record profile, never the engine's, so that no
// cookie passes between the two. A page may run its scripts, but it gets no
// images, plugins, windows, dialogs, permissions, downloads or page icons,
// and nothing is cached. Every request the pages make, of the pages
// themselves and of what they hold, must pass `mayRequest` (http and https
// addresses) or be of data: or about:. Answers come from the event loop;
// nobody waits.
class SitePages {
public:
    explicit SitePages(int pages = 4, std::function<bool(const QUrl&)> mayRequest = {});
    ~SitePages(); // the pages go before their profile

    SitePages(const SitePages&) = delete;
    SitePages& operator=(const SitePages&) = delete;

    // Loads `url` in a free page and calls `done` once with what it shows:
    // when the load ends, or after `timeoutMs` with whatever the page shows
    // then (ok when it has a body text); its read waits kReadTimeoutMs at
    // most, and a page that does not answer it is replaced. Returns false,
    // and never calls `done`, when no page is free. An address that is not
    // http or https is refused without a page: `done` is called at once, with
    // !ok. `done` is never called after the SitePages are gone; it may load
    // again.
    bool load(const std::string& url, std::function<void(SitePageRead)> done, int timeoutMs = kLoadTimeoutMs);
    int freePages() const;

    static constexpr int kLoadTimeoutMs = 20'000;
    // How long the read of a loaded page waits for the page's answer.
    static constexpr int kReadTimeoutMs = 5'000;
    static constexpr std::size_t kMaxTextBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kMaxLinks = 500;

private:
    struct Slot; // one reusable page

    // Outlives the profile, which asks it until it is gone.
    std::unique_ptr<RequestGuard> guard_;
    std::unique_ptr<QWebEngineProfile> profile_;
    std::vector<std::shared_ptr<Slot>> slots_;
};

} // namespace vellumax
