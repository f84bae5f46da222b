#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWebEngineProfile;

namespace vellumax {

// What a page of a result's own site gave.
struct SitePageRead {
    // False when the page failed to load, showed nothing by its time limit
    // or is not a web page.
    bool ok = false;
    std::string error;    // why not, when !ok (ASCII)
    std::string finalUrl; // where the load ended, after redirects
    std::string title;    // GBK
    // The rendered body text, GBK, lines separated by CR LF, empty lines
    // dropped, at most kMaxTextBytes. A table row's cells are separated by a
    // tab, so a label cell and its number stay on one line; paragraphs come
    // on neighbouring lines.
    std::string text;
    // (text GBK, absolute href) of the links to http and https addresses, in
    // the document's order, at most kMaxLinks.
    std::vector<std::pair<std::string, std::string>> links;
};

// Pages of sites nobody vouches for, loaded in reusable browser engine pages
// of their own: one off-the-record profile, never the engine's, so that no
// cookie passes between the two. A page may run its scripts, but it gets no
// images, plugins, windows, dialogs, permissions, downloads or page icons,
// and nothing is cached. Answers come from the event loop; nobody waits.
class SitePages {
public:
    explicit SitePages(int pages = 4);
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

    std::unique_ptr<QWebEngineProfile> profile_;
    std::vector<std::shared_ptr<Slot>> slots_;
};

// `gbkText` cut to at most `maxBytes`, never inside a double-byte character.
std::string cutGbk(std::string gbkText, std::size_t maxBytes);

} // namespace vellumax
