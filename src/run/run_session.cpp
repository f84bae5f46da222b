#include "run/run_session.h"

#include "numbers/number_table.h"
#include "run/number_output.h"
#include "run/number_table_file.h"
#include "run/site_reading.h"
#include "search/connectivity.h"
#include "search/result_blocks.h"
#include "text/error.h"
#include "text/gbk_codec.h"

namespace vellumax {
namespace {

// "www.baidu.com" of "http://www.baidu.com": the host whose domain is never
// a result's own site.
std::string hostOf(std::string_view endpoint)
{
    const size_t start = endpoint.find("://");
    endpoint.remove_prefix(start == std::string_view::npos ? 0 : start + 3);
    endpoint = endpoint.substr(0, endpoint.find_first_of(":/?#"));
    std::string host(endpoint);
    for (char& c : host)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return host;
}

} // namespace

RunSession::RunSession(std::string endpoint, const std::vector<std::string>& keywords, ResultList& results)
    : keywords_(keywords), results_(results), engineHost_(hostOf(endpoint)), queries_(std::move(endpoint)),
      run_(queries_, keywords_, results_)
{}

RunSession::~RunSession() = default;

void RunSession::attach(PageSource& pages, PageTimer& timer, SearchHost& view)
{
    timer_ = &timer;
    view_ = &view;
    SearchHost& host = *this;
    driver_ = std::make_unique<SearchDriver>(run_, pages, timer, host);
}

RunSession::Refusal RunSession::refusal(std::string_view localAddress) const
{
    // Offline comes first, before anything is read or written.
    if (localAddress == kOfflineAddress)
        return Refusal::Offline;
    return keywords_.empty() ? Refusal::NoKeywords : Refusal::None;
}

std::string RunSession::refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Offline:
        return gbk("您还没有连接到网上！");
    case Refusal::NoKeywords:
        return gbk("请先导入关键字列表文件");
    case Refusal::None:
        break;
    }
    return {};
}

std::string RunSession::startBeyondListText() { return gbk("搜索断点位置超过关键字文件行数！"); }

int32_t RunSession::resumePosition(const std::string& stateFile)
{
    // A state file that is not there yet starts at the beginning, so a
    // scheduled job can always ask to resume.
    Settings state;
    state.keywordCursor = 0;
    readSettingsFileAt(stateFile, state);
    return state.keywordCursor;
}

void RunSession::readSites(SiteLoader* sites, LoopbackSites loopback)
{
    // A run under way keeps the loader it began with for its sites.
    if (sites && !sites_ && begun_ && !failed_)
        sites_ = std::make_unique<SiteReading>(
            *sites, engineHost_, loopback,
            [this](const SiteQueue::Visit& visit, const SitePageRead& read) { return sitePageRead(visit, read); },
            [this] { sitesChanged(); });
    siteLoader_ = sites;
    loopback_ = loopback;
}

void RunSession::openFiles(RunFiles files)
{
    if (!files.table.empty()) {
        // Rows and numbers interleaved in one file would spoil both.
        if (files.table == "-")
            throw Error(gbk("号码表只能写入文件，不能写到标准输出"));
        if (files.numbers != "-" && namesTheSameFile(files.table, files.numbers))
            throw Error(gbk("号码表与号码文件不能是同一个文件：") + gbkFromUtf8(files.table));
        table_ = std::make_unique<TableOutput>(files.table, files.tableUtf8);
    }
    if (!files.numbers.empty())
        numbers_ = std::make_unique<NumberOutput>(files.numbers);
    files_ = std::move(files);
}

void RunSession::begin()
{
    failed_ = false;
    keywordShown_ = -1;
    finishAwaitsSites_ = false;
    pagesRead_.clear();
    // Every run asks each site for its robots.txt anew.
    sites_.reset();
    driver_->begin();
    begun_ = true;
    readSites(siteLoader_, loopback_);
    // The numbers the file holds already count as found for the duplicate
    // test; the run's own count starts at 0.
    if (numbers_ && view_->deduplicate()) {
        for (const std::string& number : numbers_->existing())
            results_.append(number);
    }
    written_ = results_.size();
}

void RunSession::tick()
{
    if (!failed_)
        driver_->tick();
}

void RunSession::stop(bool readWhenLoaded)
{
    run_.stop();
    if (sites_)
        sites_->stop();
    // No page is in progress while a failed one waits out its back-off,
    // which may last an hour: the run ends now instead of then. Nor while
    // the next request waits for the sites.
    if (readWhenLoaded || driver_->retryDue())
        driver_->tickWhenLoaded();
    driver_->releaseHeldRequest();
}

void RunSession::showKeywordPosition(int32_t cursor)
{
    if (cursor != keywordShown_) {
        // A keyword step: the state follows it at once.
        keywordShown_ = cursor;
        writeState();
    }
    view_->showKeywordPosition(cursor);
}

void RunSession::pageRead(const SearchRun::PageResult& page)
{
    ++pagesRead_[page.keywordNumber];
    recordOrigins(page);
    if (!writeNumbers())
        return;
    view_->pageRead(page);
}

void RunSession::recordOrigins(const SearchRun::PageResult& page)
{
    const bool readSites = sites_ && siteLoader_;
    if (page.added.empty() && !readSites)
        return;
    const std::vector<ResultBlock> blocks =
        page.blocks.empty() ? std::vector<ResultBlock>()
                            : resultBlocks({page.blocks.begin(), page.blocks.end()}, engineHost_, loopback_);
    const PageOrigin origin = pageOrigin(page.keywordNumber, page.pageOffset, false);
    for (const FoundNumber& found : page.added) {
        // A number read in a result's text belongs to that result.
        EntryOrigins::WebPage webPage;
        if (const ResultBlock* block = blockHolding(blocks, found.line))
            webPage = {block->title, block->landing};
        record(found, origin, webPage);
    }
    if (readSites)
        sites_->add(blocks, page.keywordNumber, page.pageOffset);
}

RunSession::PageOrigin RunSession::pageOrigin(int32_t keywordNumber, int32_t pageOffset, bool fromSite) const
{
    PageOrigin origin{keywordNumber, pageOffset, fromSite, view_->nowUnixMs(), {}, {}};
    // The table's texts, once for all the page's numbers.
    if (table_) {
        if (keywordNumber >= 1 && static_cast<size_t>(keywordNumber) <= keywords_.size())
            origin.keyword = trimKeyword(keywords_[static_cast<size_t>(keywordNumber) - 1]);
        origin.foundAt = tableTimeText(origin.nowMs);
    }
    return origin;
}

void RunSession::record(const FoundNumber& found, const PageOrigin& origin, const EntryOrigins::WebPage& webPage)
{
    const std::string_view line = tableLine(found.line);
    // A run that writes its numbers out keeps no origins beside them: its
    // table has them.
    if (!numbers_)
        origins_.record(found.row, origin.keywordNumber, origin.pageOffset, origin.nowMs, line, webPage,
                        origin.fromSite);
    if (table_)
        table_->add(results_[found.row], {origin.keyword, origin.keywordNumber, origin.pageOffset, origin.foundAt, line,
                                          webPage.title, webPage.address});
}

size_t RunSession::sitePageRead(const SiteQueue::Visit& visit, const SitePageRead& read)
{
    if (failed_)
        return 0;
    size_t numbers = 0;
    siteAdded_ = run_.readSitePage(read.text, view_->deduplicate(), numbers);
    const PageOrigin origin = pageOrigin(visit.keywordNumber, visit.pageOffset, true);
    const EntryOrigins::WebPage webPage{foldedTitle(read.title),
                                        read.finalUrl.empty() ? visit.address.url : read.finalUrl};
    for (const FoundNumber& found : siteAdded_)
        record(found, origin, webPage);
    if (!siteAdded_.empty())
        writeNumbers();
    return numbers;
}

void RunSession::sitesChanged()
{
    if (failed_)
        return;
    SearchHost::SiteReport report;
    report.added = std::exchange(siteAdded_, {});
    report.foundCount = run_.foundCount();
    report.progress = sites_->progress();
    view_->showSites(report);
    if (driver_->holdsRequest() && !sites_->engineShouldWait())
        driver_->releaseHeldRequest();
    if (finishAwaitsSites_ && sites_->idle()) {
        finishAwaitsSites_ = false;
        finishRun();
    }
}

bool RunSession::holdNextRequest()
{
    if (!sites_ || !sites_->engineShouldWait())
        return false;
    RunStatus waiting;
    waiting.kind = RunStatus::Kind::WaitingForSites;
    waiting.sitesWaiting = sites_->progress().waiting + sites_->progress().loading;
    view_->showStatus(waiting);
    return true;
}

bool RunSession::writeNumbers()
{
    if (numbers_) {
        const std::vector<std::string> numbers(results_.begin() + static_cast<std::ptrdiff_t>(written_),
                                               results_.end());
        try {
            numbers_->append(numbers);
        } catch (const std::exception& e) {
            fail(gbkFromUtf8(files_.numbers) + ": " + e.what());
            return false;
        }
        written_ = results_.size();
    }
    if (table_) {
        try {
            table_->write();
        } catch (const std::exception& e) {
            fail(gbkFromUtf8(files_.table) + ": " + e.what());
            return false;
        }
    }
    if (numbers_ && !files_.keepList) {
        results_.clear();
        written_ = 0;
    }
    return true;
}

void RunSession::showVerificationPending(bool pending)
{
    view_->showVerificationPending(pending);
    // The run may wait here for hours: a resume starts from this keyword.
    if (pending)
        writeState();
}

void RunSession::finish()
{
    if (failed_)
        return;
    // The run ends with its last sites: all of them, or after a stop those
    // loading.
    if (sites_) {
        if (run_.stopFlag())
            sites_->stop();
        if (!sites_->idle()) {
            finishAwaitsSites_ = true;
            RunStatus finishing;
            finishing.kind = RunStatus::Kind::FinishingSites;
            finishing.sitesWaiting = sites_->progress().waiting + sites_->progress().loading;
            view_->showStatus(finishing);
            return;
        }
    }
    finishRun();
}

void RunSession::finishRun()
{
    if (!writeNumbers())
        return;
    writeState();
    if (!failed_)
        view_->finish();
}

void RunSession::writeState()
{
    if (files_.state.empty() || stateBroken_)
        return;
    Settings state = files_.stateSettings;
    state.keywordCursor = run_.keywordCursor();
    try {
        writeSettingsFileAt(files_.state, state);
    } catch (const std::exception& e) {
        stateBroken_ = true;
        fail(gbkFromUtf8(files_.state) + ": " + e.what());
    }
}

void RunSession::fail(const std::string& message)
{
    if (failed_)
        return;
    failed_ = true;
    timer_->disable();
    driver_->halt();
    if (sites_)
        sites_->stop();
    // The position is kept for a resume.
    if (begun_)
        writeState();
    view_->failed(message);
}

} // namespace vellumax
