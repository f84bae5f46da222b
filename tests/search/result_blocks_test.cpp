// The results of an engine's page: where each leads, which one a page line
// belongs to, and how a title becomes one table cell.
#include "search/result_blocks.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using namespace vellumax;

namespace {

TEST(ResultBlocks, LeadToTheirLandingPagesAndHoldTheirLines)
{
    const std::vector<PageBlock> page = {
        {gbk("某某机械有限公司-联系我们"), "http://www.baidu.com/link?url=abc", "https://www.example.cn/lxwm.html",
         gbk("某某机械 电话:0512-1\r\n传真:0512-87654321")},
        {gbk("乙公司"), "http://b.example/about", "", gbk("乙公司 传真:0574-1")},
        {gbk("百科"), "http://www.baidu.com/link?url=def", "", gbk("传真:0574-1")},
        {gbk("本机"), "http://192.168.1.1/", "http://127.0.0.1/", gbk("丁")},
    };
    const std::vector<ResultBlock> blocks = resultBlocks(page, "www.baidu.com");
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0].landing, "https://www.example.cn/lxwm.html");
    EXPECT_EQ(blocks[1].landing, "http://b.example/about"); // no mu: the title link leads outside
    EXPECT_EQ(blocks[2].landing, "");                       // only the engine's redirect
    EXPECT_EQ(blocks[3].landing, "");                       // never the user's own network
    EXPECT_EQ(resultBlocks({page[3]}, "e", LoopbackSites::Allowed)[0].landing, "http://127.0.0.1/");

    const struct {
        const char* line;
        int block; // -1: none
    } lines[] = {
        {"传真:0512-87654321", 0}, {"  传真:0512-87654321 \r", 0},
        {"乙公司 传真:0574-1", 1}, {"传真:0574-1", 1}, // the first block that holds it
        {"传真:0000-1", -1},       {" \t ", -1},
    };
    for (const auto& c : lines) {
        const ResultBlock* block = blockHolding(blocks, gbk(c.line));
        EXPECT_EQ(block ? block - blocks.data() : -1, c.block) << c.line;
    }
}

TEST(ResultBlocks, TitlesAreFoldedOntoOneLineAndCut)
{
    const struct {
        std::string title, folded; // UTF-8
        size_t maxBytes;
    } cases[] = {
        {"  某某\r\n机械\t\t有限公司 ", "某某 机械 有限公司", 240},
        {"", "", 240},
        {"长长长", "长", 3}, // never half a character
        {"长 长", "长", 4},  // nor a blank at the end
        {"a\x01"
         "b",
         "a b", 240},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8FromGbk(foldedTitle(gbk(c.title), c.maxBytes)), c.folded) << c.title;
}

} // namespace
