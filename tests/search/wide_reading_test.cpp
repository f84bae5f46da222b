// Wide reading: the fax labels and number forms people write, and that it
// never gives less than the marker rule.
#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/query_builder.h"
#include "search/wide_number_forms.h"
#include "search/wide_pager.h"
#include "search/wide_reading.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <random>

namespace vellumax {
namespace {

using Lines = std::vector<std::string>;

// The wide reading of a page given in UTF-8 lines; the numbers in UTF-8.
Lines wideNumbers(const Lines& utf8Lines)
{
    std::vector<std::string> page;
    for (const std::string& line : utf8Lines)
        page.push_back(gbk(line));
    Lines numbers;
    forEachWideFaxNumber({page.begin(), page.end()}, [&](std::string& n, std::string_view) { numbers.push_back(n); });
    return numbers;
}

struct Case {
    Lines lines;
    Lines numbers;
};

TEST(WideReading, ReadsTheLabelsAndNumbersPeopleWrite)
{
    const std::vector<Case> cases = {
        // Labels.
        {{"传真：010-82935100"}, {"010-82935100"}},
        {{"Fax:+86-451-82190822"}, {"0451-82190822"}},
        {{"FAX：0512-12345678"}, {"0512-12345678"}},
        {{"fax 0755-26543210"}, {"0755-26543210"}},
        {{"传真 (Fax): 0411-39643700"}, {"0411-39643700"}},
        {{"传真/Fax:+86-592-5975885"}, {"0592-5975885"}},
        {{"传真: 020-66889888"}, {"020-66889888"}},
        {{"传 真：0571-88305660"}, {"0571-88305660"}},
        {{"传真 ：0731-8858855"}, {"0731-8858855"}},
        {{"传真号码：025－86795056"}, {"025-86795056"}},
        {{"电话&传真：0575-85173853"}, {"0575-85173853"}},
        {{"电话/传真：0577-86621888"}, {"0577-86621888"}},
        {{"Tel/Fax: 0086-755-83201234"}, {"0755-83201234"}},
        {{"傳真:+86-571-28867000"}, {"0571-28867000"}},
        {{"Ｆａｘ：０２１－６４２８１２３４"}, {"021-64281234"}},
        {{"T: 021-52345678  F: 021-52345679"}, {"021-52345679"}},
        {{"请将简历传真至：0512-65550000"}, {"0512-65550000"}},
        {{"【传真】0512-65550001 【电话】0512-65550002"}, {"0512-65550001"}},
        // The number on the next line.
        {{"传真：", "0431-85250337"}, {"0431-85250337"}},
        {{"传真：", "", "0431-85250337 地址：长春"}, {"0431-85250337"}},
        {{"传真：", "2019-10-12 发布"}, {}},
        // Numbers.
        {{"传真：（0773）2853265"}, {"0773-2853265"}},
        {{"传真:(0773)2853265"}, {"0773-2853265"}},
        {{"传真:0576-8888 1060"}, {"0576-88881060"}},
        {{"传真：010 - 8509 5795"}, {"010-85095795"}},
        {{"传真：020 85115111"}, {"020-85115111"}},
        {{"Fax: +86 20 85115111"}, {"020-85115111"}},
        {{"Fax: +86 571 8656 2951"}, {"0571-86562951"}},
        {{"Fax:+86.57186562951"}, {"057186562951"}},
        {{"传真：139 1234 5678"}, {"013912345678"}},
        {{"传真：0510-68937888/0510-68937999"}, {"0510-68937888", "0510-68937999"}},
        {{"传真：0510-68937888、0510-68937999 或 0510-68937000"}, {"0510-68937888", "0510-68937999", "0510-68937000"}},
        {{"传真：0510-68937888（销售部），0510-68937999（采购部）"}, {"0510-68937888", "0510-68937999"}},
        // A second number after blanks: whole by itself, or a local number
        // that takes the area code of the one before, as after "/".
        {{"传真：0571-86512038    0571-86512030"}, {"0571-86512038", "0571-86512030"}},
        {{"传真：021-63318928(出境)  021-63310982(国内)"}, {"021-63318928", "021-63310982"}},
        {{"传真：0512-12345678 13912345678"}, {"0512-12345678", "013912345678"}},
        {{"传真：0086-21-64417136 64417179"}, {"021-64417136", "021-64417179"}},
        {{"电话/传真：（028）85560800 85560811"}, {"028-85560800", "028-85560811"}},
        {{"传真：028-86627086/86627096-888"}, {"028-86627086", "028-86627096-888"}},
        {{"传真：13912345678/64417179"}, {"013912345678"}},
        {{"传真：0512-12345678 邮编 215000"}, {"0512-12345678"}},
        {{"传真：0512-12345678 215000"}, {"0512-12345678"}},
        {{"传真：0512-12345678 2019.10.12 发布"}, {"0512-12345678"}},
        {{"传真：0512-12345678 8 台"}, {"0512-12345678"}},
        {{"传真：0512-12345678 1234567"}, {"0512-12345678"}},
        {{"传真：0512-12345678 0512-1234"}, {"0512-12345678"}},
        // 传真至 in a sentence: the first number up to its end.
        {{"请将汇款底单传真至0335-3066206，我们将以收到传真件为准。"}, {"0335-3066206"}},
        {{"传真至四川省某某中心3号楼（028-87740171-808）。"}, {"028-87740171-808"}},
        {{"请于6月5日前将报名表传真到协会秘书处。0512-12345679"}, {}},
        {{"传真至本公司或直接Email通知 0512-12345678"}, {}},
        {{"传真至本中心，电话0512-12345678"}, {}},
        {{"传真至财务部；0512-12345678"}, {}},
        // Service numbers keep their form.
        {{"传真:86-4006617163-01121"}, {"400-6617163-01121"}},
        {{"传真：400-661-7163"}, {"400-6617163"}},
        {{"Fax: +86 400 661 7163"}, {"400-6617163"}},
        {{"传真：800-810-8888 转 123"}, {"800-8108888"}},
        {{"传真:0512-12345678转8001"}, {"0512-12345678"}},
        {{"传真：0512—87654321"}, {"0512-87654321"}},
        // A number belongs to the label right before it.
        {{"电话：0571-88210386 传真：0571-87672166"}, {"0571-87672166"}},
        {{"传真：0571-87672166 电话：0571-88210386"}, {"0571-87672166"}},
        {{"地址：杭州西湖科技园 电话：0571-88210386 传真：0571-87672166 邮编：310012"}, {"0571-87672166"}},
        {{"Tel: +86-21-6432 1234, Fax: +86-21-6432 1235, Mobile: 139 1234 5678"}, {"021-64321235"}},
        {{"传真：0512-12345678 手机：13912345678"}, {"0512-12345678"}},
        {{"电话：0512-12345678，传真：同上"}, {}},
        {{"传真号码见下方 电话：0512-12345678"}, {}},
        // No fax label at all.
        {{"电话：0512-12345678 手机：13912345678"}, {}},
        {{"本公司出售二手传真机 3000 台，价格 0512-12345678 面议"}, {}},
        {{"营业时间 8:00-17:00 Faxes welcome 0512-12345678"}, {}},
        {{"www.example.com 热线 400-888-8888"}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wideNumbers(c.lines), c.numbers) << c.lines.front();
}

TEST(WideReading, PlainNumberEndsWhereTheNumberDoes)
{
    const std::vector<std::tuple<std::string, std::string, size_t>> cases = {
        {"0512-12345678 0512-87654321", "0512-12345678", 13},
        {"0512 1234 5678.", "0512-12345678", 14},
        {"(+86) 10 8509-5795 x", "(+86)10-8509-5795", 18},
        {"0512-12345678(总机)", "0512-12345678", 13},
        {"+ - ( )", "", 0},
        {"86 10 12345678", "86-10-12345678", 14},
    };
    for (const auto& [text, plain, length] : cases) {
        size_t taken = 99;
        EXPECT_EQ(plainNumberAt(text, taken), plain) << text;
        EXPECT_EQ(taken, length) << text;
    }
}

TEST(WideNumberForms, TellWholeNumbersAreaCodesAndServiceNumbers)
{
    // number, whole, area code, wide form
    const std::vector<std::tuple<std::string, bool, std::string, std::string>> cases = {
        {"0512-12345678", true, "0512", "0512-12345678"},
        {"010-8527-1272", true, "010", "010-8527-1272"},
        {"05121234567-801", true, "0512", "05121234567-801"},
        {"0512-12345678-12345678", false, "", "0512-12345678-12345678"},
        {"013912345678", true, "", "013912345678"},
        {"0139123456789", false, "", "0139123456789"},
        {"0-25-83595535", false, "", "0-25-83595535"},
        {"04006617163-01121", true, "", "400-6617163-01121"},
        {"0400-661-7163", true, "", "400-6617163"},
        {"0800-810-8888", true, "", "800-8108888"},
        {"08008108888123", false, "", "08008108888123"},
        {"0800-024-024", false, "", "0800-024-024"},
        {"0371-0371-86226610", false, "", "0371-86226610"},
        {"0512-0512-1", false, "", "0512-0512-1"},
    };
    for (const auto& [number, whole, area, wide] : cases) {
        EXPECT_EQ(isWholeNumber(number), whole) << number;
        EXPECT_EQ(areaCodeOf(number), area) << number;
        EXPECT_EQ(wideNumberForm(number), wide) << number;
    }
    const std::vector<std::pair<std::string, bool>> locals = {
        {"64417179", true},   {"6441717", true},    {"86627096-888", true}, {"644171", false},
        {"164417179", false}, {"14417179", false},  {"(0)64417179", false}, {"64417179-1234567", false},
    };
    for (const auto& [plain, local] : locals)
        EXPECT_EQ(isLocalNumber(plain), local) << plain;
    EXPECT_TRUE(isLocalNumber("2763-7223", true));
    EXPECT_FALSE(isLocalNumber("2763-7223"));
    EXPECT_EQ(withLastDigits("021-53853033", "3022"), "021-53853022");
    EXPECT_EQ(withLastDigits("010-62797331-2000", "1"), "010-62797331-2001");
    EXPECT_EQ(withLastDigits("021-53853033", "53853034"), std::nullopt);
}

TEST(WidePager, KnowsThePagerOfTodayFromResultText)
{
    const std::vector<std::pair<const char*, bool>> links = {
        {"下一页", true}, {"下一页>", true}, {" 下一页 > ", true}, {"下一页 ?", true}, {"下一页→", true},
        {"<上一页", false}, {"下一页的内容 - 百科", false}, {"点击下一页", false}, {"", false},
    };
    for (const auto& [text, next] : links)
        EXPECT_EQ(isNextPageLinkText(gbk(text)), next) << text;
    const std::vector<std::pair<const char*, bool>> lines = {
        {"1 2 3 4 5 6 7 8 9 10 下一页>", true},
        {"12345678910下一页>", true},
        {"<上一页 1 2 3 [4] 5 下一页>", true},
        {"下一页>", true},
        {"上一页 [1] [2] 3", false},
        {"查看下一页的结果", false},
        {"第 1 页 下一页", false},
    };
    for (const auto& [line, pager] : lines)
        EXPECT_EQ(isPlainPagerLine(gbk(line)), pager) << line;

    // With the links known the plain line does not count, the link does;
    // the page cap stays.
    const std::string plain = gbk("1 2 3 下一页>");
    const std::vector<std::string> none, next = {gbk("下一页>")};
    EXPECT_FALSE(wideOffersNextPage({plain}, &none, 10));
    EXPECT_TRUE(wideOffersNextPage({plain}, &next, 10));
    EXPECT_TRUE(wideOffersNextPage({plain}, nullptr, 740));
    EXPECT_FALSE(wideOffersNextPage({plain}, &next, 750));
    const std::string bracketed = gbk("上一页 [1] 2 [3] 下一页");
    EXPECT_TRUE(wideOffersNextPage({bracketed}, &none, 10));
}

// Every number the marker rule takes from a page, wide reading takes too (a
// service number in its own form), and a line's first such number comes
// first; across the text, wide reading gives what it gives line by line.
void expectWideHoldsSpecified(const std::string& text)
{
    const PageLines lines = pageLines(text);
    Lines byLine, inText;
    forEachWideFaxNumber(lines, [&](std::string& n, std::string_view line) { byLine.push_back(n + '|' + std::string(line)); });
    WideFaxReader textReader;
    forEachWideFaxNumberInText(text, textReader,
                               [&](std::string& n, std::string_view line) { inText.push_back(n + '|' + std::string(line)); });
    ASSERT_EQ(inText, byLine);
    WideFaxReader reader;
    for (const std::string_view line : lines) {
        Lines wide;
        reader.readLine(line, [&](std::string& n, std::string_view) { wide.push_back(n); });
        for (const std::string_view marker : {kChineseFaxMarker, kLatinFaxMarker})
            if (const std::optional<std::string> specified = faxNumberInLine(line, marker))
                ASSERT_NE(std::find(wide.begin(), wide.end(), wideNumberForm(*specified)), wide.end()) << line;
        if (const std::optional<std::string> first = faxNumberInLine(line, kChineseFaxMarker))
            ASSERT_EQ(wide.front(), wideNumberForm(*first)) << line;
    }
}

TEST(WideReading, HoldsEveryNumberTheMarkerRuleTakes)
{
    const std::string fax = gbk("传真:");
    const std::string kFax = gbk("电话：021-1 传真:0512-12345678");
    std::mt19937 random(21);
    const std::vector<std::string> pieces = {
        fax,       "FAX:",     gbk("电话:"), gbk("传真："), "0512", "-",       "(",      ")",    "+86",
        " ",       "12345678", "8",          ".",           "/",    gbk("、"), "\r\n",   "\x81", gbk("转"),
        gbk("真"), "Fax",      gbk("（"),    gbk("１"),     "400",  "6617163", gbk("至")};
    // Into a result list, which takes each number it is handed.
    ResultList results;
    EXPECT_EQ(ExtractFaxNumbersWide(kFax, {}, results), 1u);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t i = random() % 24; i > 0; --i)
            text += pieces[random() % pieces.size()];
        expectWideHoldsSpecified(text);
    }
}

// Lines gathered from public pages and labelled by hand: the line (two
// lines parted by a written "\n" where a label ends its line), a tab, the
// fax numbers expected.
TEST(WideReading, FindsTheFaxNumbersOfGatheredLines)
{
    std::ifstream file(VELLUMAX_REAL_LINES);
    ASSERT_TRUE(file) << VELLUMAX_REAL_LINES;
    size_t expected = 0, found = 0, correct = 0;
    for (std::string record; std::getline(file, record);) {
        if (record.empty() || record[0] == '#')
            continue;
        const size_t tab = record.find('\t');
        Lines lines, numbers;
        std::string text = record.substr(0, tab);
        for (size_t cut; (cut = text.find("\\n")) != std::string::npos; text.erase(0, cut + 2))
            lines.push_back(text.substr(0, cut));
        lines.push_back(text);
        std::istringstream wanted(record.substr(tab + 1));
        for (std::string n; wanted >> n;)
            numbers.push_back(n);
        const Lines wide = wideNumbers(lines);
        expected += numbers.size();
        found += wide.size();
        for (const std::string& n : wide)
            correct += std::find(numbers.begin(), numbers.end(), n) != numbers.end();
        if (wide != numbers)
            ADD_FAILURE() << record;
    }
    const double recall = static_cast<double>(correct) / static_cast<double>(expected);
    const double precision = static_cast<double>(correct) / static_cast<double>(found);
    std::printf("gathered lines: %zu numbers expected, %zu found, %zu correct: recall %.3f, precision %.3f\n",
                expected, found, correct, recall, precision);
    EXPECT_GE(recall, 0.95);
    EXPECT_GE(precision, 0.99);
}

} // namespace
} // namespace vellumax
