// The classifier against the phone-number library's real data, on numbers in
// the forms the extraction stores.
#include "numbers/number_classifier.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <set>

namespace vellumax {
namespace {

struct Case {
    const char* number; // UTF-8 here, GBK for the classifier
    bool valid;
    NumberKind kind;
    const char* international;
    const char* region;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.number; }

class Classify : public testing::TestWithParam<Case> {
protected:
    static const NumberClassifier& classifier()
    {
        static const NumberClassifier shared;
        return shared;
    }
};

TEST_P(Classify, GivesTheLibrarysAnswer)
{
    const Case& c = GetParam();
    const NumberFacts facts = classifier().classify(gbk(c.number));
    EXPECT_EQ(facts.valid, c.valid);
    EXPECT_EQ(facts.kind, c.kind);
    EXPECT_EQ(facts.international, c.international);
    EXPECT_EQ(utf8FromGbk(facts.region), c.region);
}

constexpr NumberKind kFixed = NumberKind::FixedLine;
constexpr NumberKind kMobile = NumberKind::Mobile;
constexpr NumberKind kUnknown = NumberKind::Unknown;

INSTANTIATE_TEST_SUITE_P(FixedLines, Classify, testing::Values(
    // Three-digit area codes with eight-digit subscriber numbers.
    Case{"010-12345678", true, kFixed, "+86 10 1234 5678", "北京市"},
    Case{"021-62345678", true, kFixed, "+86 21 6234 5678", "上海市"},
    Case{"01065529988", true, kFixed, "+86 10 6552 9988", "北京市"},
    // Four-digit area codes, eight- and seven-digit subscriber numbers.
    Case{"0512-87654321", true, kFixed, "+86 512 8765 4321", "江苏省苏州市"},
    Case{"0755-12345678", true, kFixed, "+86 755 1234 5678", "广东省深圳市"},
    Case{"0470-1234567", true, kFixed, "+86 470 123 4567", "内蒙古呼伦贝尔市"},
    Case{"0913-2123456", true, kFixed, "+86 913 212 3456", "陕西省渭南市"},
    // Suzhou has no seven-digit numbers.
    Case{"0512-1234567", false, kUnknown, "+86 5121234567", ""},
    // Dashes anywhere, doubled or left over from a country prefix.
    Case{"0512-1234-5678", true, kFixed, "+86 512 1234 5678", "江苏省苏州市"},
    Case{"051212345678", true, kFixed, "+86 512 1234 5678", "江苏省苏州市"},
    Case{"0512--12345678", true, kFixed, "+86 512 1234 5678", "江苏省苏州市"},
    Case{"0-10-12345678", true, kFixed, "+86 10 1234 5678", "北京市"},
    Case{"0512-12345678-", true, kFixed, "+86 512 1234 5678", "江苏省苏州市"}));

INSTANTIATE_TEST_SUITE_P(Extensions, Classify, testing::Values(
    Case{"0512-12345678-801", true, kFixed, "+86 512 1234 5678 ext. 801", "江苏省苏州市"},
    Case{"010-12345678-8001", true, kFixed, "+86 10 1234 5678 ext. 8001", "北京市"},
    // Only the last group can be an extension.
    Case{"0512-12345678-801-2", false, kUnknown, "+86 512123456788012", ""}));

INSTANTIATE_TEST_SUITE_P(Mobiles, Classify, testing::Values(
    // The extraction puts a 0 in front of a bare mobile number.
    Case{"013912345678", true, kMobile, "+86 139 1234 5678", "江苏省常州市"},
    Case{"015012345678", true, kMobile, "+86 150 1234 5678", "云南省昭通市"},
    Case{"018612345678", true, kMobile, "+86 186 1234 5678", "北京市"},
    // A mobile block whose place the library does not know: the country.
    Case{"0170-12345678", true, kMobile, "+86 170 1234 5678", "中国"},
    Case{"0139123456789", false, kUnknown, "+86 13 912 345 6789", ""}));

INSTANTIATE_TEST_SUITE_P(OtherKinds, Classify, testing::Values(
    Case{"0400-1234567", true, NumberKind::SharedCost, "+86 400 123 4567", "中国"},
    Case{"0800-8201234", true, NumberKind::TollFree, "+86 800 820 1234", "中国"}));

INSTANTIATE_TEST_SUITE_P(Junk, Classify, testing::Values(
    Case{"0512-123456", false, kUnknown, "+86 512123456", ""},
    Case{"0512-123456789", false, kUnknown, "+86 512123456789", ""},
    Case{"0000-0000000", false, kUnknown, "+86 0000000000", ""},
    Case{"0512-123456789012345678901", false, kUnknown, "", ""},
    Case{"0", false, kUnknown, "", ""},
    Case{"", false, kUnknown, "", ""},
    Case{"传真号码", false, kUnknown, "", ""}));

TEST(NumberSummary, RegionAndKindOrInvalid)
{
    NumberFacts facts{true, NumberKind::FixedLine, "+86 512 8765 4321", gbk("江苏省苏州市")};
    EXPECT_EQ(utf8FromGbk(numberSummary(facts)), "江苏省苏州市 · 固定电话");
    facts.region.clear();
    facts.kind = NumberKind::Mobile;
    EXPECT_EQ(utf8FromGbk(numberSummary(facts)), "手机");
    facts.valid = false;
    EXPECT_EQ(utf8FromGbk(numberSummary(facts)), "无效号码");
}

TEST(NumberKindName, EveryKindHasItsOwnName)
{
    std::set<std::string> names;
    for (int k = 0; k <= static_cast<int>(NumberKind::Unknown); ++k)
        names.insert(utf8FromGbk(numberKindName(static_cast<NumberKind>(k))));
    EXPECT_EQ(names.size(), static_cast<size_t>(NumberKind::Unknown) + 1);
    EXPECT_TRUE(names.count("固定电话") && names.count("手机") && names.count("未知"));
}

} // namespace
} // namespace vellumax
