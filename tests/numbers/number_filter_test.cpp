// Filter conditions combined, and the CSV rows of the classification.
#include "numbers/classification_csv.h"
#include "numbers/number_filter.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace vellumax {
namespace {

using Kind = NumberFilter::Kind;

NumberFacts facts(bool valid, NumberKind kind, const char* region)
{
    return NumberFacts{valid, kind, "+86 ...", gbk(region)};
}

TEST(NumberFilter, ConditionsCombined)
{
    const NumberFacts suzhouFixed = facts(true, NumberKind::FixedLine, "江苏省苏州市");
    const NumberFacts changzhouMobile = facts(true, NumberKind::Mobile, "江苏省常州市");
    const NumberFacts beijingEither = facts(true, NumberKind::FixedLineOrMobile, "北京市");
    const NumberFacts tollFree = facts(true, NumberKind::TollFree, "中国");
    const NumberFacts invalid = facts(false, NumberKind::Unknown, "");

    struct Row {
        const char* what;
        NumberFilter filter;
        // suzhouFixed, changzhouMobile, beijingEither, tollFree, invalid
        std::array<bool, 5> passes;
    };
    const std::vector<Row> rows = {
        {"nothing asked", {}, {true, true, true, true, true}},
        {"valid", {true, {}, {}}, {true, true, true, true, false}},
        {"fixed", {false, Kind::Fixed, {}}, {true, false, true, false, false}},
        {"mobile", {false, Kind::Mobile, {}}, {false, true, true, false, false}},
        {"region part", {false, {}, {gbk("苏州")}}, {true, false, false, false, false}},
        {"province", {false, {}, {gbk("江苏")}}, {true, true, false, false, false}},
        {"regions or-ed", {false, {}, {gbk("苏州"), gbk("北京")}}, {true, false, true, false, false}},
        {"valid mobile in Jiangsu", {true, Kind::Mobile, {gbk("江苏")}}, {false, true, false, false, false}},
        {"fixed in Beijing or Changzhou", {true, Kind::Fixed, {gbk("北京"), gbk("常州")}},
         {false, false, true, false, false}},
        {"empty region text", {false, {}, {""}}, {false, false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const NumberFacts* all[] = {&suzhouFixed, &changzhouMobile, &beijingEither, &tollFree, &invalid};
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(row.filter.passes(*all[i]), row.passes[i]) << "number " << i;
    }
}

TEST(NumberFilter, RegionTextIsMatchedByCharacterNotByByte)
{
    // In GBK, "苏" (CB D5) and "省" (CA A1) side by side hold the bytes
    // D5 CA, which are "帐" on their own.
    ASSERT_EQ(gbk("帐"), std::string("\xD5\xCA"));
    NumberFilter filter;
    filter.regionParts = {gbk("帐")};
    EXPECT_FALSE(filter.passes(facts(true, NumberKind::FixedLine, "江苏省苏州市")));
}

TEST(ClassificationCsv, FieldsAreQuotedOnlyWhereNeeded)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0512-87654321", "0512-87654321"},
        {"+86 512 8765 4321", "+86 512 8765 4321"},
        {"", ""},
        {"0512,87654321", "\"0512,87654321\""},
        {"say \"fax\"", "\"say \"\"fax\"\"\""},
        {"a\rb", "\"a\rb\""},
        {"a\nb", "\"a\nb\""},
        {"江苏省苏州市", "江苏省苏州市"},
    };
    for (const auto& [field, written] : cases) {
        std::string row;
        appendCsvField(row, gbk(field));
        EXPECT_EQ(utf8FromGbk(row), written) << field;
    }
}

TEST(ClassificationCsv, HeaderAndRows)
{
    EXPECT_EQ(utf8FromGbk(classificationCsvHeader()), "号码,国际格式,有效,类型,地区");
    const NumberFacts suzhou{true, NumberKind::FixedLine, "+86 512 8765 4321", gbk("江苏省苏州市")};
    EXPECT_EQ(utf8FromGbk(classificationCsvRow("0512-87654321", suzhou)),
              "0512-87654321,+86 512 8765 4321,是,固定电话,江苏省苏州市");
    EXPECT_EQ(utf8FromGbk(classificationCsvRow("0,0", NumberFacts{})), "\"0,0\",,否,未知,");
}

} // namespace
} // namespace vellumax
