#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <functional>

namespace vellumax {

// Stops every request of a profile's pages that may not leave: an http or
// https address that `mayRequest` refuses, whatever asks for it (the page
// itself, a redirect, a frame, a script, a fetch, an image), and any other
// scheme but data: and about:. A site's page must not reach into the user's
// own network, nor hand an address to another program on this machine.
// The engine asks about a redirect only once it has followed it: the pages
// ask the guard before a page or frame goes on (see SitePages), but the
// redirect of a script, style sheet or fetch may still reach its target
// before it is stopped.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    // Without `mayRequest`, every http and https address may be requested.
    explicit RequestGuard(std::function<bool(const QUrl&)> mayRequest, QObject* parent = nullptr);

    // Set on the profile (not on a page), this runs on the thread the pages
    // live on.
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

    bool allows(const QUrl& url) const;

private:
    std::function<bool(const QUrl&)> mayRequest_;
};

} // namespace vellumax
