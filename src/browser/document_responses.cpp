#include "browser/document_responses.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <functional>

namespace vellumax {
namespace {

const QString kReportMark = QStringLiteral("vellumax-document-answer ");

// Runs in the tools page's own world before anything else there, where the
// engine's embedder bindings already stand: DevToolsAPI takes the protocol's
// messages for the page, DevToolsHost sends commands.
const QString kWatchScript = QStringLiteral(R"((function () {
  var host = window.DevToolsHost, api = window.DevToolsAPI;
  if (!host || !api || window.vellumaxWatching) return;
  window.vellumaxWatching = true;
  var mark = 'vellumax-document-answer ';
  var nextId = 1, mainFrame = '';
  function send(method, params) {
    var command = JSON.stringify({ id: nextId++, method: method, params: params || {} });
    host.sendMessageToEmbedder(JSON.stringify({ id: 0, method: 'dispatchProtocolMessage', params: [command] }));
    return nextId - 1;
  }
  var enableId = -1;
  function header(headers, name) {
    for (var key in headers)
      if (key.toLowerCase() === name) return String(headers[key]);
    return '';
  }
  api.dispatchMessage = function (message) {
    var m;
    try { m = typeof message === 'string' ? JSON.parse(message) : message; } catch (e) { return; }
    if (m.result && m.result.frameTree) { mainFrame = m.result.frameTree.frame.id; return; }
    if (m.id === enableId) { console.log(mark + JSON.stringify({ listening: true })); return; }
    // Frames in processes of their own speak in sessions; only the main one counts.
    if (m.method !== 'Network.responseReceived' || m.sessionId) return;
    var p = m.params;
    if (p.type !== 'Document' || p.frameId !== mainFrame) return;
    console.log(mark + JSON.stringify({ url: p.response.url, retryAfter: header(p.response.headers, 'retry-after') }));
  };
  // Only huge messages come in chunks, never a document answer's.
  api.dispatchMessageChunk = function () {};
  // The inspector's interface is not needed, and it would keep a log of
  // every request: an empty document takes its place and loads at once.
  document.open();
  document.write('<!doctype html><title></title>');
  document.close();
  // The page is attached a moment after that document has loaded; ask until
  // it answers. Answer bodies are not kept for an inspector to show.
  (function ask() {
    if (mainFrame) {
      enableId = send('Network.enable', { maxTotalBufferSize: 0, maxResourceBufferSize: 0 });
      return;
    }
    send('Page.getFrameTree');
    setTimeout(ask, 200);
  })();
})())");

constexpr size_t kMaxAnswers = 8;

class ToolsPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

    // Where the reports go: to the latest listener, nowhere once it has left.
    void listen(const void* who, std::function<void(const QString&)> listener)
    {
        listenerId_ = who;
        listener_ = std::move(listener);
    }
    bool listening() const { return listening_; }
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
        const QString report = message.mid(kReportMark.size());
        if (report == QLatin1String("{\"listening\":true}"))
            listening_ = true;
        else if (listener_)
            listener_(report);
    }

private:
    bool listening_ = false;
    const void* listenerId_ = nullptr;
    std::function<void(const QString&)> listener_;
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
        watch.setSourceCode(kWatchScript);
        tools->scripts().insert(watch);
        page->setDevToolsPage(tools);
    }
    tools->listen(this, [this](const QString& report) { take(report); });
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

std::string DocumentResponses::retryAfter(const QUrl& url) const
{
    const QUrl wanted = comparable(url);
    for (auto it = answers_.rbegin(); it != answers_.rend(); ++it) {
        if (comparable(it->url) == wanted)
            return it->retryAfter;
    }
    return {};
}

void DocumentResponses::take(const QString& report)
{
    const QJsonObject answer = QJsonDocument::fromJson(report.toUtf8()).object();
    const QUrl url(answer.value(QStringLiteral("url")).toString());
    if (!url.isValid())
        return;
    if (answers_.size() >= kMaxAnswers)
        answers_.erase(answers_.begin());
    answers_.push_back({url, answer.value(QStringLiteral("retryAfter")).toString().toStdString()});
}

} // namespace vellumax
