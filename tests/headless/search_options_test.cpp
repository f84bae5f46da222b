// The search command's arguments and its progress line.
#include "options/search_options.h"
#include "headless/progress.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

using namespace vellumax;
using namespace vellumax::cli;

namespace {

// Parses a call of the search command; nothing when it is a wrong call.
std::optional<SearchOptions> parse(std::vector<std::string> args)
{
    SearchOptions options;
    CLI::App app("search");
    declareSearchOptions(app, options);
    std::reverse(args.begin(), args.end()); // CLI11 takes them last first
    try {
        app.parse(args);
    } catch (const CLI::ParseError&) {
        return std::nullopt;
    }
    return options;
}

TEST(SearchOptions, RightAndWrongCalls)
{
    struct Case {
        std::vector<std::string> args;
        bool right;
    };
    const Case cases[] = {
        {{"--out", "o.txt", "k.txt"}, true},
        {{"--out", "-", "k.txt"}, true},
        {{"--start", "-3", "--out", "o", "k"}, true},
        {{"--interval", "1", "--out", "o", "k"}, true},
        {{"--interval", "1000", "--out", "o", "k"}, true},
        {{"--state", "s.ini", "--resume", "--out", "o", "k"}, true},
        {{"--dedup", "--out", "o", "--", "-k.txt"}, true},
        {{"--table", "t.csv", "--table-utf8", "--out", "o", "k"}, true},
        {{"--table-utf8", "--out", "o", "k"}, false},                      // no table to write UTF-8
        {{"--interval", "0", "--out", "o", "k"}, false},
        {{"--interval", "1001", "--out", "o", "k"}, false},
        {{"--interval", "abc", "--out", "o", "k"}, false},
        {{"--start", "x", "--out", "o", "k"}, false},
        {{"--start", "99999999999", "--out", "o", "k"}, false},
        {{"--resume", "--out", "o", "k"}, false},                          // no state file to resume from
        {{"--state", "s", "--resume", "--start", "2", "--out", "o", "k"}, false}, // two start positions
        {{"k.txt"}, false},                                                 // no output
        {{"--out", "o"}, false},                                            // no keywords
        {{"--out", "o", "k", "extra"}, false},
        {{"--verbose", "--out", "o", "k"}, false},
    };
    for (const Case& c : cases) {
        std::string call;
        for (const std::string& a : c.args)
            call += a + " ";
        EXPECT_EQ(parse(c.args).has_value(), c.right) << call;
    }
}

TEST(SearchOptions, TheSpelledOutCallGivesTheSameOptions)
{
    const std::vector<std::vector<std::string>> calls = {
        {"--out", "o.txt", "k.txt"},
        {"--start", "-3", "--interval", "30", "--dedup", "--wide", "--deep", "--out", "-", "--", "-k"},
        {"--state", "/tmp/状态 s.ini", "--resume", "--out", "with space.txt", "关键字.txt"},
        {"--out", "o.txt", "--table", "号码表 1.csv", "--table-utf8", "k.txt"},
    };
    for (const auto& call : calls) {
        const auto options = parse(call);
        ASSERT_TRUE(options);
        EXPECT_EQ(parse(searchArguments(*options)), options);
    }
    EXPECT_EQ(parse({"--out", "o", "k"})->interval, 8);
    EXPECT_FALSE(parse({"--out", "o", "k"})->start);
}

TEST(Progress, RemainingTimeFromThePagesPerKeywordSoFar)
{
    struct Case {
        int32_t keywordNumber, keywordCount, page;
        int64_t pagesRead;
        int32_t keywordsTaken, interval;
        int64_t seconds;
    };
    const Case cases[] = {
        {1, 10, 0, 0, 1, 8, 0},          // nothing read yet: no estimate
        {1, 10, 1, 1, 1, 8, 9 * 8},       // one page a keyword so far, nine keywords after this one
        {2, 10, 1, 5, 2, 8, 8 * 20 + 12}, // 2.5 a keyword: 1.5 more of this one, 8 keywords after it
        {10, 10, 1, 10, 10, 2, 0},       // the last keyword at the average: done
        {3, 3, 7, 9, 3, 1, 0},           // past the average: no negative time
        {1, 100000, 75, 75, 1, 1000, 99999LL * 75 * 1000},
    };
    for (const Case& c : cases) {
        Progress p;
        p.keywordNumber = c.keywordNumber;
        p.keywordCount = c.keywordCount;
        p.page = c.page;
        p.pagesRead = c.pagesRead;
        p.keywordsTaken = c.keywordsTaken;
        p.intervalSeconds = c.interval;
        EXPECT_EQ(remainingSeconds(p), c.seconds) << c.keywordNumber << " " << c.pagesRead;
    }
    EXPECT_EQ(durationText(0), "0:00");
    EXPECT_EQ(durationText(65), "1:05");
    EXPECT_EQ(durationText(3 * 86400 + 3723), "73:02:03");
}

TEST(Progress, OneLineWithTheKeywordInUtf8)
{
    Progress p;
    p.keywordNumber = 2;
    p.keywordCount = 3;
    p.keyword = "\xC9\xCF\xBA\xA3"; // 上海 in GBK
    p.page = 4;
    p.numbersInAll = 17;
    p.numbersInKeyword = 5;
    p.pagesRead = 8;
    p.keywordsTaken = 2;
    p.intervalSeconds = 10;
    EXPECT_EQ(progressText(p), "关键字 2/3 「上海」 第 4 页  号码: 共 17, 本关键字 5  预计还需 0:40");
}

} // namespace
