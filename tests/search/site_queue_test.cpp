// The order the run opens the results' sites in: robots.txt first, one load
// per host and four in all, what robots.txt and failures take out, the one
// contact page a result may follow.
#include "search/site_queue.h"

#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace vellumax {
namespace {

// Throws for a URL the run may not open, failing the test.
SiteAddress siteOf(const std::string& url) { return visitableSite(url, "www.baidu.com").value(); }

SiteQueue::Visit visitOf(const std::string& url) { return {siteOf(url), gbk("标题"), 1, 0}; }

// A run in rounds: before each round the next batch of visits is added,
// every load the queue will start is taken, and all of them are answered.
// URLs are written without "http://", a contact page with a "+", and rounds,
// or batches, are split by "|"; the counts follow the "#".
struct Script {
    const char* name;
    std::string visits;
    std::map<std::string, std::pair<int, std::string>> robots = {}; // by host; any other answers 404
    std::string failing = "";
    std::map<std::string, std::vector<std::string>> contactLinks = {}; // offered after the page, in order
    std::string expected = "";
};

std::string run(const Script& script)
{
    std::istringstream visits(script.visits);
    SiteQueue queue;
    std::string log;
    for (int round = 0; round < 50; ++round) {
        for (std::string word; visits >> word && word != "|";)
            queue.add(visitOf(word.find("://") == std::string::npos ? "http://" + word : word));
        std::vector<SiteQueue::Load> loads;
        std::set<std::string> hosts;
        while (std::optional<SiteQueue::Load> load = queue.next()) {
            EXPECT_TRUE(hosts.insert(load->host).second) << "two loads at once on " << load->host;
            loads.push_back(std::move(*load));
        }
        EXPECT_LE(loads.size(), SiteQueue::kMostLoadsAtOnce);
        if (loads.empty() && !visits)
            break;
        log += loads.empty() || log.empty() ? "" : " |";
        for (const SiteQueue::Load& load : loads) {
            const std::string shortUrl = load.url.starts_with("http://") ? load.url.substr(7) : load.url;
            log += (log.empty() ? "" : " ") + std::string(load.kind == SiteQueue::Load::Kind::ContactPage ? "+" : "") +
                   shortUrl;
            if (load.kind == SiteQueue::Load::Kind::Robots) {
                const auto answer = script.robots.find(load.host);
                const auto [status, body] = answer == script.robots.end() ? std::pair{404, ""} : answer->second;
                queue.robotsAnswered(load.host, status, body);
                continue;
            }
            queue.pageFinished(load, (" " + script.failing + " ").find(" " + shortUrl + " ") == std::string::npos);
            if (const auto links = script.contactLinks.find(shortUrl); links != script.contactLinks.end())
                for (const std::string& link : links->second)
                    queue.followContact(load, siteOf("http://" + link));
        }
    }
    EXPECT_TRUE(queue.idle());
    const SiteQueue::Progress p = queue.progress();
    return log + " # read " + std::to_string(p.read) + ", refused " + std::to_string(p.refusedByRobots) + ", dropped " +
           std::to_string(p.droppedWithFailedHosts) + ", repeats " + std::to_string(p.repeats);
}

const std::vector<Script> kScripts = {
    {.name = "asks_each_host_for_robots_once_first_and_serves_free_hosts_in_order_four_at_once",
     .visits = "h1.cn/1 https://h2.cn:8443/x?y#z h3.cn/ h4.cn/ h5.cn/ h6.cn/ https://h1.cn/2",
     .expected = "h1.cn/robots.txt https://h2.cn:8443/robots.txt h3.cn/robots.txt h4.cn/robots.txt | h1.cn/1 "
                 "https://h2.cn:8443/x?y#z h3.cn/ h4.cn/ | h5.cn/robots.txt h6.cn/robots.txt https://h1.cn/2 | h5.cn/ "
                 "h6.cn/ # read 7, refused 0, dropped 0, repeats 0"},
    {.name = "loads_only_what_robots_allows",
     .visits = "a.cn/private/x a.cn/open a.cn/p?print=1 a.cn/p#?print | a.cn/private/late a.cn/late",
     .robots = {{"a.cn", {200, "User-agent: *\nDisallow: /private\nDisallow: /*?print\n"}}},
     .contactLinks = {{"a.cn/open", {"a.cn/private/contact"}}},
     .expected = "a.cn/robots.txt | a.cn/open | a.cn/p#?print | a.cn/late # read 3, refused 4, dropped 0, repeats 0"},
    {.name = "leaves_hosts_alone_whose_robots_is_not_answered_but_not_those_without_one",
     .visits = "a.cn/1 a.cn/2 b.cn/ c.cn/ | a.cn/late",
     .robots = {{"a.cn", {503, ""}}, {"b.cn", {0, ""}}, {"c.cn", {403, "User-agent: *\nDisallow: /\n"}}},
     .expected = "a.cn/robots.txt b.cn/robots.txt c.cn/robots.txt | c.cn/ # read 1, refused 4, dropped 0, repeats 0"},
    {.name = "leaves_a_host_after_its_second_failure",
     .visits = "a.cn/1 a.cn/2 a.cn/3 a.cn/4 b.cn/1 b.cn/2 b.cn/3 b.cn/4 | | | a.cn/late",
     .failing = "a.cn/1 a.cn/2 b.cn/1 b.cn/3",
     .expected = "a.cn/robots.txt b.cn/robots.txt | a.cn/1 b.cn/1 | a.cn/2 b.cn/2 | b.cn/3 # read 1, refused 0, "
                 "dropped 4, repeats 0"},
    {.name = "follows_one_contact_page_on_the_same_site_ahead_of_its_host",
     .visits = "a.cn/ a.cn/2 b.cn/ c.cn/",
     .failing = "c.cn/",
     .contactLinks = {{"a.cn/", {"other.cn/contact", "a.cn/contact", "a.cn/contact2"}},
                      {"a.cn/contact", {"a.cn/more"}},
                      {"a.cn/2", {"a.cn/contact"}},
                      {"b.cn/", {"www.b.cn/lianxi"}},
                      {"c.cn/", {"c.cn/contact"}}},
     .expected = "a.cn/robots.txt b.cn/robots.txt c.cn/robots.txt | a.cn/ b.cn/ c.cn/ | +a.cn/contact "
                 "www.b.cn/robots.txt | a.cn/2 +www.b.cn/lianxi # read 5, refused 0, dropped 0, repeats 1"},
    {.name = "drops_repeated_landing_pages",
     .visits = "a.cn/1 a.cn/1 HTTP://A.CN/1 | | a.cn/1 a.cn/1#top",
     .expected = "a.cn/robots.txt | a.cn/1 | a.cn/1#top # read 2, refused 0, dropped 0, repeats 3"},
};

class SiteQueueScript : public testing::TestWithParam<Script> {};

TEST_P(SiteQueueScript, LoadsInOrder) { EXPECT_EQ(run(GetParam()), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(SiteQueue, SiteQueueScript, testing::ValuesIn(kScripts),
                         [](const testing::TestParamInfo<Script>& info) { return std::string(info.param.name); });

TEST(SiteQueue, HoldsTheEngineWhileMoreThanTwentyPagesWait)
{
    SiteQueue queue;
    for (int i = 0; i < 21; ++i) {
        EXPECT_FALSE(queue.engineShouldWait()) << i;
        queue.add(visitOf("http://a.cn/" + std::to_string(i)));
    }
    queue.add(visitOf("http://a.cn/0"));
    queue.next(); // robots.txt, no page: all of them still wait
    EXPECT_TRUE(queue.engineShouldWait());
    queue.robotsAnswered("a.cn", 404, "");
    queue.next();
    EXPECT_FALSE(queue.engineShouldWait());
}

TEST(SiteQueue, TellsContactLinksFromOtherTexts)
{
    for (const std::string& text :
         {gbk("联系我们"), gbk("联系方式"), gbk("　联系 \r\n"), std::string("Contact"), std::string(" CONTACT us\t")})
        EXPECT_TRUE(isContactLinkText(text)) << utf8FromGbk(text);
    for (const std::string& text : {gbk("联系我们>"), gbk("联系电话"), gbk("请联系我们"), gbk("联系我"),
                                    std::string("Contacts"), std::string("contact-us"), std::string("  ")})
        EXPECT_FALSE(isContactLinkText(text)) << utf8FromGbk(text);
}

} // namespace
} // namespace vellumax
