#include "run/run_session.h"

#include "numbers/number_table.h"
#include "run/number_output.h"
#include "run/number_table_file.h"
#include "search/connectivity.h"
#include "text/error.h"
#include "text/gbk_codec.h"

namespace vellumax {

RunSession::RunSession(std::string endpoint, const std::vector<std::string>& keywords, ResultList& results)
    : keywords_(keywords), results_(results), queries_(std::move(endpoint)), run_(queries_, keywords_, results_)
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
    driver_->begin();
    begun_ = true;
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
    // No page is in progress while a failed one waits out its back-off,
    // which may last an hour: the run ends now instead of then.
    if (readWhenLoaded || driver_->retryDue())
        driver_->tickWhenLoaded();
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
    recordOrigins(page);
    if (!writeNumbers())
        return;
    view_->pageRead(page);
}

void RunSession::recordOrigins(const SearchRun::PageResult& page)
{
    if (page.added.empty())
        return;
    const int64_t now = view_->nowUnixMs();
    const std::string keyword = page.keywordNumber >= 1 && static_cast<size_t>(page.keywordNumber) <= keywords_.size()
                                    ? trimKeyword(keywords_[static_cast<size_t>(page.keywordNumber) - 1])
                                    : std::string();
    const std::string foundAt = table_ ? tableTimeText(now) : std::string();
    for (const FoundNumber& found : page.added) {
        const std::string_view line = tableLine(found.line);
        // A run that writes its numbers out keeps no origins beside them:
        // its table has them.
        if (!numbers_)
            origins_.record(found.row, page.keywordNumber, page.pageOffset, now, line);
        if (table_)
            table_->add(results_[found.row], {keyword, page.keywordNumber, page.pageOffset, foundAt, line});
    }
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
    // The position is kept for a resume.
    if (begun_)
        writeState();
    view_->failed(message);
}

} // namespace vellumax
