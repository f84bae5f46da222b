// A harvest's summary: provinces and cities out of the classification's
// regions, kinds as a campaign counts them, and what each keyword gave.
#include "numbers/harvest_summary.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using namespace vellumax;

namespace {

TEST(HarvestSummary, SplitsRegionsIntoProvinceAndCity)
{
    const struct {
        const char* region;
        const char* province;
        const char* city;
    } cases[] = {
        {"江苏省苏州市", "江苏省", "苏州市"},
        {"北京市", "北京市", "北京市"},
        {"重庆市", "重庆市", "重庆市"},
        {"广西南宁市", "广西", "南宁市"},
        {"内蒙古呼和浩特市", "内蒙古", "呼和浩特市"},
        {"广西壮族自治区桂林市", "广西壮族自治区", "桂林市"},
        {"黑龙江省哈尔滨市", "黑龙江省", "哈尔滨市"},
        {"中国香港特别行政区", "香港特别行政区", "香港特别行政区"},
        {"日本", "", "日本"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const std::string region = gbk(c.region);
        const RegionParts parts = splitRegion(region);
        EXPECT_EQ(utf8FromGbk(parts.province), c.province) << c.region;
        EXPECT_EQ(utf8FromGbk(parts.city), c.city) << c.region;
    }
}

TEST(HarvestSummary, CountsWhereWhatAndWhichKeyword)
{
    struct Number {
        bool valid;
        NumberKind kind;
        const char* region;
        int32_t keyword;
        bool fromSite;
    };
    const Number harvest[] = {
        {true, NumberKind::FixedLine, "江苏省苏州市", 1, false},
        {true, NumberKind::FixedLine, "江苏省苏州市", 1, true},
        {true, NumberKind::Mobile, "江苏省常州市", 1, false},
        {true, NumberKind::FixedLineOrMobile, "北京市", 2, true},
        {true, NumberKind::TollFree, "", 2, false},            // valid, of no region
        {false, NumberKind::Unknown, "", 2, false},            // counted as invalid only
        {true, NumberKind::FixedLine, "广西南宁市", 0, false}, // no origin
    };
    HarvestSummary summary;
    for (const Number& n : harvest)
        summary.addNumber(n.valid, n.kind, gbk(n.region), n.keyword, n.fromSite);
    for (const int32_t keyword : {1, 1, 2, 3, 3}) // the third keyword read two pages, and found nothing
        summary.addPageRead(keyword);
    summary.nameKeyword(1, gbk("苏州传真"));

    using Counts = std::vector<HarvestSummary::Count>;
    EXPECT_EQ(summary.numbers(), 7u);
    EXPECT_EQ(summary.provinces(),
              (Counts{{gbk("江苏省"), 3}, {gbk("北京市"), 1}, {gbk("广西"), 1}, {gbk("未知地区"), 1}}));
    EXPECT_EQ(summary.provinces(2), (Counts{{gbk("江苏省"), 3}, {gbk("北京市"), 1}, {gbk("其他"), 2}}));
    EXPECT_EQ(summary.cities(gbk("江苏省")), (Counts{{gbk("苏州市"), 2}, {gbk("常州市"), 1}}));
    EXPECT_EQ(summary.cities(gbk("上海市")), Counts{});
    EXPECT_EQ(summary.kinds(), (std::array<size_t, kKindGroups>{4, 1, 1, 1}));

    const std::vector<HarvestSummary::Keyword> keywords = summary.keywords();
    ASSERT_EQ(keywords.size(), 3u);
    EXPECT_EQ(utf8FromGbk(keywords[0].keyword), "苏州传真");
    EXPECT_EQ(keywords[0].numbers, 3u);
    EXPECT_EQ(keywords[0].fromSites, 1u);
    EXPECT_EQ(keywords[0].fromEngine, 2u);
    EXPECT_DOUBLE_EQ(keywords[0].numbersPerPage(), 1.5);
    EXPECT_EQ(keywords[1].numbers, 3u);
    EXPECT_EQ(keywords[2].number, 3);
    EXPECT_EQ(keywords[2].numbers, 0u);
    EXPECT_EQ(keywords[2].pagesRead, 2u);
    EXPECT_DOUBLE_EQ(keywords[2].numbersPerPage(), 0.0);
}

} // namespace
