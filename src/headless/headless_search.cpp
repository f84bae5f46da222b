#include "headless/headless_search.h"

#include "browser/headless_browser.h"
#include "browser/qt_page_timer.h"
#include "browser/web_page_source.h"
#include "browser/web_site_loader.h"
#include "files/keyword_import.h"
#include "headless/signal_watcher.h"
#include "search/connectivity.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <QCoreApplication>
#include <filesystem>
#include <unistd.h>

namespace vellumax {

HeadlessSearch::HeadlessSearch(cli::SearchOptions options, HeadlessServices services)
    : options_(std::move(options)), services_(std::move(services)),
      display_(services_.messages, services_.terminal.value_or(::isatty(::fileno(services_.messages)) == 1)),
      session_(services_.endpoint, keywordList_, results_)
{}

HeadlessSearch::~HeadlessSearch() = default;

void HeadlessSearch::start(std::function<void(int exitCode)> ended)
{
    ended_ = std::move(ended);
    try {
        open();
    } catch (const std::exception& e) {
        failed(e.what());
    }
}

void HeadlessSearch::open()
{
    const std::string address = services_.localAddressText ? services_.localAddressText() : LocalAddressText();
    if (session_.refusal(address) == RunSession::Refusal::Offline)
        throw Error(RunSession::refusalText(RunSession::Refusal::Offline));
    keywordList_ = loadKeywordList(options_.keywordFile);
    if (const RunSession::Refusal refusal = session_.refusal(address); refusal != RunSession::Refusal::None)
        throw Error(RunSession::refusalText(refusal));
    const int32_t start = options_.resume ? RunSession::resumePosition(options_.stateFile) : options_.start.value_or(0);
    if (!session_.setStartPosition(start))
        throw Error(RunSession::startBeyondListText());
    // The sites are read with the wide reading, and so are the engine's
    // pages then.
    session_.run().setWideReading(options_.wide || options_.deep);

    RunFiles files;
    files.numbers = options_.output;
    files.table = options_.tableFile;
    files.tableUtf8 = options_.tableUtf8;
    files.state = options_.stateFile;
    // The state file names the keyword file as the window's field does: its
    // full path, in GBK.
    files.stateSettings.keywordFile =
        gbkFromUtf8(std::filesystem::absolute(options_.keywordFile).lexically_normal().string());
    files.stateSettings.deduplicate = options_.deduplicate;
    files.stateSettings.interval = options_.interval;
    files.keepList = options_.deduplicate;
    session_.openFiles(std::move(files));

    if (services_.pageSource) {
        pageSource_ = services_.pageSource();
    } else {
        browser_ = std::make_unique<HeadlessBrowser>();
        pageSource_ = std::make_unique<WebPageSource>(browser_->page());
    }
    const auto tick = [this] { session_.tick(); };
    if (services_.pageTimer) {
        pageTimer_ = services_.pageTimer(*pageSource_, tick);
    } else {
        pageTimer_ = std::make_unique<QtPageTimer>(qtTimer_);
        QObject::connect(&qtTimer_, &QTimer::timeout, tick);
    }
    session_.attach(*pageSource_, *pageTimer_, *this);
    if (options_.deep) {
        siteLoader_ = services_.siteLoader
                          ? services_.siteLoader(session_.engineHost(), services_.loopbackSites)
                          : std::make_unique<WebSiteLoader>(session_.engineHost(), services_.loopbackSites);
        session_.readSites(siteLoader_.get(), services_.loopbackSites);
        progress_.readsSites = true;
    }
    pageSource_->whenReady([this] { begin(); });
}

void HeadlessSearch::begin()
{
    if (phase_ != Phase::Starting)
        return;
    phase_ = Phase::Searching;
    signals_ = std::make_unique<SignalWatcher>([this](int signal) { stopBySignal(signal); });
    progress_.keywordCount = static_cast<int32_t>(keywordList_.size());
    progress_.intervalSeconds = options_.interval;
    session_.begin();
    session_.requestStep();
}

void HeadlessSearch::showKeywordPosition(int32_t cursor)
{
    if (cursor == progress_.keywordNumber || phase_ == Phase::Ended)
        return;
    progress_.keywordBegun(cursor, cursor >= 1 && static_cast<size_t>(cursor) <= keywordList_.size()
                                       ? keywordList_[static_cast<size_t>(cursor) - 1]
                                       : std::string());
}

void HeadlessSearch::showStatus(const RunStatus& status)
{
    // "正在搜索..." comes with every tick: tell a change only.
    const std::string message = statusText(status);
    if (message == lastMessage_ || phase_ == Phase::Ended)
        return;
    lastMessage_ = message;
    display_.message(utf8FromGbk(message));
}

void HeadlessSearch::pageRead(const SearchRun::PageResult& page)
{
    if (phase_ == Phase::Ended)
        return;
    progress_.pageRead(static_cast<int64_t>(page.added.size()), page.foundCount);
    display_.show(progress_);
}

void HeadlessSearch::showSites(const SiteReport& report)
{
    if (phase_ == Phase::Ended)
        return;
    const int64_t read = static_cast<int64_t>(report.progress.read);
    const int64_t waiting = static_cast<int64_t>(report.progress.waiting + report.progress.loading);
    const bool moved = read != progress_.sitePagesRead || !report.added.empty();
    progress_.sitePagesRead = read;
    progress_.sitePagesWaiting = waiting;
    progress_.numbersInAll = report.foundCount;
    // A log gets a line for each site's page read, not for each page queued.
    if (moved)
        display_.show(progress_);
}

void HeadlessSearch::showVerificationPending(bool pending)
{
    if (phase_ == Phase::Ended)
        return;
    if (!pending) {
        display_.message("搜索引擎不再要求验证，继续搜索");
        return;
    }
    // Said once: the run may wait here for hours, and the user needs the
    // window to get past it.
    display_.message(verificationNotice(progress_, nowUnixMs()));
}

void HeadlessSearch::finish()
{
    if (phase_ == Phase::Ended)
        return;
    display_.message("搜索已经结束！");
    end(stopSignal_ ? 128 + stopSignal_ : 0);
}

void HeadlessSearch::stopBySignal(int signal)
{
    if (phase_ == Phase::Ended)
        return;
    if (phase_ == Phase::Stopping) {
        // Asked twice: end now, without the page in progress.
        pageTimer_->disable();
        session_.writeState();
        display_.message("终止搜索");
        end(128 + signal);
        return;
    }
    // As the Stop command: the page in progress is still read, as soon as
    // its load has ended, then the run finishes.
    phase_ = Phase::Stopping;
    stopSignal_ = signal;
    display_.message("终止搜索...");
    session_.stop(true);
}

void HeadlessSearch::failed(const std::string& message)
{
    if (phase_ == Phase::Ended)
        return;
    display_.message("vellumax-cli: " + utf8FromGbk(message));
    end(1);
}

void HeadlessSearch::end(int exitCode)
{
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Ended;
    if (pageTimer_)
        pageTimer_->disable();
    signals_.reset();
    if (ended_)
        ended_(exitCode);
}

int runHeadlessSearch(const cli::SearchOptions& options, HeadlessServices services)
{
    HeadlessSearch search(options, std::move(services));
    // Queued: the search may end before the loop runs.
    search.start([](int exitCode) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    });
    return QCoreApplication::exec();
}

} // namespace vellumax
