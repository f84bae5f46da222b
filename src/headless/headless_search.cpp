#include "headless/headless_search.h"

#include "browser/headless_browser.h"
#include "browser/web_page_source.h"
#include "files/keyword_import.h"
#include "files/settings_file.h"
#include "headless/number_output.h"
#include "headless/signal_watcher.h"
#include "headless/table_output.h"
#include "search/connectivity.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "text/local_time.h"

#include <QEventLoop>
#include <filesystem>
#include <unistd.h>

namespace vellumax {

HeadlessSearch::HeadlessSearch(cli::SearchOptions options, HeadlessServices services)
    : options_(std::move(options)), services_(std::move(services)),
      display_(services_.messages, services_.terminal.value_or(::isatty(::fileno(services_.messages)) == 1)),
      queries_(services_.endpoint), run_(queries_, keywordList_, results_)
{
    // The default coarse timer may fire up to 5% early.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { pageTimerTick(); });
    // After a stop, the page in progress is read as soon as its load has
    // ended, instead of at the end of a wait that may last minutes.
    stopPoll_.setInterval(100);
    QObject::connect(&stopPoll_, &QTimer::timeout, [this] {
        if (!timer_.isActive() || pageSource_->lastLoad().outcome == PageLoad::Outcome::Loading)
            return;
        stopPoll_.stop();
        timer_.stop();
        pageTimerTick();
    });
}

HeadlessSearch::~HeadlessSearch() = default;

int HeadlessSearch::run()
{
    try {
        start();
    } catch (const std::exception& e) {
        fail(e.what());
    }
    if (phase_ != Phase::Ended) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    timer_.stop();
    stopPoll_.stop();
    signals_.reset();
    return exitCode_;
}

void HeadlessSearch::start()
{
    // Offline comes first, before anything is read or written.
    const std::string address = services_.localAddressText ? services_.localAddressText() : LocalAddressText();
    if (address == kOfflineAddress)
        throw Error(gbk("您还没有连接到网上！"));

    keywordList_ = loadKeywordList(options_.keywordFile);
    if (keywordList_.empty())
        throw Error(gbk("请先导入关键字列表文件"));
    int32_t start = options_.start.value_or(0);
    if (options_.resume) {
        // A state file that is not there yet starts at the beginning, so a
        // scheduled job can always ask to resume.
        Settings state;
        state.keywordCursor = 0;
        readSettingsFileAt(options_.stateFile, state);
        start = state.keywordCursor;
    }
    if (!run_.setStartPosition(start))
        throw Error(gbk("搜索断点位置超过关键字文件行数！"));
    run_.setWideReading(options_.wide);
    openTable();
    output_ = std::make_unique<NumberOutput>(options_.output);
    // The state file names the keyword file as the window's field does: its
    // full path, in GBK.
    keywordFileInState_ =
        gbkFromUtf8(std::filesystem::absolute(options_.keywordFile).lexically_normal().string());

    if (services_.pageSource) {
        pageSource_ = services_.pageSource();
    } else {
        browser_ = std::make_unique<HeadlessBrowser>();
        pageSource_ = std::make_unique<WebPageSource>(browser_->page());
    }
    waitUntilPageSourceIsReady();
    driver_ = std::make_unique<SearchDriver>(run_, *pageSource_, *this);
    signals_ = std::make_unique<SignalWatcher>([this](int signal) { stopBySignal(signal); });

    progress_.keywordCount = static_cast<int32_t>(keywordList_.size());
    progress_.intervalSeconds = options_.interval;
    driver_->begin();
    // The numbers the file holds already count as found for the duplicate
    // test; the run's own count starts at 0.
    if (options_.deduplicate) {
        for (const std::string& number : output_->existing())
            results_.append(number);
    }
    written_ = results_.size();
    lastFound_ = run_.foundCount();
    driver_->requestStep();
}

void HeadlessSearch::openTable()
{
    if (options_.tableFile.empty())
        return;
    // Rows and numbers interleaved in one file would spoil both.
    if (options_.tableFile == "-")
        throw Error(gbk("号码表只能写入文件，不能写到标准输出"));
    if (options_.output != "-" && namesTheSameFile(options_.tableFile, options_.output))
        throw Error(gbk("号码表与号码文件不能是同一个文件：") + gbkFromUtf8(options_.tableFile));
    table_ = std::make_unique<TableOutput>(options_.tableFile, options_.tableUtf8);
}

void HeadlessSearch::waitUntilPageSourceIsReady()
{
    // A page refused with Retry-After before the browser engine hears the
    // answers' headers would wait only the back-off. Bounded: a source that
    // never gets ready costs that, and nothing else.
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (pageSource_->ready())
            wait.quit();
    });
    QTimer::singleShot(kPageSourceReadyWaitMs, &wait, &QEventLoop::quit);
    poll.start(20);
    if (!pageSource_->ready())
        wait.exec();
}

void HeadlessSearch::setTimerInterval(int milliseconds)
{
    // A new value restarts a running countdown; the same value leaves it.
    if (milliseconds != timer_.interval())
        timer_.setInterval(milliseconds);
}

void HeadlessSearch::enableTimer()
{
    if (!timer_.isActive())
        timer_.start();
}

void HeadlessSearch::disableTimer() { timer_.stop(); }

void HeadlessSearch::pageTimerTick()
{
    if (phase_ == Phase::Ended)
        return;
    try {
        driver_->tick();
    } catch (const std::exception& e) {
        // A page that cannot be read halts the run, as in the window; here
        // the halt ends the program, with the position kept.
        timer_.stop();
        fail(e.what());
    }
}

void HeadlessSearch::showKeywordPosition(int32_t cursor)
{
    if (cursor == progress_.keywordNumber || phase_ == Phase::Ended)
        return;
    // A keyword step: the state file follows it at once.
    progress_.keywordNumber = cursor;
    progress_.keyword = cursor >= 1 && static_cast<size_t>(cursor) <= keywordList_.size()
                            ? keywordList_[static_cast<size_t>(cursor) - 1]
                            : std::string();
    progress_.page = 0;
    progress_.numbersInKeyword = 0;
    ++progress_.keywordsTaken;
    writeState();
}

void HeadlessSearch::numberAdded(const AddedNumber& added)
{
    if (!table_)
        return;
    const std::string keyword = trimKeyword(keywordList_.at(static_cast<size_t>(added.keywordNumber) - 1));
    const std::string foundAt = tableTimeText(nowUnixMs());
    table_->add(added.number, {keyword, added.keywordNumber, added.pageOffset, foundAt, tableLine(added.line)});
}

void HeadlessSearch::showMessage(const std::string& message)
{
    // "正在搜索..." comes with every tick: tell a change only.
    if (message == lastMessage_)
        return;
    lastMessage_ = message;
    display_.message(utf8FromGbk(message));
}

void HeadlessSearch::pageRead()
{
    if (phase_ == Phase::Ended)
        return;
    writeNewNumbers();
    const int32_t found = run_.foundCount();
    progress_.numbersInKeyword += found - lastFound_;
    progress_.numbersInAll = found;
    lastFound_ = found;
    ++progress_.page;
    ++progress_.pagesRead;
    if (phase_ != Phase::Ended)
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
    // Said once, with the time and the keyword: the run may wait here for
    // hours, and the user needs the window to get past it.
    display_.message(localTimeText(nowUnixMs(), "%Y-%m-%d %H:%M:%S") + " 关键字 " + std::to_string(progress_.keywordNumber) + " 「" +
                     utf8FromGbk(progress_.keyword) +
                     "」：搜索引擎要求验证，命令行中无法完成。本命令将继续重试，间隔逐次加倍，最长一小时；"
                     "也可终止本命令，在窗口中完成验证后，从同一状态文件继续搜索。");
    writeState();
}

void HeadlessSearch::finish()
{
    timer_.stop();
    stopPoll_.stop();
    writeNewNumbers();
    writeState();
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
        timer_.stop();
        writeState();
        display_.message("终止搜索");
        end(128 + signal);
        return;
    }
    // As the Stop command: the page in progress is still read, then the run
    // finishes.
    phase_ = Phase::Stopping;
    stopSignal_ = signal;
    run_.stop();
    display_.message("终止搜索...");
    stopPoll_.start();
}

void HeadlessSearch::writeNewNumbers()
{
    if (!output_ || phase_ == Phase::Ended)
        return;
    std::vector<std::string> numbers(results_.begin() + static_cast<std::ptrdiff_t>(written_), results_.end());
    try {
        output_->append(numbers);
    } catch (const std::exception& e) {
        fail(options_.output + ": " + e.what());
        return;
    }
    written_ = results_.size();
    if (table_) {
        try {
            table_->write();
        } catch (const std::exception& e) {
            fail(gbkFromUtf8(options_.tableFile) + ": " + e.what());
            return;
        }
    }
    // Without the duplicate test nothing reads the list again: emptied after
    // every page, it does not grow over a run of days.
    if (!options_.deduplicate) {
        results_.clear();
        written_ = 0;
    }
}

void HeadlessSearch::writeState()
{
    if (options_.stateFile.empty() || stateBroken_)
        return;
    Settings state;
    state.keywordFile = keywordFileInState_;
    state.keywordCursor = run_.keywordCursor();
    state.deduplicate = options_.deduplicate;
    state.interval = options_.interval;
    try {
        writeSettingsFileAt(options_.stateFile, state);
    } catch (const std::exception& e) {
        stateBroken_ = true;
        fail(options_.stateFile + ": " + e.what());
    }
}

void HeadlessSearch::fail(const std::string& message)
{
    if (phase_ == Phase::Ended)
        return;
    timer_.stop();
    // The position is kept for a resume once the run has begun.
    if (driver_)
        writeState();
    display_.message("vellumax-cli: " + utf8FromGbk(message));
    end(1);
}

void HeadlessSearch::end(int exitCode)
{
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Ended;
    exitCode_ = exitCode;
    timer_.stop();
    stopPoll_.stop();
    if (loop_)
        loop_->quit();
}

int runHeadlessSearch(const cli::SearchOptions& options, HeadlessServices services)
{
    HeadlessSearch search(options, std::move(services));
    return search.run();
}

} // namespace vellumax
