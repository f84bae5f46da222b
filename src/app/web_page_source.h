#pragma once

#include "search/page_source.h"

class QWebEngineView;

namespace vellumax {

// The page source over the browser pane. Reading runs a small script in the
// current document and waits for its answer in a local event loop that
// takes no user input, bounded in time.
class WebPageSource : public PageSource {
public:
    explicit WebPageSource(QWebEngineView* view) : view_(view) {}

    void RequestPage(const std::string& url) override;
    std::string ReadPageText() override;

private:
    QWebEngineView* view_;
    bool requested_ = false;
};

} // namespace vellumax
