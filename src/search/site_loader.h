#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

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
    // dropped. A table row's cells are separated by a tab, so a label cell
    // and its number stay on one line; paragraphs come on neighbouring lines.
    std::string text;
    // (text GBK, absolute href) of the links to http and https addresses, in
    // the document's order.
    std::vector<std::pair<std::string, std::string>> links;
};

// Where the pages of the results' own sites come from. Answers come as
// calls, from the event loop or at once; nobody waits for them, and none
// comes once the loader is gone.
class SiteLoader {
public:
    virtual ~SiteLoader() = default;

    // Loads a site's page and reads it. False, and no call of `done`, when
    // no page is free now.
    virtual bool loadPage(const std::string& url, std::function<void(SitePageRead)> done) = 0;

    // Asks for a robots.txt with its own time limit; `done` gets the answer's
    // HTTP status (0 for no answer at all or a time-out) and its body, cut
    // to what the rules read.
    virtual void fetchRobots(const std::string& url, std::function<void(int httpStatus, std::string body)> done) = 0;
};

} // namespace vellumax
