#pragma once

#include "browser/protocol_answer.h"

#include <QPointer>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

class QWebEnginePage;

namespace vellumax {

// What the answers to a page's main-frame document requests said in their
// headers, which Qt before 6.6 does not tell. They are read in process
// over the browser engine's inspection protocol: a hidden tools page is
// attached to the page, and a script in it takes the protocol's messages,
// keeps nothing of them but the address and Retry-After value of each
// document answer of the main frame, and reports those on its console. The
// tools page never starts the inspector's own interface and asks the engine
// to keep no answer bodies, so nothing piles up over a run of days; no port
// is opened, nothing goes to disk, and no request is added.
//
// The tools page needs a second or so after its creation before it hears
// anything: answers that come earlier go unseen. It is made once for a page
// and stays with it. When the protocol does not answer it within 10 seconds
// it gives up, with one warning: the run then goes on without Retry-After.
//
// This rests on internals Qt neither documents nor keeps. Qt 6.6 tells the
// headers itself, in QWebEngineLoadingInfo::responseHeaders(): once the
// oldest Qt the program builds with has it, that is the way, and this class
// goes.
class DocumentResponses {
public:
    explicit DocumentResponses(QWebEnginePage* page);
    ~DocumentResponses();

    DocumentResponses(const DocumentResponses&) = delete;
    DocumentResponses& operator=(const DocumentResponses&) = delete;

    // Whether the tools page hears the page's answers yet.
    bool listening() const;
    // Calls `then` when the tools page starts hearing them, or gives up;
    // never once `context` is gone.
    void whenListening(QObject* context, std::function<void()> then);

    // Forgets every answer seen so far: called as a new page is requested.
    void forget() { answers_.clear(); }

    // The Retry-After value, as sent, of the latest document answer from
    // `url` seen since the last forget(); empty when there was none or it had
    // no such header.
    std::string retryAfter(const QUrl& url) const;

private:
    void take(const DocumentAnswer& answer);

    QPointer<QWebEnginePage> tools_;
    // The answers since the last request: redirects end in one answer, so a
    // few at most; older ones go when there are more.
    std::vector<DocumentAnswer> answers_;
};

} // namespace vellumax
