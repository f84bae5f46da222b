#pragma once

#include "options/search_options.h"
#include "headless/progress.h"
#include "search/page_source.h"
#include "search/query_builder.h"
#include "search/result_list.h"
#include "search/search_driver.h"
#include "search/search_run.h"

#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;

namespace vellumax {

class HeadlessBrowser;
class NumberOutput;
class SignalWatcher;
class TableOutput;

// What a headless search reaches outside itself. The program takes the
// defaults; tests and benchmarks put in their own.
struct HeadlessServices {
    std::string endpoint = std::string(kEngineEndpoint);
    std::function<std::string()> localAddressText;          // default: the host-name lookup
    std::function<std::unique_ptr<PageSource>()> pageSource; // default: a browser engine page without a view
    std::FILE* messages = stderr;                            // progress and failures
    std::optional<bool> terminal;                            // default: whether `messages` is a terminal
};

// A whole search run without a window: the host of the search driver that
// keeps the page timer, the options of the command line, the numbers file,
// the state file and the progress display. Needs a running QGuiApplication.
class HeadlessSearch : public SearchHost {
public:
    explicit HeadlessSearch(cli::SearchOptions options, HeadlessServices services = {});
    ~HeadlessSearch() override;

    // Runs the search to its end and returns the exit code: 0 done, 1 a
    // failure (told on the messages stream), 130 or 143 stopped by SIGINT or
    // SIGTERM.
    int run();

    void setTimerInterval(int milliseconds) override;
    void enableTimer() override;
    void disableTimer() override;
    int intervalSeconds() override { return options_.interval; }
    bool deduplicate() override { return options_.deduplicate; }
    void showKeywordPosition(int32_t cursor) override;
    void numberAdded(const AddedNumber& added) override;
    void showFoundCount(int32_t) override {}
    void showMessage(const std::string& message) override;
    void pageRead() override;
    void finish() override;
    void showVerificationPending(bool pending) override;

protected:
    // The page timer's tick: the driver's, with a page that cannot be read
    // ending the run.
    void pageTimerTick();
    PageSource& pageSource() { return *pageSource_; }
    QTimer& pageTimer() { return timer_; }

private:
    static constexpr int kPageSourceReadyWaitMs = 5000;

    void start();
    void openTable();
    void waitUntilPageSourceIsReady();
    void stopBySignal(int signal);
    void writeNewNumbers();
    void writeState();
    void end(int exitCode);
    void fail(const std::string& message);

    cli::SearchOptions options_;
    HeadlessServices services_;
    ProgressDisplay display_;

    std::vector<std::string> keywordList_;
    ResultList results_;
    QueryBuilder queries_;
    SearchRun run_;
    std::unique_ptr<HeadlessBrowser> browser_;
    std::unique_ptr<PageSource> pageSource_;
    std::unique_ptr<SearchDriver> driver_;
    std::unique_ptr<NumberOutput> output_;
    std::unique_ptr<TableOutput> table_;
    std::unique_ptr<SignalWatcher> signals_;
    QTimer timer_;
    QTimer stopPoll_;
    QEventLoop* loop_ = nullptr;

    std::string keywordFileInState_; // GBK, absolute
    size_t written_ = 0;             // entries of the result list already in the file
    int stopSignal_ = 0; // the first stopping signal, for the exit code
    bool stateBroken_ = false;
    std::string lastMessage_;
    // Searching; stopping, once a first SIGINT or SIGTERM came, after the
    // page in progress; ended, with the exit code, after which nothing is
    // written or told any more.
    enum class Phase { Searching, Stopping, Ended };
    Phase phase_ = Phase::Searching;
    int exitCode_ = 1;
    Progress progress_;
    int32_t lastFound_ = 0;
};

// Runs a headless search with the program's defaults.
int runHeadlessSearch(const cli::SearchOptions& options, HeadlessServices services = {});

} // namespace vellumax
