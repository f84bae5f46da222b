#pragma once

#include "browser/document_responses.h"
#include "search/page_source.h"

#include <QObject>
#include <QUrl>
#include <QVariantMap>

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace vellumax {

// The page source over a browser engine page, with or without a view. Reading
// runs a small script in the current document and waits for its answer in a
// local event loop that takes no user input, bounded in time. The source
// watches the page's loads to tell how the last requested one ended.
class WebPageSource : public PageSource {
public:
    explicit WebPageSource(QWebEnginePage* page);

    void RequestPage(const std::string& url) override;
    std::string ReadPageText() override;
    PageWithLinks readPageWithLinks() override;
    PageLoad lastLoad() const override;
    bool ready() const override { return responses_.listening(); }
    bool showsResultPage() const override { return showsResultPage_; }

private:
    // Runs a read script in the current document and gives its answer; throws
    // when there is no document to read.
    QVariantMap read(const QString& script);
    static std::string pageText(const QVariantMap& result);
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
};

} // namespace vellumax
