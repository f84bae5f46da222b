#pragma once

#include "files/settings_file.h"
#include "run/entry_origins.h"
#include "search/page_source.h"
#include "search/page_timer.h"
#include "search/query_builder.h"
#include "search/result_list.h"
#include "search/search_driver.h"
#include "search/search_run.h"
#include "search/site_address.h"
#include "search/site_loader.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

class NumberOutput;
class SiteReading;
class TableOutput;

// The files a run writes as it goes. Paths are UTF-8, as the command line
// gives them; an empty path writes no such file.
struct RunFiles {
    // The numbers, appended and forced to the disk after every page; "-" is
    // standard output. With the duplicate test, the numbers it holds already
    // count as found.
    std::string numbers;
    // The number table, appended likewise; never standard output, never the
    // numbers file.
    std::string table;
    bool tableUtf8 = false;
    // The state to resume from: written at each keyword step, when a
    // verification page holds the run, at its end and when it fails.
    std::string state;
    Settings stateSettings; // what the state file says besides the position
    // Without the duplicate test nothing reads the list again: emptied after
    // every page once its numbers are written, it does not grow over a run
    // of days.
    bool keepList = true;
};

// A search run from the checks before it to what it writes, for the window
// and the search program alike: the start position, the driver's steps, the
// origin of every number, the files written as the run goes and the state to
// resume from. The shell that hosts it shows its progress (`view`), keeps
// the page source and the timer, and calls tick() when the timer fires.
class RunSession : private SearchHost {
public:
    // The keyword list and the result list are the shell's; the session's
    // run reads the one and fills the other.
    RunSession(std::string endpoint, const std::vector<std::string>& keywords, ResultList& results);
    ~RunSession() override;

    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // Once, before the first run: where pages come from, the page timer and
    // where the run shows itself. `view` is told everything the driver says,
    // after the session has recorded it.
    void attach(PageSource& pages, PageTimer& timer, SearchHost& view);

    // Why a run cannot start now: no network (the machine's address is
    // `localAddress`) comes first, then no keywords.
    enum class Refusal { None, Offline, NoKeywords };
    Refusal refusal(std::string_view localAddress) const;
    // What the user is told of it (GBK).
    static std::string refusalText(Refusal refusal);
    // Takes the start position asked for; false when it lies beyond the
    // keyword list, as startBeyondListText tells the user (GBK).
    bool setStartPosition(int32_t position) { return run_.setStartPosition(position); }
    static std::string startBeyondListText();
    // The position a resume starts from: the state file's, 0 when there is
    // none yet. Throws what reading it throws.
    static int32_t resumePosition(const std::string& stateFile);

    // Reads each result's own site too, from the next run on (and for the
    // results of the next pages of one under way), its pages loaded by
    // `sites`; null reads no more sites. `loopback` lets the tests' stand-in
    // sites on this machine be read. The shell reads the engine's pages
    // with the wide reading meanwhile.
    void readSites(SiteLoader* sites, LoopbackSites loopback = LoopbackSites::Refused);
    bool readsSites() const { return siteLoader_ != nullptr; }
    // The engine's host, whose domain is never read as a result's site.
    const std::string& engineHost() const { return engineHost_; }

    // Opens the files of the run, before anything is asked of the engine.
    // Throws Error, with the file's name readable in the message.
    void openFiles(RunFiles files);

    // The start, once the start position is set: the list emptied (then
    // given the numbers file's numbers for the duplicate test), the 8-second
    // wait and the first messages. The first request follows with
    // requestStep.
    void begin();
    void requestStep() { driver_->requestStep(); }
    // The page timer's tick. Nothing after the run has failed.
    void tick();
    // The Stop command: the page in progress is still read, then the run
    // finishes. A run waiting to ask again for a failed page ends at once;
    // with `readWhenLoaded`, the page in progress is read as soon as its
    // load ends instead of at the next tick. Sites' pages loading are still
    // read, or reach their time limit; no further one starts.
    void stop(bool readWhenLoaded);

    // Writes the state file now (a second stop ends the run without its
    // page).
    void writeState();

    SearchRun& run() { return run_; }
    const SearchRun& run() const { return run_; }
    // Beside each entry of the result list: where it was found.
    const EntryOrigins& origins() const { return origins_; }
    // The result pages read for each keyword (by its 1-based number) since
    // the run began.
    const std::map<int32_t, size_t>& pagesRead() const { return pagesRead_; }

private:
    // What the driver tells the session, which records it and tells the
    // view.
    int intervalSeconds() override { return view_->intervalSeconds(); }
    bool deduplicate() override { return view_->deduplicate(); }
    void showKeywordPosition(int32_t cursor) override;
    void showStatus(const RunStatus& status) override { view_->showStatus(status); }
    void pageRead(const SearchRun::PageResult& page) override;
    void failed(const std::string& message) override { fail(message); }
    int64_t nowUnixMs() override { return view_->nowUnixMs(); }
    bool userCanVerify() override { return view_->userCanVerify(); }
    void showVerificationPending(bool pending) override;
    void finish() override;
    bool holdNextRequest() override;

    void recordOrigins(const SearchRun::PageResult& page);
    // Where the numbers of one page were found, with the table's texts.
    struct PageOrigin {
        int32_t keywordNumber;
        int32_t pageOffset;
        bool fromSite;
        int64_t nowMs;
        std::string keyword; // trimmed; only with a table
        std::string foundAt; // only with a table
    };
    PageOrigin pageOrigin(int32_t keywordNumber, int32_t pageOffset, bool fromSite) const;
    void record(const FoundNumber& found, const PageOrigin& origin, const EntryOrigins::WebPage& webPage);
    size_t sitePageRead(const SiteQueue::Visit& visit, const SitePageRead& read);
    void sitesChanged();
    void finishRun();
    bool writeNumbers();
    void fail(const std::string& message);

    const std::vector<std::string>& keywords_;
    ResultList& results_;
    std::string engineHost_;
    QueryBuilder queries_;
    SearchRun run_;
    EntryOrigins origins_;
    std::map<int32_t, size_t> pagesRead_;
    std::unique_ptr<SearchDriver> driver_;
    PageTimer* timer_ = nullptr;
    SearchHost* view_ = nullptr;

    RunFiles files_;
    std::unique_ptr<NumberOutput> numbers_;
    std::unique_ptr<TableOutput> table_;
    size_t written_ = 0; // entries of the result list already in the numbers file

    SiteLoader* siteLoader_ = nullptr;
    LoopbackSites loopback_ = LoopbackSites::Refused;
    std::unique_ptr<SiteReading> sites_; // the run's, once it reads sites
    std::vector<FoundNumber> siteAdded_; // by the site's page being answered
    bool finishAwaitsSites_ = false;
    int32_t keywordShown_ = -1;
    bool begun_ = false;
    bool failed_ = false;
    bool stateBroken_ = false;
};

} // namespace vellumax
