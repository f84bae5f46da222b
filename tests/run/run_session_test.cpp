// The run session over a scripted page source and a timer the test fires:
// what a run refuses, what it writes after each page, how a failing file is
// named, and a stop that waits for the load in progress.
#include "run/run_session.h"
#include "support/test_files.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>

namespace vellumax {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// Each request shows the next scripted page text; a load ends when the test
// says so, or at once.
class ScriptedPages : public PageSource {
public:
    std::deque<std::string> pages;
    std::deque<std::vector<PageBlock>> blocks; // of the pages, as far as given
    bool endLoadsAtOnce = true;
    int reads = 0;
    int requests = 0;

    void RequestPage(const std::string&) override
    {
        ++requests;
        current_ = pages.empty() ? "" : pages.front();
        if (!pages.empty())
            pages.pop_front();
        currentBlocks_.clear();
        if (!blocks.empty()) {
            currentBlocks_ = blocks.front();
            blocks.pop_front();
        }
        loading_ = !endLoadsAtOnce;
    }
    void ReadPageText(bool, std::function<void(PageRead)> done) override
    {
        ++reads;
        done({{current_, std::nullopt, currentBlocks_}, {}});
    }
    PageLoad lastLoad() const override { return {loading_ ? PageLoad::Outcome::Loading : PageLoad::Outcome::Loaded, 200}; }
    void onLoadEnded(std::function<void()> ended) override { ended_ = std::move(ended); }
    void endLoad()
    {
        loading_ = false;
        ended_();
    }

private:
    std::string current_;
    std::vector<PageBlock> currentBlocks_;
    bool loading_ = false;
    std::function<void()> ended_;
};

struct Timer : PageTimer {
    bool on = false;
    void setInterval(int) override {}
    void enable() override { on = true; }
    void disable() override { on = false; }
    bool enabled() const override { return on; }
};

struct View : SearchHost {
    bool dedupe = true;
    bool finished = false;
    SiteQueue::Progress sites;
    std::string failure; // UTF-8
    int intervalSeconds() override { return 1; }
    bool deduplicate() override { return dedupe; }
    void showKeywordPosition(int32_t) override {}
    void showStatus(const RunStatus&) override {}
    void failed(const std::string& message) override { failure = utf8FromGbk(message); }
    void finish() override { finished = true; }
    void showSites(const SiteReport& report) override { sites = report.progress; }
};

// Sites whose pages answer when the test says so: robots.txt is missing
// everywhere, a page shows what `texts` holds for its address.
struct Sites : SiteLoader {
    std::map<std::string, SitePageRead> texts;
    std::vector<std::pair<std::string, std::function<void(SitePageRead)>>> loading;
    std::vector<std::string> loaded;

    bool loadPage(const std::string& url, std::function<void(SitePageRead)> done) override
    {
        loading.emplace_back(url, std::move(done));
        return true;
    }
    void fetchRobots(const std::string&, std::function<void(int, std::string)> done) override { done(404, {}); }
    // The pages loading now; those their answers start wait for the next
    // call.
    void answerAll()
    {
        auto now = std::exchange(loading, {});
        for (auto& [url, done] : now) {
            loaded.push_back(url);
            SitePageRead read = texts.contains(url) ? texts[url] : SitePageRead{};
            read.ok = texts.contains(url);
            read.finalUrl = url;
            done(read);
        }
    }
};

PageBlock block(const std::string& title, const std::string& mu, const std::string& text)
{
    return {gbk(title), "http://e/link?url=x", mu, gbk(text)};
}

struct Rig {
    std::vector<std::string> keywords{gbk("苏州传真"), gbk("上海传真")};
    ResultList results;
    RunSession session{"http://e", keywords, results};
    ScriptedPages pages;
    Timer timer;
    View view;

    Rig() { session.attach(pages, timer, view); }
    void runToEnd()
    {
        session.setStartPosition(0);
        session.begin();
        session.requestStep();
        for (int i = 0; i < 10 && timer.on; ++i)
            session.tick();
    }
};

TEST(RunSession, RefusesOfflineFirstThenAnEmptyKeywordList)
{
    using R = RunSession::Refusal;
    const struct {
        const char* address;
        bool keywords;
        R refusal;
    } cases[] = {{"127.0.0.1", false, R::Offline}, {"127.0.0.1", true, R::Offline},
                 {"192.0.2.7", false, R::NoKeywords}, {"192.0.2.7", true, R::None}};
    for (const auto& c : cases) {
        std::vector<std::string> keywords;
        if (c.keywords)
            keywords.push_back("a");
        ResultList results;
        const RunSession session("http://e", keywords, results);
        EXPECT_EQ(session.refusal(c.address), c.refusal) << c.address << ' ' << c.keywords;
    }
}

TEST(RunSession, AppendsEachPagesNumbersAndFollowsTheKeywordsInTheState)
{
    // With the duplicate test the file's numbers count as found and the list
    // keeps every number; without it the list is emptied after each page.
    for (const bool dedupe : {true, false}) {
        TempDir dir;
        Rig rig;
        rig.view.dedupe = dedupe;
        rig.pages.pages = {gbk("传真:0512-11111111\r\n"), gbk("传真:0512-22222222\r\n传真:0512-99999999\r\n")};
        writeBytes(dir.file("号码.txt"), "0512-99999999\r\n");
        RunFiles files;
        files.numbers = dir.file("号码.txt");
        files.state = dir.file("状态.ini");
        files.keepList = dedupe;
        rig.session.openFiles(files);
        rig.runToEnd();

        EXPECT_TRUE(rig.view.finished);
        EXPECT_EQ(rig.view.failure, "");
        EXPECT_EQ(readBytes(dir.file("号码.txt")), dedupe ? "0512-99999999\r\n0512-11111111\r\n0512-22222222\r\n"
                                                        : "0512-99999999\r\n0512-11111111\r\n0512-22222222\r\n"
                                                          "0512-99999999\r\n");
        EXPECT_EQ(rig.results.size(), dedupe ? 3u : 0u);
        // The second keyword (index 1) was in progress last; the origins are
        // left to the table.
        EXPECT_EQ(readBytes(dir.file("状态.ini")), "\r\n1\r\nqcno\r\n8\r\n");
        EXPECT_EQ(rig.session.origins().size(), 0u);
    }
}

TEST(RunSession, AFileThatFailsIsNamedReadablyAndHaltsTheRun)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    const std::string full = dir.file("号码.txt"); // every write to it fails
    std::filesystem::create_symlink("/dev/full", full);
    const std::string missingFolder = dir.file("没有的文件夹/状态.ini");
    const struct {
        const char* what;
        RunFiles files;
        std::string named;
    } cases[] = {{"numbers", {full, "", false, "", {}, true}, full},
                 {"table", {"", full, false, "", {}, true}, full},
                 {"state", {"", "", false, missingFolder, {}, true}, missingFolder}};
    for (const auto& c : cases) {
        Rig rig;
        rig.pages.pages = {gbk("传真:0512-11111111\r\n")};
        rig.session.openFiles(c.files);
        rig.runToEnd();
        EXPECT_EQ(rig.view.failure.rfind(c.named + ": ", 0), 0u) << c.what << ": " << rig.view.failure;
        EXPECT_FALSE(rig.view.finished) << c.what;
        EXPECT_FALSE(rig.timer.on) << c.what;
    }
}

TEST(RunSession, AStopThatReadsWhenLoadedWaitsForTheLoadInProgress)
{
    Rig rig;
    rig.pages.endLoadsAtOnce = false;
    rig.pages.pages = {gbk("上一页 [1] 2 [3] 下一页\r\n传真:0512-11111111\r\n")};
    rig.session.setStartPosition(0);
    rig.session.begin();
    rig.session.requestStep();
    rig.session.stop(true);
    EXPECT_EQ(rig.pages.reads, 0); // still loading
    rig.pages.endLoad();
    EXPECT_EQ(rig.pages.reads, 1);
    EXPECT_TRUE(rig.view.finished);
    EXPECT_EQ(rig.results.size(), 1u);
}

TEST(RunSession, ReadsEachResultsSiteAndKeepsWhoseEveryNumberIs)
{
    TempDir dir;
    Rig rig;
    Sites sites;
    sites.texts["http://a.example/"] = {true, {}, {}, gbk("甲公司"), gbk("传真：0512-22222222\r\n"), {}};
    sites.texts["http://b.example/"] = {
        true, {}, {}, gbk("乙公司首页"), gbk("欢迎\r\n"), {{gbk("联系我们"), "http://b.example/lx.html"}}};
    sites.texts["http://b.example/lx.html"] = {true, {}, {}, gbk("乙公司-联系我们"), gbk("传真\r\n0574-33333333\r\n"),
                                               {}};
    rig.pages.pages = {gbk("甲公司 传真:0512-11111111\r\n乙公司\r\n")};
    rig.pages.blocks = {{block("甲公司", "http://a.example/", "甲公司 传真:0512-11111111"),
                         block("乙公司", "http://b.example/", "乙公司"), block("丙", "", "丙")}};
    rig.session.openFiles({"", dir.file("t.csv"), false, "", {}, true});
    rig.session.readSites(&sites);
    rig.session.setStartPosition(1); // the last keyword: one page
    rig.session.begin();
    rig.session.requestStep();
    rig.session.tick();
    // The run's end waits for its sites, and a landing page without a
    // number leads on to its contact page.
    EXPECT_FALSE(rig.view.finished);
    sites.answerAll();
    EXPECT_FALSE(rig.view.finished);
    sites.answerAll();
    EXPECT_TRUE(rig.view.finished);
    EXPECT_EQ(sites.loaded,
              (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://b.example/lx.html"}));
    EXPECT_EQ(rig.view.sites.read, 3u);
    const std::string table = utf8FromGbk(readBytes(dir.file("t.csv")));
    for (const char* row :
         {"传真:0512-11111111,甲公司,http://a.example/", "传真：0512-22222222,甲公司,http://a.example/",
          "0574-33333333,乙公司-联系我们,http://b.example/lx.html"})
        EXPECT_NE(table.find(row), std::string::npos) << row << "\n" << table;
}

TEST(RunSession, SitesHoldTheEngineWhileTooManyWaitAndAStopEndsWithThoseLoading)
{
    for (const bool stop : {false, true}) {
        Rig rig;
        Sites sites;
        std::vector<PageBlock> many;
        for (int i = 0; i < 30; ++i)
            many.push_back(block("r", "http://s" + std::to_string(i) + ".example/", "r"));
        rig.pages.pages = {"", ""};
        rig.pages.blocks = {many};
        rig.session.readSites(&sites);
        rig.session.setStartPosition(0);
        rig.session.begin();
        rig.session.requestStep();
        rig.session.tick();
        // 30 results, 4 asking for their robots.txt at once... and answered
        // at once, so 4 load: 26 wait, more than 20.
        EXPECT_EQ(rig.pages.requests, 1);
        EXPECT_FALSE(rig.timer.on);
        if (stop) {
            rig.session.stop(false);
            EXPECT_FALSE(rig.view.finished);
            sites.answerAll();
            EXPECT_TRUE(rig.view.finished);
            EXPECT_EQ(sites.loaded.size(), 4u);
            EXPECT_EQ(rig.pages.requests, 1);
            continue;
        }
        sites.answerAll(); // 4 answered, 4 more loading: 22 wait
        EXPECT_EQ(rig.pages.requests, 1);
        sites.answerAll(); // 4 more answered, 4 loading: 18 wait, and the engine goes on
        EXPECT_EQ(rig.pages.requests, 2);
        EXPECT_TRUE(rig.timer.on);
    }
}

} // namespace
} // namespace vellumax
