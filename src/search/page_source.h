#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellumax {

// How the load of the last requested page went, as far as the browser engine
// knows at the moment of asking. A page counts as failed when no answer came
// (the name does not resolve, the connection is refused or reset, the load
// timed out) or when the answer's HTTP status is 400 or more; such a page is
// never read, whatever its text holds.
struct PageLoad {
    enum class Outcome {
        Unknown, // nothing requested yet, or the source cannot tell
        Loading, // the load has not ended yet
        Loaded,  // the engine answered with a status below 400
        Failed,
        // The engine sent the request away from its result pages, to a page
        // of another host or path: a verification page, never read.
        Diverted,
    };
    PageLoad() = default;
    PageLoad(Outcome outcome, int httpStatus, std::string retryAfter = {})
        : outcome(outcome), httpStatus(httpStatus), retryAfter(std::move(retryAfter))
    {
    }

    Outcome outcome = Outcome::Unknown;
    int httpStatus = 0; // the answer's status; 0 when there was no answer
    // The answer's Retry-After value as sent (seconds, or an HTTP date);
    // empty when it had none or the source cannot see the answer's headers.
    std::string retryAfter;
};

// A result block of the engine's page as the document shows it: the title
// link's text and address, the block's `mu` attribute (the landing page's
// address, on today's pages) and its text. Addresses are as the document
// resolves them; texts are GBK.
struct PageBlock {
    std::string title;
    std::string titleHref;
    std::string mu;
    std::string text;
};

// One look at the current document: its body text, as ReadPageText gives
// it, and the texts (GBK) of its links that hold "下一页", for the pager of
// wide reading (no links when the source cannot see them), and its result
// blocks (none on older pages, or when the source cannot see them).
struct PageWithLinks {
    std::string text;
    std::optional<std::vector<std::string>> nextPageLinks;
    std::vector<PageBlock> blocks;
};

// What a read of the current document gave: the page, or why there was none
// to read (its text, GBK: "Interface not supported" for a document that is
// not a web page).
struct PageRead {
    PageWithLinks page;
    std::string error; // empty when the page was read
};

// Where result pages come from: a browser pane that loads a request URL and,
// when asked later, gives the text of whatever page it shows then. Its
// answers come as calls, when the browser has them: nobody waits for them.
class PageSource {
public:
    virtual ~PageSource() = default;

    // Starts loading and returns at once. Throws Error when the request is
    // refused.
    virtual void RequestPage(const std::string& url) = 0;

    // Reads the body text of the current document, lines separated by CR LF,
    // in GBK, whatever the load state, with the next-page links when
    // `withLinks` and the source can see them. `done` gets the page, or the
    // reason it could not be read (no document, not a web page, no body, no
    // answer in time): at once, or later from the event loop. It is called
    // once, and never after the source is gone.
    virtual void ReadPageText(bool withLinks, std::function<void(PageRead)> done) = 0;

    // How the load of the last requested page went. A source that cannot
    // tell answers Unknown, and its pages are read as they are.
    virtual PageLoad lastLoad() const { return {}; }

    // Calls `then` once the source can tell everything of a load (a browser
    // engine needs a moment after its start to hear the answers' headers),
    // or once it has waited long enough for that: at once when it can.
    virtual void whenReady(std::function<void()> then) { then(); }

    // `ended` is called each time a load the source was asked for ends, as
    // it ends; none by default.
    virtual void onLoadEnded(std::function<void()> /*ended*/) {}

    // Whether the page shown now, after whatever the user did in it, is a
    // loaded result page of the engine: the host and path of the last
    // request.
    virtual bool showsResultPage() const { return true; }
};

} // namespace vellumax
