#pragma once

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

// One look at the current document: its body text, as ReadPageText gives
// it, and the texts (GBK) of its links that hold "下一页", for the pager of
// wide reading; no links when the source cannot see them.
struct PageWithLinks {
    std::string text;
    std::optional<std::vector<std::string>> nextPageLinks;
};

// Where result pages come from: a browser pane that loads a request URL and,
// when asked later, gives the text of whatever page it shows then.
class PageSource {
public:
    virtual ~PageSource() = default;

    // Starts loading and returns at once. Throws Error when the request is
    // refused.
    virtual void RequestPage(const std::string& url) = 0;

    // The body text of the current document, lines separated by CR LF, in
    // GBK, at once and whatever the load state. Throws Error when there is no
    // document, the document is not a web page ("Interface not supported"),
    // or it has no body.
    virtual std::string ReadPageText() = 0;

    // The body text and the next-page links, read together. A source that
    // cannot see the links gives the text alone.
    virtual PageWithLinks readPageWithLinks() { return {ReadPageText(), std::nullopt}; }

    // How the load of the last requested page went. A source that cannot
    // tell answers Unknown, and its pages are read as they are.
    virtual PageLoad lastLoad() const { return {}; }

    // Whether the source can tell everything of a load yet (a browser
    // engine needs a moment after its start to hear the answers' headers).
    // A run that begins at once waits for it, briefly.
    virtual bool ready() const { return true; }

    // Whether the page shown now, after whatever the user did in it, is a
    // loaded result page of the engine: the host and path of the last
    // request.
    virtual bool showsResultPage() const { return true; }
};

} // namespace vellumax
