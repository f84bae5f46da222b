#include "browser/document_responses.h"

#include "browser/protocol_answer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QtGlobal>
#include <functional>
#include <utility>

namespace vellumax {
namespace {

// Begins every console message of the tools page's script that is meant
// for this side.
const QString kReportMark = QStringLiteral("vellumax-document-answer ");

// How often, and how many times, the script asks for the page's frames
// before it gives up: 10 seconds, against the second or so it takes.
constexpr int kAskIntervalMs = 200;
constexpr int kMostAsks = 50;

// Runs in the tools page's own world before anything else there, where the
// engine's embedder bindings already stand: DevToolsAPI takes the protocol's
// messages for the page, DevToolsHost sends commands. %1 is the report
// mark, %2 and %3 the asking interval and count.
const QString kWatchScript = QStringLiteral(R"((function () {
  var host = window.DevToolsHost, api = window.DevToolsAPI;
  if (!host || !api || window.vellumaxWatching) return;
  window.vellumaxWatching = true;
  var mark = '%1';
  var nextId = 1, mainFrame = '';
  function send(method, params) {
    var command = JSON.stringify({ id: nextId++, method: method, params: params || {} });
    host.sendMessageToEmbedder(JSON.stringify({ id: 0, method: 'dispatchProtocolMessage', params: [command] }));
    return nextId - 1;
  }
  var enableId = -1;
  api.dispatchMessage = function (message) {
    var m;
    try { m = typeof message === 'string' ? JSON.parse(message) : message; } catch (e) { return; }
    if (m.result && m.result.frameTree) { mainFrame = m.result.frameTree.frame.id; return; }
    if (m.id === enableId) { console.log(mark + JSON.stringify({ listening: true })); return; }
    // Only document answers cross over; which of them count is decided there.
    if (m.method !== 'Network.responseReceived' || !m.params || m.params.type !== 'Document') return;
    console.log(mark + JSON.stringify({ mainFrame: mainFrame, message: m }));
  };
  // Only huge messages come in chunks, never a document answer's.
  api.dispatchMessageChunk = function () {};
  // The inspector's interface is not needed, and it would keep a log of
  // every request: an empty document takes its place and loads at once.
  document.open();
  document.write('<!doctype html><title></title>');
  document.close();
  // The page is attached a moment after that document has loaded; ask until
  // it answers, or give up and say so. Answer bodies are not kept for an
  // inspector to show.
  var asks = 0;
  (function ask() {
    if (mainFrame) {
      enableId = send('Network.enable', { maxTotalBufferSize: 0, maxResourceBufferSize: 0 });
      return;
    }
    if (asks++ >= %3) { console.log(mark + JSON.stringify({ gaveUp: true })); return; }
    send('Page.getFrameTree');
    setTimeout(ask, %2);
  })();
})())");

constexpr size_t kMaxAnswers = 8;

class ToolsPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

    // Where the reports go: to the latest listener, nowhere once it has left.
    void listen(const void* who, std::function<void(const DocumentAnswer&)> listener)
    {
        listenerId_ = who;
        listener_ = std::move(listener);
    }
    bool listening() const { return listening_; }
    void whenListening(QObject* context, std::function<void()> then)
    {
        waiting_.emplace_back(context, std::move(then));
    }
    void leave(const void* who)
    {
        if (listenerId_ == who)
            listen(nullptr, nullptr);
    }

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override
    {
        if (!message.startsWith(kReportMark))
            return;
        const QJsonObject report = QJsonDocument::fromJson(message.mid(kReportMark.size()).toUtf8()).object();
        if (report.value(QStringLiteral("listening")).toBool()) {
            listening_ = true;
            tellWaiting();
        } else if (report.value(QStringLiteral("gaveUp")).toBool()) {
            qWarning("The browser engine's inspection protocol does not answer: the search engine's "
                     "Retry-After will go unheard, and a refused page waits only its back-off.");
            tellWaiting();
        } else if (listener_) {
            const auto answer = documentAnswer(report.value(QStringLiteral("message")).toObject(),
                                               report.value(QStringLiteral("mainFrame")).toString());
            if (answer)
                listener_(*answer);
        }
    }

private:
    void tellWaiting()
    {
        for (auto& [context, then] : std::exchange(waiting_, {})) {
            if (context)
                then();
        }
    }

    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> waiting_;
    bool listening_ = false;
    const void* listenerId_ = nullptr;
    std::function<void(const DocumentAnswer&)> listener_;
};

QUrl comparable(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments); }

} // namespace

DocumentResponses::DocumentResponses(QWebEnginePage* page)
{
    // The tools page stays with the page, so that a later source over it
    // hears from its first request on. A child of the page, it goes with it,
    // before the page's profile.
    auto* tools = dynamic_cast<ToolsPage*>(page->devToolsPage());
    if (!tools) {
        tools = new ToolsPage(page->profile(), page);
        QWebEngineScript watch;
        watch.setName(QStringLiteral("vellumax-document-answers"));
        watch.setInjectionPoint(QWebEngineScript::DocumentCreation);
        watch.setWorldId(QWebEngineScript::MainWorld);
        watch.setRunsOnSubFrames(false);
        watch.setSourceCode(kWatchScript.arg(kReportMark).arg(kAskIntervalMs).arg(kMostAsks));
        tools->scripts().insert(watch);
        page->setDevToolsPage(tools);
    }
    tools->listen(this, [this](const DocumentAnswer& answer) { take(answer); });
    tools_ = tools;
}

DocumentResponses::~DocumentResponses()
{
    if (tools_)
        static_cast<ToolsPage*>(tools_.data())->leave(this);
}

bool DocumentResponses::listening() const
{
    return tools_ && static_cast<const ToolsPage*>(tools_.data())->listening();
}

void DocumentResponses::whenListening(QObject* context, std::function<void()> then)
{
    if (tools_)
        static_cast<ToolsPage*>(tools_.data())->whenListening(context, std::move(then));
}

std::string DocumentResponses::retryAfter(const QUrl& url) const
{
    const QUrl wanted = comparable(url);
    for (auto it = answers_.rbegin(); it != answers_.rend(); ++it) {
        if (comparable(it->url) == wanted)
            return it->retryAfter;
    }
    return {};
}

void DocumentResponses::take(const DocumentAnswer& answer)
{
    if (answers_.size() >= kMaxAnswers)
        answers_.erase(answers_.begin());
    answers_.push_back(answer);
}

} // namespace vellumax
