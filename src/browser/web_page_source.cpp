#include "browser/web_page_source.h"

#include "browser/gbk_qt.h"
#include "text/error.h"

#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <memory>
#include <utility>

namespace vellumax {
namespace {

// Ten on a page today; the cap keeps a page of another kind from sending
// thousands.
constexpr int kMaxBlocks = 100;

// The line breaks of a text read from the page, as the program has them.
std::string gbkLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return gbkFromQString(text);
}

// The result blocks of the engine's page: each outermost div of class
// "result" or "c-container", at most kMaxBlocks, with its title link (the
// first link of its h3) and its `mu` attribute, where today's pages name the
// landing page. The texts have the blanks GBK lacks made plain or dropped,
// as the wide reading has them.
const QString kResultBlocksFunction = QStringLiteral(R"(function resultBlocks() {
  var plain = function (text) {
    return text.replace(/[\u00a0\u2002-\u200a\u202f\u205f]/g, ' ').replace(/[\u200b-\u200d\ufeff]/g, '');
  };
  var selector = 'div.result, div.c-container';
  var blocks = [];
  var found = document.body.querySelectorAll(selector);
  for (var i = 0; i < found.length && blocks.length < %1; ++i) {
    var block = found[i];
    if (block.parentElement && block.parentElement.closest(selector)) continue;
    var heading = block.querySelector('h3');
    var link = heading ? heading.querySelector('a') : null;
    var title = link ? link.innerText : heading ? heading.innerText : '';
    blocks.push([plain(title || ''), link ? link.href : '', block.getAttribute('mu') || '',
                 plain(block.innerText || '')]);
  }
  return blocks;
})")
                                          .arg(kMaxBlocks);

const QString kReadScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  if (!document.body) return { state: 'nobody' };
  %1
  return { state: 'ok', text: document.body.outerText, blocks: resultBlocks() };
})())")
                                .arg(kResultBlocksFunction);

// The wide reading's look: the text with the blanks that GBK lacks (the
// no-break space of "传真:&nbsp;0512-...") made plain blanks and the
// zero-width ones dropped, and the texts of the links that hold "下一页", for
// the pager.
const QString kReadWithLinksScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  if (!document.body) return { state: 'nobody' };
  %1
  var links = [];
  var anchors = document.getElementsByTagName('a');
  for (var i = 0; i < anchors.length; ++i) {
    var t = anchors[i].innerText;
    if (t && t.indexOf('\u4e0b\u4e00\u9875') >= 0) links.push(t);
  }
  var text = document.body.outerText.replace(/[\u00a0\u2002-\u200a\u202f\u205f]/g, ' ')
                                    .replace(/[\u200b-\u200d\ufeff]/g, '');
  return { state: 'ok', text: text, links: links, blocks: resultBlocks() };
})())")
                                         .arg(kResultBlocksFunction);

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
    if (loadEnded_)
        loadEnded_();
}

PageLoad WebPageSource::lastLoad() const
{
    PageLoad load = lastLoad_;
    // The answer's headers come their own way, also after the load's end.
    if (load.outcome != PageLoad::Outcome::Unknown && load.outcome != PageLoad::Outcome::Loading)
        load.retryAfter = responses_.retryAfter(endUrl_);
    return load;
}

void WebPageSource::whenReady(std::function<void()> then)
{
    if (responses_.listening()) {
        then();
        return;
    }
    // A page refused with Retry-After before the browser engine hears the
    // answers' headers would wait only the back-off. Bounded: a source that
    // never gets ready costs that, and nothing else.
    auto once = std::make_shared<std::function<void()>>(std::move(then));
    const auto call = [once] {
        if (*once)
            std::exchange(*once, nullptr)();
    };
    responses_.whenListening(&watcher_, call);
    QTimer::singleShot(kReadyWaitMs, &watcher_, call);
}

void WebPageSource::ReadPageText(bool withLinks, std::function<void(PageRead)> done)
{
    if (!requested_) {
        done({{}, "No document is loaded"});
        return;
    }
    // The first of the answer and the time-out is told; the other finds
    // nothing left to tell. Neither is told once the source is gone.
    auto pending = std::make_shared<std::function<void(PageRead)>>(std::move(done));
    const QPointer<QObject> alive(&watcher_);
    page_->runJavaScript(withLinks ? kReadWithLinksScript : kReadScript, QWebEngineScript::ApplicationWorld,
                         [pending, alive, withLinks](const QVariant& answer) {
                             if (alive && *pending)
                                 std::exchange(*pending, nullptr)(pageRead(answer, withLinks));
                         });
    QTimer::singleShot(kReadTimeoutMs, &watcher_, [pending] {
        if (*pending)
            std::exchange(*pending, nullptr)({{}, "The page did not answer"});
    });
}

PageRead WebPageSource::pageRead(const QVariant& answer, bool withLinks)
{
    const QVariantMap result = answer.toMap();
    const QString state = result.value(QStringLiteral("state")).toString();
    if (state == QLatin1String("nothtml"))
        return {{}, "Interface not supported"};
    if (state == QLatin1String("nobody"))
        return {{}, "The document has no body"};
    if (state != QLatin1String("ok"))
        return {{}, "No document is loaded"};

    PageRead read;
    read.page.text = gbkLines(result.value(QStringLiteral("text")).toString());
    for (const QVariant& block : result.value(QStringLiteral("blocks")).toList()) {
        const QVariantList fields = block.toList();
        if (fields.size() == 4)
            read.page.blocks.push_back({gbkFromQString(fields[0].toString()), fields[1].toString().toStdString(),
                                        fields[2].toString().toStdString(), gbkLines(fields[3].toString())});
    }
    if (withLinks) {
        std::vector<std::string> links;
        for (const QVariant& link : result.value(QStringLiteral("links")).toList())
            links.push_back(gbkFromQString(link.toString()));
        read.page.nextPageLinks = std::move(links);
    }
    return read;
}

} // namespace vellumax
