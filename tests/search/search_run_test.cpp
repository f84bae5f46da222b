// The page lines a search run keeps.
#include "search/search_run.h"
#include "text/gbk_codec.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vellumax {
namespace {

TEST(SearchRun, PageLinesOutliveThePageTextTheyCameFrom)
{
    QueryBuilder queries;
    const std::vector<std::string> keywords = {"a", "b"};
    ResultList results;
    SearchRun run(queries, keywords, results);
    run.begin();
    {
        std::string page = gbk("甲\r\n传真:0512-12345678\r\n上一页 [1] 2 [3] 下一页");
        EXPECT_EQ(run.processPage(page, {}, {}), SearchRun::Next::RequestPage);
        std::fill(page.begin(), page.end(), 'x');
    }
    EXPECT_EQ(run.pageLines(),
              (std::vector<std::string_view>{gbk("甲"), gbk("传真:0512-12345678"), gbk("上一页 [1] 2 [3] 下一页")}));

    // The next page replaces them; a new run starts without any.
    run.processPage("x\r\ny", {}, {});
    EXPECT_EQ(run.pageLines(), (std::vector<std::string_view>{"x", "y"}));
    run.setStartPosition(0);
    run.begin();
    EXPECT_TRUE(run.pageLines().empty());
}

} // namespace
} // namespace vellumax
