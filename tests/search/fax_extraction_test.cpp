// Numbers after the field marker, their normal form, and the result list.
#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vellumax {
namespace {

using Lines = std::vector<std::string>;

struct Example {
    const char* marker;   // UTF-8
    const char* line;     // UTF-8
    const char* run;      // after the run scan; nullptr: marker not found
    const char* normal;   // after the trailing dash
    const char* appended; // nullptr: nothing
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.marker << " | " << e.line; }

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, GivesTheTabledNumber)
{
    const Example& e = GetParam();
    const std::string marker = gbk(e.marker);
    const std::string line = gbk(e.line);
    const std::optional<std::string_view> run = numberRunAfterMarker(line, marker);
    if (!e.run) {
        EXPECT_FALSE(run);
    } else {
        ASSERT_TRUE(run);
        EXPECT_EQ(*run, e.run);
        EXPECT_EQ(normaliseNumber(*run), e.normal);
    }
    const std::optional<std::string> number = faxNumberInLine(line, marker);
    EXPECT_EQ(number, e.appended ? std::optional<std::string>(e.appended) : std::nullopt);
}

constexpr const char* kNone = nullptr;
constexpr const char* kSame29 = "0512-12345678-12345678-123456";
constexpr const char* kSame30 = "0512-12345678-12345678-1234567";

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedExample,
    ::testing::Values(
        Example{"传真:", "传真:0512-12345678", "0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:(0512)12345678", "(0512)12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512)12345678", "0512)12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:+86-512-12345678", "+86-512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:+86(512)1234-5678", "+86(512)1234-5678", "0512-1234-5678", "0512-1234-5678"},
        Example{"传真:", "传真:(+86)0512-12345678", "(+86)0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0086-512-12345678", "0086-512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:008651212345678", "008651212345678", "051212345678", "051212345678"},
        Example{"传真:", "传真:086512-12345678", "086512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0086-86-10-12345678", "0086-86-10-12345678", "010-12345678", "010-12345678"},
        Example{"传真:", "传真:8610-12345678", "8610-12345678", "010-12345678", "010-12345678"},
        Example{"传真:", "传真:51212345678", "51212345678", "051212345678", "051212345678"},
        Example{"传真:", "传真:13912345678", "13912345678", "013912345678", "013912345678"},
        Example{"传真:", "传真:--0512-12345678", "--0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512--12345678", "0512--12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512-----12345678", "0512-----12345678", "0512--12345678", "0512--12345678"},
        Example{"传真:", "传真:010-1234-5678-", "010-1234-5678-", "010-1234-5678", "010-1234-5678"},
        Example{"传真:", "传真:0512-12345678转8001", "0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512-12345678,87654321", "0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512-1234567 电话:0512-12345678", "0512-1234567", "0512-1234567", "0512-1234567"},
        Example{"传真:", "传真:0512-12345678 传真:0512-87654321", "0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "电话:0512-87654321 传真:0512-12345678", "0512-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真: 0512-12345678", "", "0", kNone},
        Example{"传真:", "传真：0512-12345678", kNone, "", kNone},
        Example{"传真:", "传真:0512 12345678", "0512", "0512", kNone},
        Example{"传真:", "传真:0512.1234.5678", "0512", "0512", kNone},
        Example{"传真:", "传真:0086 512 12345678", "0086", "0", kNone},
        Example{"传真:", "传真:12345678", "12345678", "012345678", kNone},
        Example{"传真:", "传真:86123456789", "86123456789", "0123456789", kNone},
        Example{"传真:", "传真:5121234567", "5121234567", "05121234567", "05121234567"},
        Example{"传真:", "传真:512123456", "512123456", "0512123456", kNone},
        Example{"传真:", "传真:0512-12345678-12345678-123456", kSame29, kSame29, kSame29},
        Example{"传真:", "传真:0512-12345678-12345678-1234567", kSame30, kSame30, kNone},
        Example{"FAX:", "Tel:0512-87654321 FAX:86-10-12345678", "86-10-12345678", "010-12345678", "010-12345678"},
        Example{"FAX:", "Fax:0512-12345678", kNone, "", kNone},
        Example{"FAX:", "传真:0512-12345678", kNone, "", kNone},
        Example{"", "传真:0512-12345678", kNone, "", kNone}));

// Cases where the steps meet each other.
INSTANTIATE_TEST_SUITE_P(
    Interplay, WorkedExample,
    ::testing::Values(
        // Prefixes are tested once each, in table order.
        Example{"传真:", "传真:0086086-10-12345678", "0086086-10-12345678", "010-12345678", "010-12345678"},
        Example{"传真:", "传真:86-86-10-12345678", "86-86-10-12345678", "0-10-12345678", "0-10-12345678"},
        Example{"传真:", "传真:-(0086)512-1234567", "-(0086)512-1234567", "0512-1234567", "0512-1234567"},
        // Dash runs: two passes leave runs of five and six as two.
        Example{"传真:", "传真:0512---+-12345678", "0512---+-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真:0512-(-)-12345678", "0512-(-)-12345678", "0512--12345678", "0512--12345678"},
        Example{"传真:", "传真:0512-12345678-----", "0512-12345678-----", "0512-12345678-", "0512-12345678-"},
        // Plus signs go before the dashes are halved.
        Example{"传真:", "传真:+++0512+-+-12345678", "+++0512+-+-12345678", "0512-12345678", "0512-12345678"},
        Example{"传真:", "传真::0512-12345678", "", "0", kNone},
        Example{"传真:", "传真:", "", "0", kNone}));

TEST(RunScan, LooksAtMost255BytesPastTheMarker)
{
    const std::string line = gbk("传真:") + std::string(300, '-') + "0512-12345678";
    EXPECT_EQ(numberRunAfterMarker(line, gbk("传真:"))->size(), 255u);
    EXPECT_FALSE(faxNumberInLine(line, gbk("传真:")));
}

TEST(RunScan, MarkerIsFoundByteWise)
{
    // After a stray lead byte the marker no longer starts a character, and
    // still counts.
    EXPECT_EQ(faxNumberInLine("\x81" + gbk("传真:0512-12345678"), gbk("传真:")), "0512-12345678");
    EXPECT_EQ(faxNumberInLine("\xFF\x80" + gbk("传真:0512-12345678") + "\xFF", gbk("传真:")), "0512-12345678");
}

std::vector<std::string> numbersOf(const ResultList& list) { return {list.begin(), list.end()}; }

// Lines written out here, handed over as the views a run reads.
size_t ExtractFaxNumbers(const Lines& lines, std::string_view marker, const std::function<bool()>& deduplicate,
                         ResultList& results, const std::function<void(std::string_view line)>& appended = {})
{
    return vellumax::ExtractFaxNumbers(std::vector<std::string_view>(lines.begin(), lines.end()), marker, deduplicate,
                                       results, appended);
}

TEST(Extraction, AppendsInOrderAndCallsBackForEach)
{
    ResultList results;
    Lines lines;
    const Lines page = {gbk("传真:0512-12345678"), "x", gbk("传真:(010)87654321 传真:0512-11111111"), "",
                        gbk("电话:0512-12345678")};
    const size_t added = ExtractFaxNumbers(page, gbk("传真:"), {}, results, [&](std::string_view line) {
        lines.emplace_back(line);
        EXPECT_EQ(results.size(), lines.size());
    });
    EXPECT_EQ(added, 2u);
    EXPECT_EQ(lines, (Lines{page[0], page[2]}));
    EXPECT_EQ(numbersOf(results), (Lines{"0512-12345678", "010-87654321"}));
    EXPECT_EQ(ExtractFaxNumbers(page, "", [] { return false; }, results), 0u);
    EXPECT_EQ(results.size(), 2u);
}

TEST(Extraction, MarkerBeyondTheLineCutIsNotSeen)
{
    ResultList results;
    const std::string marker = gbk("传真:");
    const std::string page = std::string(4096 - 5, 'x') + marker + "0512-12345678\r\n" +
                             std::string(4096 - 4, 'x') + marker + "0512-12345678\r\n" +
                             std::string(4096 - 5 - 11, 'x') + marker + "0512-12345678\r\n";
    ExtractFaxNumbers(pageLines(page), marker, {}, results);
    EXPECT_EQ(numbersOf(results), Lines{"0512-123456"});
}

// The numbers of a page text, each with its line, line by line and across
// the whole text.
std::pair<Lines, Lines> numbersBothWays(const std::string& text, const std::string& marker)
{
    Lines byLine, inText;
    const auto into = [](Lines& found) {
        return [&found](std::string& n, std::string_view line) { found.push_back(n + '|' + std::string(line)); };
    };
    forEachFaxNumber(pageLines(text), marker, into(byLine));
    forEachFaxNumberInText(text, marker, into(inText));
    return {byLine, inText};
}

TEST(Extraction, AcrossTheTextAsLineByLine)
{
    const std::string fax = gbk("传真:"), number = "0512-12345678";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", fax},
        {fax + number, fax},
        {fax + number + "\r\n" + fax + "(010)87654321\r\n", fax},
        {"x:y\r\n:" + fax + number + " " + fax + "0755-1111111\r\n", fax},
        {"\r\n\r\n" + fax + "\r\n" + number + "\r" + fax + number + "\n" + fax + number, fax},
        {fax.substr(0, 3) + "\r\n" + fax.substr(3) + number, fax}, // a marker cut by a break
        {std::string("a\0", 2) + fax + number, fax},
        {std::string(4096 - 5, 'x') + fax + number + "\r\n" + std::string(4093, 'x') + fax + number, fax},
        {std::string(5000, ':') + fax + number + "\r\n:" + fax + number, fax},
        {"FAX:" + number + "\r\nfax:" + number + "\r\r\nFAX:\r\n" + number, "FAX:"},
        {fax + number, ""},
    };
    for (const auto& [text, marker] : cases) {
        const auto [byLine, inText] = numbersBothWays(text, marker);
        EXPECT_EQ(inText, byLine) << text;
    }

    std::mt19937 random(16);
    const std::vector<std::string> pieces = {"\r", "\n", "\r\n", ":", fax, fax.substr(0, 2), "0512", "-", "x", std::string(1, '\0')};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (size_t i = random() % 30; i > 0; --i)
            text += pieces[random() % (round % 4 == 0 ? pieces.size() : pieces.size() - 1)];
        const auto [byLine, inText] = numbersBothWays(text, fax);
        ASSERT_EQ(inText, byLine) << round;
    }
}

TEST(Deduplication, ComparesWithEveryEntrySoFar)
{
    const std::string marker = gbk("传真:");
    const Lines page(3, gbk("传真:0512-12345678"));
    ResultList results;
    EXPECT_EQ(ExtractFaxNumbers(page, marker, [] { return false; }, results), 3u);
    EXPECT_EQ(ExtractFaxNumbers(page, marker, [] { return true; }, results), 0u); // earlier page
    results.clear();
    EXPECT_EQ(ExtractFaxNumbers(page, marker, [] { return true; }, results), 1u); // same page

    // The switch is asked afresh for each candidate.
    results.clear();
    int asked = 0;
    const Lines mixed = {page[0], "none", page[0], page[0], page[0]};
    EXPECT_EQ(ExtractFaxNumbers(mixed, marker, [&] { return ++asked == 3; }, results), 3u);
    EXPECT_EQ(asked, 4);
}

TEST(Deduplication, IndexAgreesWithALinearScan)
{
    std::mt19937 random(7);
    ResultList results;
    for (int i = 0; i < 10'000; ++i) {
        if (i == 6'000)
            results.clear();
        const std::string candidate = "0512-" + std::to_string(random() % 5'000 + 1'000'000);
        const bool linear = std::find(results.begin(), results.end(), candidate) != results.end();
        ASSERT_EQ(results.contains(candidate), linear) << i;
        if (!linear || random() % 4 == 0)
            results.append(candidate);
    }
}

TEST(Extraction, MillionLinePageWithDedup)
{
    Lines page(1'000'000, gbk("公司 传真:+86(512)6666-8888 电话"));
    page.back() = std::string(4096, '\xFF');
    ResultList results;
    EXPECT_EQ(ExtractFaxNumbers(page, gbk("传真:"), [] { return true; }, results), 1u);
    EXPECT_EQ(results.at(0), "0512-6666-8888");
}

} // namespace
} // namespace vellumax
