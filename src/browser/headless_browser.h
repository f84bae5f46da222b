#pragma once

#include <memory>

class QWebEnginePage;
class QWebEngineProfile;

namespace vellumax {

// A browser engine page without a view, for a search run with no window: its
// own off-the-record profile (nothing of the run is kept on disk), no cache
// (a retried page is asked of the engine again, and nothing grows over a run
// of days), and no requests for page icons.
class HeadlessBrowser {
public:
    HeadlessBrowser();
    ~HeadlessBrowser(); // the page goes before its profile

    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    QWebEnginePage* page() const { return page_.get(); }

private:
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<QWebEnginePage> page_;
};

// Turns off what a harvest does not need from a page's settings: the page
// and touch icons, each a request of its own to the engine.
void turnOffPageIcons(QWebEnginePage* page);

} // namespace vellumax
