#include "browser/site_pages.h"

#include "browser/gbk_qt.h"
#include "browser/headless_browser.h"
#include "browser/request_guard.h"
#include "text/gbk_codec.h"

#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <utility>

namespace vellumax {
namespace {

// The text is cut in the page already, so that a page of hundreds of
// megabytes never crosses to this process whole. A character is at least one
// GBK byte: the cut in characters keeps all that the cut in bytes may keep.
const QString kReadScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  var text = document.body ? document.body.innerText : '';
  if (text.length > %1) text = text.substring(0, %1);
  // GBK has no no-break or narrow blanks ("传真:&nbsp;0512-..."), and no
  // zero-width ones. innerText leaves an empty line between paragraphs: a
  // label's paragraph and its number's become neighbouring lines.
  text = text.replace(/[\u00a0\u2002-\u200a\u202f\u205f]/g, ' ')
             .replace(/[\u200b-\u200d\ufeff]/g, '')
             .split(/\r\n|\r|\n/).filter(function (line) { return /\S/.test(line); }).join('\n');
  var links = [];
  var anchors = document.links;
  for (var i = 0; i < anchors.length && links.length < %2; ++i) {
    var href = anchors[i].href;
    if (!/^https?:/i.test(href)) continue;
    var label = (anchors[i].innerText || anchors[i].title || '')
                    .replace(/[\u00a0\u2002-\u200a\u202f\u205f]/g, ' ').replace(/\s+/g, ' ').trim();
    links.push([label, href]);
  }
  return { state: 'ok', title: document.title, text: text, links: links };
})())")
                                .arg(SitePages::kMaxTextBytes)
                                .arg(SitePages::kMaxLinks);

// A page that shows nothing of itself to anybody: no windows, and its
// dialogs answered at once as a person who says no would.
class GuardedPage : public QWebEnginePage {
public:
    GuardedPage(QWebEngineProfile* profile, const RequestGuard& guard) : QWebEnginePage(profile), guard_(guard) {}

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    // Strangers' console chatter stays out of the program's output.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

    // A site's page may go on to other web pages only, never to a local file
    // or an address that another program on this machine would open. The
    // guard is asked here too: the engine follows a redirect before it asks
    // the profile's guard about it, but a page or frame is asked first.
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        const QString scheme = url.scheme();
        return ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && guard_.allows(url)) ||
               (!isMainFrame && scheme == QLatin1String("data")) || url == QUrl(QStringLiteral("about:blank"));
    }

private:
    const RequestGuard& guard_;
};

// The engine's code for a load given up, as when the answer is a download.
constexpr int kAbortedError = -3;
// How long an aborted load waits for the download that may have taken its
// place, to be told as one.
constexpr int kDownloadWaitMs = 1000;
// How long a load waits at most for the blank page before it to end.
constexpr int kBlankWaitMs = 1000;

bool isBlank(const QUrl& url) { return url.isEmpty() || url.scheme() == QLatin1String("about"); }

std::string ascii(const QString& text) { return text.toLatin1().toStdString(); }

SitePageRead failure(std::string error, const QUrl& url = {})
{
    SitePageRead read;
    read.error = std::move(error);
    read.finalUrl = ascii(url.toString(QUrl::FullyEncoded));
    return read;
}

SitePageRead readOf(const QVariant& answer, const QUrl& url, bool timedOut)
{
    const QVariantMap result = answer.toMap();
    const QString state = result.value(QStringLiteral("state")).toString();
    if (state == QLatin1String("nothtml"))
        return failure("Not a web page", url);
    if (state != QLatin1String("ok"))
        return failure(timedOut ? "Nothing shown by the time limit" : "No document is loaded", url);

    SitePageRead read;
    read.finalUrl = ascii(url.toString(QUrl::FullyEncoded));
    read.title = gbkFromQString(result.value(QStringLiteral("title")).toString());
    QString text = result.value(QStringLiteral("text")).toString();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    read.text = cutGbk(gbkFromQString(text), SitePages::kMaxTextBytes);
    if (read.text.size() == SitePages::kMaxTextBytes && read.text.back() == '\r')
        read.text.pop_back();
    for (const QVariant& link : result.value(QStringLiteral("links")).toList()) {
        const QVariantList pair = link.toList();
        if (pair.size() == 2 && read.links.size() < SitePages::kMaxLinks)
            read.links.emplace_back(gbkFromQString(pair[0].toString()), ascii(QUrl(pair[1].toString()).toEncoded()));
    }
    read.ok = !timedOut || !read.text.empty();
    if (!read.ok)
        read.error = "Nothing shown by the time limit";
    return read;
}

} // namespace

struct SitePages::Slot {
    // Aborted: the load was given up, maybe for a download that the engine
    // offers a moment later.
    enum class State { Free, Loading, Aborted, Reading };

    QWebEngineProfile* profile = nullptr;
    const RequestGuard* guard = nullptr;
    std::unique_ptr<GuardedPage> page;
    QTimer timer;
    State state = State::Free;
    // Answers of an earlier load, that come late, find another generation.
    unsigned generation = 0;
    // The engine announced the start of the requested load: the next end is
    // its end, wherever redirects took it. The end of the blank page that
    // went before is not.
    bool startSeen = false;
    bool timedOut = false;
    QUrl requested;
    // The blank page that freed the slot still loads. A load asked for
    // meanwhile waits for its end (`deferred`): started at once, it would be
    // folded into the blank one, and the engine would tell its end without
    // its start, or not at all.
    bool blankLoading = false;
    QUrl deferred;
    SitePageRead abortRead; // told when no download comes
    std::function<void(SitePageRead)> done;

    // Tells `read` and frees the page, which lets go of the site's document;
    // `done` may take the page again at once.
    void finish(SitePageRead read)
    {
        timer.stop();
        state = State::Free;
        ++generation;
        auto answer = std::exchange(done, nullptr);
        deferred = QUrl();
        blankLoading = true;
        page->load(QUrl(QStringLiteral("about:blank")));
        if (answer)
            answer(std::move(read));
    }

    static void read(const std::shared_ptr<Slot>& slot)
    {
        slot->state = State::Reading;
        slot->timer.start(kReadTimeoutMs);
        const std::weak_ptr<Slot> weak = slot;
        const unsigned generation = slot->generation;
        slot->page->runJavaScript(kReadScript, QWebEngineScript::ApplicationWorld,
                                  [weak, generation](const QVariant& answer) {
                                      const auto slot = weak.lock();
                                      if (!slot || slot->generation != generation || slot->state != State::Reading)
                                          return;
                                      slot->finish(readOf(answer, slot->page->url(), slot->timedOut));
                                  });
    }

    void startDeferred()
    {
        blankLoading = false;
        if (deferred.isValid())
            page->load(std::exchange(deferred, QUrl()));
    }

    void loadingChanged(const std::shared_ptr<Slot>& self, const QWebEngineLoadingInfo& info)
    {
        if (blankLoading && isBlank(info.url()) && info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
            startDeferred();
            return;
        }
        if (state != State::Loading)
            return;
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            startSeen = startSeen || !isBlank(info.url());
            return;
        }
        // A load asked for while the blank page before it still loads is
        // folded into that one, without a start of its own: then only an end
        // at the requested address is ours.
        if (!startSeen && !info.url().matches(requested, QUrl::StripTrailingSlash))
            return;
        const int status = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
        if (status >= 400) {
            finish(failure("HTTP status " + std::to_string(status), info.url()));
        } else if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus || info.isErrorPage()) {
            SitePageRead failed =
                failure(info.errorString().isEmpty() ? "The page did not load" : ascii(info.errorString()), info.url());
            if (info.errorCode() != kAbortedError) {
                finish(std::move(failed));
                return;
            }
            state = State::Aborted;
            abortRead = std::move(failed);
            timer.start(kDownloadWaitMs);
        } else {
            read(self);
        }
    }

    void timeout(const std::shared_ptr<Slot>& self)
    {
        if (state == State::Aborted) {
            finish(std::exchange(abortRead, {}));
        } else if (state == State::Loading) {
            // Whatever the page shows by now is what it has to give.
            timedOut = true;
            read(self);
        } else if (state == State::Reading) {
            // A script that keeps the page's thread keeps it from any further
            // load of the same site: a new page takes its place.
            const std::unique_ptr<GuardedPage> hung = std::move(page);
            openPage(self);
            finish(failure("The page did not answer", hung->url()));
        }
    }

    void openPage(const std::shared_ptr<Slot>& self)
    {
        page = std::make_unique<GuardedPage>(profile, *guard);
        QWebEnginePage* const opened = page.get();
        turnOffPageIcons(opened);
        opened->setAudioMuted(true);
        QObject::connect(opened, &QWebEnginePage::featurePermissionRequested, opened,
                         [opened](const QUrl& origin, QWebEnginePage::Feature feature) {
                             opened->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                         });
        const std::weak_ptr<Slot> weak = self;
        QObject::connect(opened, &QWebEnginePage::loadingChanged, opened, [weak](const QWebEngineLoadingInfo& info) {
            if (const auto slot = weak.lock())
                slot->loadingChanged(slot, info);
        });
    }
};

SitePages::SitePages(int pages, std::function<bool(const QUrl&)> mayRequest)
    : guard_(std::make_unique<RequestGuard>(std::move(mayRequest))), profile_(std::make_unique<QWebEngineProfile>())
{
    profile_->setUrlRequestInterceptor(guard_.get());
    // Off the record (the profile has no name) and without a cache: nothing a
    // site sends stays on disk, and nothing of the engine's session is here.
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings* settings = profile_->settings();
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    // A failed load shows nothing, rather than an error page that a read
    // after the time limit would take for the site's text.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    QObject::connect(profile_.get(), &QWebEngineProfile::downloadRequested, profile_.get(),
                     [this](QWebEngineDownloadRequest* download) {
                         // Not download->page(): the engine may start the
                         // download after the page has let go of the load,
                         // and the request then has no page to ask. It is
                         // the download of the load at its address, which
                         // may not have told its end yet; else, after a
                         // redirect, of the only load given up.
                         const QUrl url = download->url();
                         download->cancel();
                         std::shared_ptr<Slot> owner;
                         int aborted = 0;
                         for (const auto& slot : slots_) {
                             if (slot->state == Slot::State::Free || slot->state == Slot::State::Reading)
                                 continue;
                             if (slot->requested.matches(url, QUrl::StripTrailingSlash)) {
                                 owner = slot;
                                 break;
                             }
                             if (slot->state == Slot::State::Aborted && ++aborted == 1)
                                 owner = slot;
                         }
                         if (owner && (aborted <= 1 || owner->requested.matches(url, QUrl::StripTrailingSlash)))
                             owner->finish(failure("A download, refused", url));
                     });

    for (int i = 0; i < pages; ++i) {
        auto slot = std::make_shared<Slot>();
        slot->profile = profile_.get();
        slot->guard = guard_.get();
        slot->openPage(slot);
        const std::weak_ptr<Slot> weak = slot;
        slot->timer.setSingleShot(true);
        slot->timer.setTimerType(Qt::PreciseTimer);
        // Not the page: a time-out may replace it.
        QObject::connect(&slot->timer, &QTimer::timeout, profile_.get(), [weak] {
            if (const auto slot = weak.lock())
                slot->timeout(slot);
        });
        slots_.push_back(std::move(slot));
    }
}

SitePages::~SitePages()
{
    // No answer is told from here on, also not one the engine gives its pages
    // as they go.
    for (const auto& slot : slots_) {
        slot->done = nullptr;
        ++slot->generation;
        slot->state = Slot::State::Free;
        slot->page.reset();
    }
}

bool SitePages::load(const std::string& url, std::function<void(SitePageRead)> done, int timeoutMs)
{
    const QUrl target(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
    const QString scheme = target.scheme();
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        done(failure("Not an http or https address"));
        return true;
    }
    for (const auto& slot : slots_) {
        if (slot->state != Slot::State::Free)
            continue;
        slot->state = Slot::State::Loading;
        ++slot->generation;
        slot->startSeen = false;
        slot->timedOut = false;
        slot->done = std::move(done);
        slot->requested = target;
        slot->timer.start(timeoutMs);
        if (!slot->blankLoading) {
            slot->page->load(target);
            return true;
        }
        // Should the blank page's end never be told, the load starts anyway.
        slot->deferred = target;
        const std::weak_ptr<Slot> weak = slot;
        const unsigned generation = slot->generation;
        QTimer::singleShot(kBlankWaitMs, slot->page.get(), [weak, generation] {
            if (const auto waiting = weak.lock(); waiting && waiting->generation == generation)
                waiting->startDeferred();
        });
        return true;
    }
    return false;
}

int SitePages::freePages() const
{
    int free = 0;
    for (const auto& slot : slots_)
        free += slot->state == Slot::State::Free ? 1 : 0;
    return free;
}

} // namespace vellumax
