// How a page text becomes lines, and when a keyword has a further page.
#include "search/page_analysis.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string_view>;

TEST(PageLines, EndOnlyAtCrLf)
{
    EXPECT_EQ(pageLines(""), Lines{});
    EXPECT_EQ(pageLines("a"), Lines{"a"});
    EXPECT_EQ(pageLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(pageLines("\r\n"), Lines{""});
    EXPECT_EQ(pageLines("\r\n\r\na\r\n\r\n"), (Lines{"", "", "a", ""}));
    EXPECT_EQ(pageLines("a\rb\nc\r\nd"), (Lines{"a\rb\nc", "d"}));
    EXPECT_EQ(pageLines("\r\r\n\n\r"), (Lines{"\r", "\n\r"}));
    EXPECT_EQ(pageLines(" a \t\r\n\tb "), (Lines{" a \t", "\tb "}));
}

TEST(PageLines, NulEndsTheText)
{
    EXPECT_EQ(pageLines("a\r\nb\0c\r\nd"s), (Lines{"a", "b"}));
    EXPECT_EQ(pageLines("\0a\r\n"s), Lines{});
    EXPECT_EQ(pageLines("a\r\0\n"s), Lines{"a\r"});
}

TEST(PageLines, AreCutTo4096Bytes)
{
    const std::string exact(4096, 'x');
    const std::string longer = exact + gbk("传真:0512-12345678");
    EXPECT_EQ(pageLines(exact + "\r\n" + longer + "\r\ny"), (Lines{exact, exact, "y"}));
    // A CR LF that straddles the cut still ends the line.
    EXPECT_EQ(pageLines(std::string(4095, 'x') + "\r\nz"), (Lines{std::string(4095, 'x'), "z"}));
}

TEST(PageLines, BadInputStaysLinear)
{
    std::string huge(50u << 20, '\xFF');
    huge[1000] = '\x80';
    const Lines one = pageLines(huge);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].size(), kPageLineLimit);

    std::string many;
    for (int i = 0; i < 1'000'000; ++i)
        many += "\x81\r\n";
    EXPECT_EQ(pageLines(many).size(), 1'000'000u);
    EXPECT_EQ(pageLines(std::string(1'000'000, '\n')).size(), 1u);
}

bool morePagesAfter(const std::string& utf8Line)
{
    return pagerOffersNextPage({"", gbk(utf8Line), "x"});
}

TEST(PagerScan, LineMustHoldNextWordAndBracketsAndBeginRight)
{
    EXPECT_TRUE(morePagesAfter("1 [2] [3] [4] [5] 下一页"));
    EXPECT_TRUE(morePagesAfter("上一页 [1] [2] 3 [4] [5] 下一页"));
    EXPECT_FALSE(morePagesAfter("上一页 [1] [2] [3] 4"));
    EXPECT_FALSE(morePagesAfter("2 [3] [4] 下一页"));
    EXPECT_TRUE(morePagesAfter("12 [13] 下一页"));
    EXPECT_FALSE(morePagesAfter("上一页 ［1］ ［2］ 下一页"));
    EXPECT_FALSE(morePagesAfter("下一页 [2]"));
    EXPECT_TRUE(morePagesAfter("1 ] 下一页 ["));  // any order
    EXPECT_FALSE(morePagesAfter(" 1 [2] 下一页"));
    EXPECT_FALSE(morePagesAfter("\t上一页 [1] 2 下一页"));
    // Brackets are bytes: a GBK second byte "[" or "]" counts.
    EXPECT_TRUE(pagerOffersNextPage({"1 \x81\x5B\x81\x5D" + gbk("下一页")}));
}

TEST(PagerScan, SeesWholeLinesOfThePageAlsoWhenReadAcrossTheText)
{
    const std::string beyondCut = "1 [2]" + std::string(4092, ' ') + gbk("下一页");
    const struct {
        std::string text;
        bool more;
    } cases[] = {
        {gbk("上一页 [1]\n[2] 下一页"), true}, // a lone LF stays inside the line
        {gbk("上一页 [1]\r\n[2] 下一页"), false},
        {gbk("1 [2] 下一页\r\n上一页 [1] 2"), true},
        {gbk("甲 下一页\r\n乙 下一页 [\r\n1 [2] 下一页\r\n"), true}, // the third line holding the word
        {beyondCut, false},
        {beyondCut.substr(0, 4090) + gbk("下一页"), true},
        {std::string("1 [2]\0", 6) + gbk("下一页"), false}, // a NUL ends the text
        {gbk("1 [2] 下一\r\n页"), false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pagerOffersNextPage(pageLines(c.text)), c.more) << c.text.substr(0, 40);
        EXPECT_EQ(anyNextPageLine(c.text, isPagerLine), c.more) << c.text.substr(0, 40);
    }
}

TEST(PageCap, EndsTheKeywordAtOffset750)
{
    const std::string page = gbk("结果\r\n上一页 [1] 2 [3] 下一页\r\n");
    EXPECT_TRUE(analysePage(page, 10).morePages);
    EXPECT_TRUE(analysePage(page, 740).morePages);  // page fetched at 730
    EXPECT_TRUE(analysePage(page, 749).morePages);
    EXPECT_FALSE(analysePage(page, 750).morePages); // page fetched at 740
    EXPECT_FALSE(analysePage(page, 760).morePages);
    EXPECT_EQ(analysePage(page, 750).lines, pageLines(page));
    const PageAnalysis empty = analysePage("", 0);
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_FALSE(empty.morePages);
}

} // namespace
} // namespace vellumax
