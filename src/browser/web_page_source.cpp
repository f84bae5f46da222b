#include "browser/web_page_source.h"

#include "browser/gbk_qt.h"
#include "text/error.h"

#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <memory>

namespace vellumax {
namespace {

constexpr int kReadTimeoutMs = 10'000;

const QString kReadScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  if (!document.body) return { state: 'nobody' };
  return { state: 'ok', text: document.body.outerText };
})())");

// The wide reading's look: the text with the blanks that GBK lacks (the
// no-break space of "传真:&nbsp;0512-...") made plain blanks and the
// zero-width ones dropped, and the texts of the links that hold "下一页", for
// the pager.
const QString kReadWithLinksScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  if (!document.body) return { state: 'nobody' };
  var links = [];
  var anchors = document.getElementsByTagName('a');
  for (var i = 0; i < anchors.length; ++i) {
    var t = anchors[i].innerText;
    if (t && t.indexOf('\u4e0b\u4e00\u9875') >= 0) links.push(t);
  }
  var text = document.body.outerText.replace(/[\u00a0\u2002-\u200a\u202f\u205f]/g, ' ')
                                    .replace(/[\u200b-\u200d\ufeff]/g, '');
  return { state: 'ok', text: text, links: links };
})())");

} // namespace

WebPageSource::WebPageSource(QWebEnginePage* page) : page_(page), responses_(page)
{
    QObject::connect(page_, &QWebEnginePage::loadingChanged, &watcher_,
                     [this](const QWebEngineLoadingInfo& info) { loadingChanged(info); });
}

void WebPageSource::RequestPage(const std::string& url)
{
    const QUrl target(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
    if (!target.isValid())
        throw Error("Invalid request address");
    requested_ = true;
    requestedUrl_ = target;
    startSeen_ = false;
    folded_ = pageLoading_;
    lastLoad_ = {PageLoad::Outcome::Loading, 0};
    responses_.forget();
    page_->load(target);
}

void WebPageSource::loadingChanged(const QWebEngineLoadingInfo& info)
{
    // The engine may spell the address its own way; compare as addresses.
    const bool atRequestedUrl =
        info.url().adjusted(QUrl::NormalizePathSegments) == requestedUrl_.adjusted(QUrl::NormalizePathSegments);
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        pageLoading_ = true;
        // A load the user started in the pane replaces ours.
        startSeen_ = requested_ && atRequestedUrl;
        folded_ = false;
        return;
    }
    pageLoading_ = false;
    // An earlier load that ends late says nothing of the page asked for last.
    const bool ours = startSeen_ || (folded_ && atRequestedUrl);
    startSeen_ = false;
    folded_ = false;

    const int status = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
    const bool succeeded =
        info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && !info.isErrorPage() && status < 400;
    // Every load that ends, the user's too, decides what the pane shows.
    // Where it ended counts, after the engine's redirects.
    const bool atResultPage = succeeded && info.url().host() == requestedUrl_.host() &&
                              info.url().adjusted(QUrl::NormalizePathSegments).path() ==
                                  requestedUrl_.adjusted(QUrl::NormalizePathSegments).path();
    if (requested_)
        showsResultPage_ = atResultPage;
    if (!ours)
        return;
    endUrl_ = info.url();

    if (!succeeded)
        lastLoad_ = {PageLoad::Outcome::Failed, status >= 400 ? status : 0};
    else
        lastLoad_ = {atResultPage ? PageLoad::Outcome::Loaded : PageLoad::Outcome::Diverted, status};
}

PageLoad WebPageSource::lastLoad() const
{
    PageLoad load = lastLoad_;
    // The answer's headers come their own way, also after the load's end.
    if (load.outcome != PageLoad::Outcome::Unknown && load.outcome != PageLoad::Outcome::Loading)
        load.retryAfter = responses_.retryAfter(endUrl_);
    return load;
}

std::string WebPageSource::ReadPageText()
{
    return pageText(read(kReadScript));
}

PageWithLinks WebPageSource::readPageWithLinks()
{
    const QVariantMap result = read(kReadWithLinksScript);
    std::vector<std::string> links;
    for (const QVariant& link : result.value(QStringLiteral("links")).toList())
        links.push_back(gbkFromQString(link.toString()));
    return {pageText(result), std::move(links)};
}

QVariantMap WebPageSource::read(const QString& script)
{
    if (!requested_)
        throw Error("No document is loaded");

    struct Answer {
        bool arrived = false;
        QVariant value;
        QEventLoop loop;
    };
    // The answer may come after the wait has given up; it must find its
    // state alive then.
    auto answer = std::make_shared<Answer>();
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant& v) {
        answer->arrived = true;
        answer->value = v;
        answer->loop.quit();
    });
    if (!answer->arrived) {
        QTimer::singleShot(kReadTimeoutMs, &answer->loop, &QEventLoop::quit);
        answer->loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!answer->arrived)
        throw Error("The page did not answer");

    const QVariantMap result = answer->value.toMap();
    const QString state = result.value(QStringLiteral("state")).toString();
    if (state == QLatin1String("nothtml"))
        throw Error("Interface not supported");
    if (state == QLatin1String("nobody"))
        throw Error("The document has no body");
    if (state != QLatin1String("ok"))
        throw Error("No document is loaded");
    return result;
}

std::string WebPageSource::pageText(const QVariantMap& result)
{
    QString text = result.value(QStringLiteral("text")).toString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return gbkFromQString(text);
}

} // namespace vellumax
