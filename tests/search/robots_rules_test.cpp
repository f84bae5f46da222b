// A site's robots.txt: which groups speak to us, how a path is matched, and
// what an answer without rules means.
#include "search/robots_rules.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

// A body of `size` bytes: `head`, a comment filling up to `size` less the
// length of `tail`, and `tail`.
std::string paddedTo(size_t size, const std::string& head, const std::string& tail)
{
    std::string body = head + "#";
    body.append(size - body.size() - tail.size() - 1, 'x');
    return body + "\n" + tail;
}

TEST(RobotsRules, JudgesEachPathByTheGroupsThatSpeakToUs)
{
    struct Case {
        std::string body;
        std::string path;
        bool allowed;
    };
    const std::string everyoneOut = "User-agent: *\nDisallow: /\n";
    const std::vector<Case> cases = {
        // Our own group over `*`, even one without rules; others' groups.
        {everyoneOut + "User-agent: Vellumax\nDisallow: /private\n", "/public", true},
        {everyoneOut + "User-agent: Vellumax\nDisallow: /private\n", "/private/a", false},
        {everyoneOut + "User-agent: vellumax\n", "/", true},
        {everyoneOut + "User-agent: vellumax\nDisallow:\n", "/", true},
        {"User-agent: otherbot\nDisallow: /\n", "/", true},
        {"User-agent: vellumaxbot\nDisallow: /\n", "/", true},
        {"User-agent: otherbot\nDisallow: /\n" + everyoneOut, "/", false},
        // Consecutive user-agent lines share a group; groups naming us merge.
        {"User-agent: vellumax\nUser-agent: other\nDisallow: /shared\n", "/shared", false},
        {"User-agent: vellumax\nDisallow: /a\nUser-agent: other\nDisallow: /b\nUser-agent: VELLUMAX\nDisallow: /c\n",
         "/c", false},
        {"User-agent: vellumax\nDisallow: /a\nUser-agent: other\nDisallow: /b\nUser-agent: VELLUMAX\nDisallow: /c\n",
         "/b", true},
        {"User-agent: *\nDisallow: /a\nUser-agent: x\nDisallow: /x\nUser-agent: *\nDisallow: /b\n", "/b", false},
        {"User-agent: *\nDisallow: /a\nUser-agent: x\nDisallow: /x\nUser-agent: *\nDisallow: /b\n", "/x", true},
        // `*` and `$`.
        {"User-agent: *\nDisallow: /*.pdf$\n", "/docs/a.pdf", false},
        {"User-agent: *\nDisallow: /*.pdf$\n", "/docs/a.pdf?page=2", true},
        {"User-agent: *\nDisallow: /a*c*e\n", "/abcdxe/f", false},
        {"User-agent: *\nDisallow: /a*c*e\n", "/abcd", true},
        {"User-agent: *\nDisallow: /a$b\n", "/a$b", false},
        // The longest rule as written wins, an Allow on a tie.
        {"User-agent: *\nAllow: /p\nDisallow: /\n", "/p/x", true},
        {"User-agent: *\nDisallow: /folder\nAllow: /folder/page\n", "/folder/other", false},
        {"User-agent: *\nAllow: /*.html\nDisallow: /a/b\n", "/a/b.html", true},
        {"User-agent: *\nAllow: /a/b*\nDisallow: /*.html\n", "/a/b.html", false},
        {"User-agent: *\nDisallow: /page\nAllow: /page\n", "/page", true},
        {"User-agent: *\nAllow: /page\nDisallow: /page\n", "/page", true},
        {"User-agent: *\nAllow: /a$\nDisallow: /a*\n", "/ab", false},
        {"User-agent: *\nAllow: /a$\nDisallow: /a*\n", "/a", true},
        {"User-agent: *\nAllow: /%7Ea\nDisallow: /~a/\n", "/~a/b", true},
        // Comments, blanks, the case of field names, unknown fields.
        {"User-agent: * # everyone\n\n# Disallow: /commented\nDisallow: /x # why\n", "/commented", true},
        {"User-agent: * # everyone\n\n# Disallow: /commented\nDisallow: /x # why\n", "/x", false},
        {"USER-AGENT : *\nDISALLOW\t:\t/a\t\n", "/a", false},
        {"uSeR-aGeNt: VeLLuMaX\nCrawl-delay: 10\nSitemap: http://x/s.xml\ndisallow: /b\n", "/b", false},
        {"User-agent: *\nDisallow /a\n", "/a", true},
        // Line ends, the byte-order mark, rules before any user-agent line.
        {"User-agent: *\rDisallow: /a\rDisallow: /b", "/b", false},
        {"User-agent: *\r\n\r\nDisallow: /a\rDisallow: /b\n", "/b", false},
        {"\xEF\xBB\xBFUser-agent: *\nDisallow: /a\n", "/a", false},
        {"Disallow: /a\nUser-agent: *\nDisallow: /b\n", "/a", true},
        // Percent-escapes in either, raw bytes in the rule.
        {"User-agent: *\nDisallow: /%7euser\n", "/~user", false},
        {"User-agent: *\nDisallow: /~joe\n", "/%7Ejoe", false},
        {"User-agent: *\nDisallow: /a%2fb\n", "/a%2Fb", false},
        {"User-agent: *\nDisallow: /a%2fb\n", "/a/b", true},
        {"User-agent: *\nDisallow: /\xE4\xB8\xAD\n", "/%e4%b8%ad", false},
        // /robots.txt, and what lies past the part that is read.
        {everyoneOut, "/robots.txt", true},
        {"", "/", true},
        {paddedTo(kRobotsBodyLimit, "User-agent: *\n", "Disallow: /\n"), "/", false},
        {paddedTo(kRobotsBodyLimit + 1, "User-agent: *\n", "Disallow: /\n"), "/", false},
        {paddedTo(kRobotsBodyLimit + 30, "User-agent: *\n", "Disallow: /\n"), "/", true},
        {paddedTo(kRobotsBodyLimit + 8, "User-agent: *\n", "Disallow: /private\n"), "/p", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("path " + c.path + " in\n" + c.body.substr(0, 200));
        EXPECT_EQ(RobotsRules::parse(c.body).allows(c.path), c.allowed);
    }
}

TEST(RobotsRules, AnswerStatusDecidesWhetherTheBodyCounts)
{
    struct Case {
        int status;
        bool leftAlone;
        bool allowsA;
        bool allowsB;
    };
    const std::vector<Case> cases = {
        {200, false, false, true}, {204, false, false, true}, {301, false, true, true},  {401, false, true, true},
        {403, false, true, true},  {404, false, true, true},  {500, true, false, false}, {503, true, false, false},
        {0, true, false, false},   {102, true, false, false}, {600, true, false, false},
    };
    for (const Case& c : cases) {
        const RobotsRules rules = RobotsRules::fromAnswer(c.status, "User-agent: *\nDisallow: /a\n");
        EXPECT_EQ(rules.leavesHostAlone(), c.leftAlone) << c.status;
        EXPECT_EQ(rules.allows("/a"), c.allowsA) << c.status;
        EXPECT_EQ(rules.allows("/b"), c.allowsB) << c.status;
        EXPECT_TRUE(rules.allows("/robots.txt")) << c.status;
    }
}

} // namespace
} // namespace vellumax
