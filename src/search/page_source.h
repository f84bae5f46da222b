#pragma once

#include <string>

namespace vellumax {

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
};

} // namespace vellumax
