// The run's steps between start and finish, on a fake clock: when pages are
// asked for, when they are read, and how a page that failed to load is asked
// for again.
#include "search/retry_after.h"
#include "search/search_driver.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>

namespace vellumax {
namespace {

using Outcome = PageLoad::Outcome;

// Each request takes the next scripted answer: how its load ends and the
// page text it shows.
class ScriptedPages : public PageSource {
public:
    struct Answer {
        PageLoad load;
        std::string text;
    };
    std::deque<Answer> script;
    std::vector<std::string> requests;
    int reads = 0;

    void RequestPage(const std::string& url) override
    {
        requests.push_back(url);
        current_ = script.empty() ? Answer{{Outcome::Loaded, 200}, ""} : script.front();
        if (!script.empty())
            script.pop_front();
    }
    void ReadPageText(bool, std::function<void(PageRead)> done) override
    {
        ++reads;
        done({{current_.text, std::nullopt, {}}, {}});
    }
    PageLoad lastLoad() const override { return current_.load; }
    bool showsResultPage() const override { return onResultPage; }
    bool onResultPage = true;

private:
    Answer current_;
};

// 2027-01-15 08:00:00 UTC; the tests run in UTC.
constexpr int64_t kEpochMs = 1'800'000'000'000;

// A page timer on a clock that only moves when the test says so.
class ClockHost : public SearchHost, public PageTimer {
public:
    ClockHost()
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    int64_t now = 0;
    int interval = 0;
    bool timerOn = false;
    int64_t due = 0;
    int intervalSecondsValue = 2;
    std::vector<std::string> messages; // UTF-8
    std::vector<int64_t> requestTimes;
    bool finished = false;
    bool canVerify = false;
    std::vector<bool> pendingChanges;
    std::vector<std::string> added; // number|line|keyword|offset
    const ResultList* results = nullptr;
    std::string failure;

    int64_t nowUnixMs() override { return kEpochMs + now; }
    bool userCanVerify() override { return canVerify; }
    void showVerificationPending(bool pending) override { pendingChanges.push_back(pending); }
    void setInterval(int ms) override
    {
        if (ms != interval && timerOn)
            due = now + ms;
        interval = ms;
    }
    void enable() override
    {
        if (!timerOn)
            due = now + interval;
        timerOn = true;
    }
    void disable() override { timerOn = false; }
    bool enabled() const override { return timerOn; }
    int intervalSeconds() override { return intervalSecondsValue; }
    bool deduplicate() override { return false; }
    void showKeywordPosition(int32_t) override { requestTimes.push_back(now); }
    void pageRead(const SearchRun::PageResult& page) override
    {
        for (const FoundNumber& a : page.added)
            added.push_back((*results)[a.row] + '|' + utf8FromGbk(std::string(a.line)) + '|' +
                            std::to_string(page.keywordNumber) + '|' + std::to_string(page.pageOffset));
    }
    void showStatus(const RunStatus& status) override { messages.push_back(utf8FromGbk(statusText(status))); }
    void failed(const std::string& message) override { failure = message; }
    void finish() override
    {
        timerOn = false;
        finished = true;
    }
};

struct Rig {
    QueryBuilder queries{"http://e"};
    std::vector<std::string> keywords;
    ResultList results;
    SearchRun run{queries, keywords, results};
    ScriptedPages pages;
    ClockHost host;
    SearchDriver driver{run, pages, host, host};

    explicit Rig(std::initializer_list<const char*> utf8Words)
    {
        for (const char* word : utf8Words)
            keywords.push_back(gbk(word));
        host.results = &results;
    }

    void start()
    {
        run.setStartPosition(0);
        driver.begin();
        driver.requestStep();
    }
    // Moves the clock to the next tick and runs it; false when none is due.
    bool tickAtDue()
    {
        if (!host.timerOn)
            return false;
        host.now = host.due;
        driver.tick();
        return true;
    }
    void runToEnd()
    {
        for (int i = 0; i < 1000 && tickAtDue();)
            ++i;
    }
};

const std::string kFaxPage = gbk("传真:0512-12345678\r\n");
const PageLoad kOk{Outcome::Loaded, 200};

std::string pn(const std::string& url) { return url.substr(url.find("&pn=")); }

TEST(SearchDriverRetry, FailedPageIsAskedAgainWithDoublingWaitsThenTheRunGoesOn)
{
    Rig rig({"传真"});
    rig.pages.script = {{kOk, gbk("上一页 [1] 2 [3] 下一页\r\n") + kFaxPage},
                        {{Outcome::Failed, 503}, kFaxPage}, // error pages are never read
                        {{Outcome::Failed, 503}, ""},
                        {{Outcome::Failed, 0}, ""},
                        {kOk, kFaxPage}};
    rig.start();
    rig.runToEnd();

    std::vector<std::string> offsets;
    for (const std::string& url : rig.pages.requests)
        offsets.push_back(pn(url));
    EXPECT_EQ(offsets, (std::vector<std::string>{"&pn=0&cl=3", "&pn=10&cl=3", "&pn=10&cl=3", "&pn=10&cl=3",
                                                 "&pn=10&cl=3"}));
    // 8 s for the first page, then the interval (2 s) before each read; a
    // failed page is asked again 2 s, 4 s and 8 s after the failure is seen.
    EXPECT_EQ(rig.host.requestTimes, (std::vector<int64_t>{0, 8000, 12000, 18000, 28000}));
    EXPECT_EQ(rig.host.now, 30000);
    EXPECT_TRUE(rig.host.finished);
    EXPECT_EQ(rig.pages.reads, 2);
    EXPECT_EQ(rig.results.size(), 2u);
    EXPECT_EQ(rig.host.added, (std::vector<std::string>{"0512-12345678|传真:0512-12345678|1|0",
                                                        "0512-12345678|传真:0512-12345678|1|10"}));
    EXPECT_EQ(rig.driver.failuresInRow(), 0);
    EXPECT_EQ(rig.host.messages,
              (std::vector<std::string>{"启动搜索请稍候...", "正在搜索...",
                                        "页面载入失败（HTTP 503），第 1 次，2 秒后重试（08:00:12）",
                                        "页面载入失败（HTTP 503），第 2 次，4 秒后重试（08:00:18）",
                                        "无法连接搜索引擎，第 3 次，8 秒后重试（08:00:28）", "正在搜索..."}));
}

TEST(SearchDriverRetry, WaitsDoubleUpToTenMinutesAndStartAgainAfterALoad)
{
    struct Row {
        int64_t interval;
        int failures;
        int64_t wait;
    };
    for (const Row& row : std::initializer_list<Row>{{1000, 1, 1000},
                                                     {1000, 2, 2000},
                                                     {8000, 4, 64000},
                                                     {8000, 7, 512000},
                                                     {8000, 8, 600000},
                                                     {1000, 1000000, 600000},
                                                     {1000000, 1, 1000000}, // a longer interval is kept
                                                     {1000000, 5, 1000000}})
        EXPECT_EQ(SearchDriver::retryWaitMs(row.interval, row.failures), row.wait)
            << row.interval << " " << row.failures;

    // A long outage: the wait reaches its cap and stays there, and the
    // first page that loads brings back the interval.
    Rig rig({"传真"});
    rig.host.intervalSecondsValue = 8;
    for (int i = 0; i < 30; ++i)
        rig.pages.script.push_back({{Outcome::Failed, 429}, ""});
    rig.pages.script.push_back({kOk, ""});
    rig.start();
    // Each failure's wait, then the interval before the new try is read.
    std::vector<int64_t> waits;
    while (rig.tickAtDue())
        waits.push_back(rig.host.interval);
    ASSERT_EQ(waits.size(), 61u);
    EXPECT_EQ(waits[0], 8000);
    EXPECT_EQ(waits[1], 8000);
    EXPECT_EQ(waits[14], 600000); // the 8th failure
    EXPECT_EQ(waits[58], 600000);
    EXPECT_EQ(waits.back(), 8000);
    EXPECT_TRUE(rig.host.finished);
}

TEST(SearchDriverRetry, StopDuringAWaitFinishesWithoutReadingTheErrorPage)
{
    Rig rig({"a", "传真 b"});
    rig.pages.script = {{kOk, ""}, {{Outcome::Failed, 500}, kFaxPage}};
    rig.start();
    rig.tickAtDue(); // keyword 1 done; keyword 2 asked for, and fails
    rig.run.stop();
    rig.tickAtDue();
    EXPECT_TRUE(rig.host.finished);
    EXPECT_EQ(rig.pages.reads, 1);
    EXPECT_TRUE(rig.results.empty());
    // The finish records cursor - 1: keyword 2, to be searched again.
    EXPECT_EQ(rig.run.keywordCursor() - 1, 1);
}

TEST(SearchDriverRetry, PagesOfUnknownOrUnfinishedLoadsAreReadAsTheyAre)
{
    for (const Outcome outcome : {Outcome::Unknown, Outcome::Loading}) {
        Rig rig({"传真"});
        rig.pages.script = {{{outcome, 0}, kFaxPage}};
        rig.start();
        rig.runToEnd();
        EXPECT_EQ(rig.pages.reads, 1);
        EXPECT_EQ(rig.results.size(), 1u);
    }
}

TEST(SearchDriver, AnAnswerThatComesAfterANewStartIsDropped)
{
    // The browser answers a read later; meanwhile the user stopped the run
    // and started another.
    class Deferred : public ScriptedPages {
    public:
        std::function<void(PageRead)> pending;
        void ReadPageText(bool, std::function<void(PageRead)> done) override { pending = std::move(done); }
    };
    Rig rig({"传真"});
    Deferred pages;
    SearchDriver driver{rig.run, pages, rig.host, rig.host};
    rig.run.setStartPosition(0);
    driver.begin();
    driver.requestStep();
    driver.tick();
    auto answer = std::move(pages.pending);
    rig.run.setStartPosition(0);
    driver.begin();
    driver.requestStep();
    answer({{kFaxPage, std::nullopt, {}}, {}});
    EXPECT_TRUE(rig.results.empty());
    EXPECT_EQ(pages.requests.size(), 2u); // no request for the answer's next page
    EXPECT_FALSE(rig.host.finished);
}

TEST(SearchDriverRetry, UnreadablePageHaltsWithTheTimerOff)
{
    class Unreadable : public ScriptedPages {
        void ReadPageText(bool, std::function<void(PageRead)> done) override { done({{}, "No document is loaded"}); }
    };
    QueryBuilder queries{"http://e"};
    std::vector<std::string> keywords{"a"};
    ResultList results;
    SearchRun run{queries, keywords, results};
    Unreadable pages;
    ClockHost host;
    SearchDriver driver{run, pages, host, host};
    run.setStartPosition(0);
    driver.begin();
    driver.requestStep();
    driver.tick();
    EXPECT_EQ(host.failure, "No document is loaded");
    EXPECT_FALSE(host.timerOn);
    EXPECT_FALSE(host.finished);
}

TEST(SearchDriverRetryAfter, TheEngineAskedWaitCountsWhenLongerUpToAnHour)
{
    struct Row {
        PageLoad load;
        int64_t interval;
        int failures;
        int64_t wait;
    };
    const Outcome F = Outcome::Failed;
    for (const Row& row : std::initializer_list<Row>{
             {{F, 429, "3"}, 1000, 1, 3000},
             {{F, 503, " 3 "}, 1000, 1, 3000},
             {{F, 429, "3"}, 8000, 1, 8000},      // the back-off is longer
             {{F, 429, "3"}, 1000, 4, 8000},      // ...also after doubling
             {{F, 429, "7200"}, 1000, 1, 3600000}, // an hour at most
             {{F, 429, "99999999999999999999999"}, 1000, 1, 3600000},
             {{F, 503, "Fri, 15 Jan 2027 08:01:30 GMT"}, 1000, 1, 90000},
             {{F, 503, "Friday, 15-Jan-27 08:00:05 GMT"}, 1000, 1, 5000},
             {{F, 503, "Fri Jan 15 08:00:45 2027"}, 1000, 1, 45000},
             {{F, 503, "Fri, 15 Jan 2027 07:00:00 GMT"}, 1000, 1, 1000}, // past
             {{F, 503, "Sat, 16 Jan 2027 08:00:00 GMT"}, 1000, 1, 3600000},
             {{F, 503, "Fri, 15 Jan 2027 08:01:30 CET"}, 1000, 1, 1000}, // not an HTTP date
             {{F, 429, "3s"}, 1000, 1, 1000},
             {{F, 429, "-3"}, 1000, 1, 1000},
             {{F, 500, "30"}, 1000, 1, 1000}, // only 429 and 503 ask
             {{Outcome::Diverted, 200, ""}, 8000, 9, 2048000},
             {{Outcome::Diverted, 200, ""}, 8000, 10, 3600000}, // tries thin out to one an hour
         })
        EXPECT_EQ(SearchDriver::nextTryWaitMs(row.load, row.interval, row.failures, kEpochMs), row.wait)
            << row.load.httpStatus << " " << row.load.retryAfter << " " << row.failures;
    EXPECT_FALSE(retryAfterWaitMs("Fri, 32 Jan 2027 08:00:00 GMT", kEpochMs));
    EXPECT_FALSE(retryAfterWaitMs("Fri, 15 Jan 2027 08:00:00 GMT trailing", kEpochMs));
    EXPECT_FALSE(retryAfterWaitMs("", kEpochMs));

    // The run waits what the engine asked, and says until when.
    Rig rig({"传真"});
    rig.host.intervalSecondsValue = 1;
    rig.pages.script = {{{F, 429, "3"}, ""}, {kOk, kFaxPage}};
    rig.start();
    rig.runToEnd();
    EXPECT_EQ(rig.host.requestTimes, (std::vector<int64_t>{0, 11000}));
    EXPECT_EQ(rig.host.now, 12000);
    EXPECT_EQ(rig.host.messages.at(1), "页面载入失败（HTTP 429），第 1 次，3 秒后重试（08:00:11）");
    EXPECT_EQ(rig.results.size(), 1u);
}

// A window's run held up by a verification page: it stays on the page, never
// asking for anything, until the pane is back on a result page; then it asks
// for its page again and ends with the numbers of an undisturbed run.
TEST(SearchDriverVerification, WindowWaitsOnThePageUntilTheUserHasPassedIt)
{
    Rig rig({"传真 a", "传真 b"});
    rig.host.canVerify = true;
    rig.pages.script = {{kOk, kFaxPage}, {{Outcome::Diverted, 200}, kFaxPage}, {kOk, kFaxPage}};
    rig.start();
    rig.tickAtDue(); // keyword 1 read; keyword 2 diverted
    rig.pages.onResultPage = false;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(rig.tickAtDue());
    EXPECT_EQ(rig.pages.requests.size(), 2u);
    EXPECT_EQ(rig.host.interval, SearchDriver::kVerificationPollMs);
    EXPECT_EQ(rig.host.messages.back(), "搜索引擎要求验证，请在右侧网页中完成验证");
    EXPECT_EQ(rig.host.pendingChanges, std::vector<bool>{true});
    EXPECT_EQ(rig.driver.failuresInRow(), 1);

    rig.pages.onResultPage = true; // the engine sent the pane back
    rig.runToEnd();
    ASSERT_EQ(rig.pages.requests.size(), 3u);
    EXPECT_EQ(rig.pages.requests[2], rig.pages.requests[1]);
    EXPECT_EQ(rig.host.pendingChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.driver.failuresInRow(), 0);
    EXPECT_EQ(rig.pages.reads, 2);
    EXPECT_EQ(rig.results.size(), 2u); // one number from each keyword
    EXPECT_TRUE(rig.host.finished);

    // Stop while held: the run ends at the next look, reading nothing.
    Rig stopped({"传真"});
    stopped.host.canVerify = true;
    stopped.pages.script = {{{Outcome::Diverted, 200}, kFaxPage}};
    stopped.pages.onResultPage = false;
    stopped.start();
    stopped.tickAtDue();
    stopped.run.stop();
    stopped.tickAtDue();
    EXPECT_TRUE(stopped.host.finished);
    EXPECT_EQ(stopped.pages.reads, 0);
    EXPECT_EQ(stopped.host.pendingChanges, (std::vector<bool>{true, false}));
}

TEST(SearchDriverVerification, WithoutAUserTheRunAsksAgainWithABackOffUpToAnHour)
{
    Rig rig({"传真"});
    rig.host.intervalSecondsValue = 8;
    for (int i = 0; i < 12; ++i)
        rig.pages.script.push_back({{Outcome::Diverted, 200}, kFaxPage});
    rig.pages.script.push_back({kOk, kFaxPage});
    rig.start();
    std::vector<int64_t> waits;
    while (rig.tickAtDue())
        waits.push_back(rig.host.interval);
    EXPECT_EQ(rig.pages.requests.size(), 13u);
    EXPECT_EQ(waits.at(0), 8000);
    EXPECT_EQ(waits.at(16), 2048000); // the 9th
    EXPECT_EQ(waits.at(18), 3600000);
    EXPECT_EQ(waits.at(22), 3600000);
    EXPECT_EQ(rig.host.messages.at(2), "搜索引擎要求验证，第 2 次，16 秒后重试（08:00:40）");
    EXPECT_EQ(rig.host.pendingChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.pages.reads, 1);
    EXPECT_TRUE(rig.host.finished);
}

} // namespace
} // namespace vellumax
