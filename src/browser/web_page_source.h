#pragma once

#include "browser/document_responses.h"
#include "search/page_source.h"

#include <QObject>
#include <QUrl>
#include <QVariant>
#include <functional>

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace vellumax {

// The page source over a browser engine page, with or without a view. Reading
// runs a small script in the current document; its answer, or a time-out,
// comes back from the event loop. The source watches the page's loads to
// tell how the last requested one ended.
class WebPageSource : public PageSource {
public:
    explicit WebPageSource(QWebEnginePage* page);

    void RequestPage(const std::string& url) override;
    void ReadPageText(bool withLinks, std::function<void(PageRead)> done) override;
    PageLoad lastLoad() const override;
    void whenReady(std::function<void()> then) override;
    void onLoadEnded(std::function<void()> ended) override { loadEnded_ = std::move(ended); }
    bool showsResultPage() const override { return showsResultPage_; }

    // How long a read waits for the document's answer, and a run's start
    // for the answers' headers to be heard.
    static constexpr int kReadTimeoutMs = 10'000;
    static constexpr int kReadyWaitMs = 5'000;

private:
    static PageRead pageRead(const QVariant& answer, bool withLinks);
    void loadingChanged(const QWebEngineLoadingInfo& info);

    QWebEnginePage* page_;
    // Owns the connection to the page: it ends with the source, also when the
    // page lives on (the window's view keeps its page).
    QObject watcher_;
    bool requested_ = false;
    QUrl requestedUrl_;
    // Whether the page is loading at all, as its own signals tell.
    bool pageLoading_ = false;
    // The engine announced the start of the last requested load: its end is
    // ours, wherever redirects took it.
    bool startSeen_ = false;
    // The request came while another load was under way. The engine then
    // folds it into that load without a start of its own, so only an end at
    // the requested address is ours.
    bool folded_ = false;
    PageLoad lastLoad_;
    // The last load that ended, whoever started it, left a result page in
    // the pane: the host and path of the last request.
    bool showsResultPage_ = false;
    // Where the last requested load ended, to find its answer's headers.
    QUrl endUrl_;
    DocumentResponses responses_;
    std::function<void()> loadEnded_;
};

} // namespace vellumax
