#pragma once

#include "headless/progress.h"
#include "options/search_options.h"
#include "run/run_session.h"
#include "search/page_source.h"
#include "search/page_timer.h"
#include "search/query_builder.h"
#include "search/result_list.h"
#include "search/site_address.h"
#include "search/site_loader.h"

#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellumax {

class HeadlessBrowser;
class SignalWatcher;

// What a headless search reaches outside itself. The program takes the
// defaults; tests and benchmarks put in their own.
struct HeadlessServices {
    std::string endpoint = std::string(kEngineEndpoint);
    std::function<std::string()> localAddressText;          // default: the host-name lookup
    std::function<std::unique_ptr<PageSource>()> pageSource; // default: a browser engine page without a view
    // default: a Qt timer that calls `tick`
    std::function<std::unique_ptr<PageTimer>(PageSource& pages, std::function<void()> tick)> pageTimer;
    // default: the site pages of a browser engine without a view, for
    // --deep
    std::function<std::unique_ptr<SiteLoader>(const std::string& engineHost, LoopbackSites loopback)> siteLoader;
    // The tests' stand-in sites live on this machine's loopback.
    LoopbackSites loopbackSites = LoopbackSites::Refused;
    std::FILE* messages = stderr;                            // progress and failures
    std::optional<bool> terminal;                            // default: whether `messages` is a terminal
};

// A whole search run without a window: the run session with the options of
// the command line, shown as a progress line and a log. Needs a
// QGuiApplication.
class HeadlessSearch : public SearchHost {
public:
    explicit HeadlessSearch(cli::SearchOptions options, HeadlessServices services = {});
    ~HeadlessSearch() override;

    // Starts the search, which goes on in the application's event loop;
    // `ended` gets its exit code when it is over: 0 done, 1 a failure (told
    // on the messages stream), 130 or 143 stopped by SIGINT or SIGTERM. It
    // may be called before start returns.
    void start(std::function<void(int exitCode)> ended);

    int intervalSeconds() override { return options_.interval; }
    bool deduplicate() override { return options_.deduplicate; }
    void showKeywordPosition(int32_t cursor) override;
    void showStatus(const RunStatus& status) override;
    void pageRead(const SearchRun::PageResult& page) override;
    void failed(const std::string& message) override;
    void finish() override;
    void showVerificationPending(bool pending) override;
    void showSites(const SiteReport& report) override;

private:
    void open();
    void begin();
    void stopBySignal(int signal);
    void end(int exitCode);

    cli::SearchOptions options_;
    HeadlessServices services_;
    ProgressDisplay display_;

    std::vector<std::string> keywordList_;
    ResultList results_;
    RunSession session_;
    std::unique_ptr<HeadlessBrowser> browser_;
    std::unique_ptr<PageSource> pageSource_;
    QTimer qtTimer_;
    std::unique_ptr<PageTimer> pageTimer_;
    std::unique_ptr<SiteLoader> siteLoader_;
    std::unique_ptr<SignalWatcher> signals_;

    std::string lastMessage_;
    // Searching; stopping, once a first SIGINT or SIGTERM came, after the
    // page in progress; ended, with the exit code, after which nothing is
    // written or told any more.
    enum class Phase { Starting, Searching, Stopping, Ended };
    Phase phase_ = Phase::Starting;
    int stopSignal_ = 0; // the first stopping signal, for the exit code
    std::function<void(int)> ended_;
    Progress progress_;
};

// Runs a headless search to its end in the application's event loop, and
// returns its exit code.
int runHeadlessSearch(const cli::SearchOptions& options, HeadlessServices services = {});

} // namespace vellumax
