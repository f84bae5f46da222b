// The keyword step: trimming, the field-marker rule, the URL encoder and the
// request URL.
#include "search/nm_url.h"
#include "search/query_builder.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using namespace std::string_literals;

std::string encoded(const std::string& input)
{
    TNMURL encoder;
    encoder.InputString = input;
    return encoder.EncodedInput();
}

TEST(UrlEncoder, EscapesByteByByte)
{
    EXPECT_EQ(encoded("fax number"), "fax+number");
    EXPECT_EQ(encoded("A&B"), "A%26B");
    EXPECT_EQ(encoded("x_y.z"), "x%5Fy%2Ez");
    EXPECT_EQ(encoded("100%"), "100%25");
    EXPECT_EQ(encoded(gbk("传真")), "%B4%AB%D5%E6");
    EXPECT_EQ(encoded(gbk("传真:")), "%B4%AB%D5%E6%3A");
    EXPECT_EQ(encoded(gbk("上海 传真")), "%C9%CF%BA%A3+%B4%AB%D5%E6");
    EXPECT_EQ(encoded("\x83\x41"), "%83A"); // 傾: its second byte is "A"
    EXPECT_EQ(encoded(""), "");
    // Punctuation that other encoders pass, and the edges of every range.
    EXPECT_EQ(encoded("-._*~"), "%2D%2E%5F%2A%7E");
    EXPECT_EQ(encoded("\0\t/09:@AZ[`az{\x7F\xFF"s), "%00%09%2F09%3A%40AZ%5B%60az%7B%7F%FF");
    // Past 65,535 bytes the input is still encoded whole.
    const std::string encodedLong = encoded(std::string(100'000, '\xA1'));
    EXPECT_EQ(encodedLong.size(), 300'000u);
    EXPECT_EQ(encodedLong.find_first_not_of("%A1"), std::string::npos);
}

TEST(Trim, RemovesBytesUpTo32AtBothEndsOnly)
{
    EXPECT_EQ(trimKeyword(gbk("  传真  ")), gbk("传真"));
    EXPECT_EQ(trimKeyword("\0\t\r\n \x1F" "a\tb !\r\n"s), "a\tb !");
    EXPECT_EQ(trimKeyword(gbk("　上海　")), gbk("　上海　")); // full-width blanks stay
    EXPECT_EQ(trimKeyword("\x01\x02 \x7F"), "\x7F");
    EXPECT_EQ(trimKeyword(" \t\r\n\x01"), "");
}

TEST(FieldMarker, IsSetByTheKeywordAndNeverCleared)
{
    QueryBuilder builder;
    const std::string chinese(kChineseFaxMarker);
    const std::string latin(kLatinFaxMarker);
    const std::vector<std::pair<std::string, std::string>> steps = {
        {gbk("上海"), ""},                // nothing set yet
        {"  " + gbk("传真") + "  ", chinese},
        {gbk("上海"), chinese},           // neither word keeps the marker
        {gbk("广州传真 FAX"), latin},     // the fax test wins
        {gbk("传真机"), chinese},
        {"fAX", latin},
        {gbk("传真"), chinese},
        {gbk("ＦＡＸ"), chinese},         // full-width letters do not count
        {"\x81\x46" "ax", latin},         // a GBK second byte "F" takes part
        {gbk("传真"), chinese},
        {" \t\x01\r\n", chinese},         // an empty keyword keeps it too
        {std::string(1 << 20, '\x02'), chinese},
    };
    for (const auto& [keyword, marker] : steps) {
        builder.PrepareKeyword(keyword);
        EXPECT_EQ(builder.fieldMarker(), marker) << utf8FromGbk(keyword);
    }
}

TEST(QueryBase, CarriesTheTrimmedKeywordEncoded)
{
    QueryBuilder builder("http://127.0.0.1:8080");
    const std::string base = builder.PrepareKeyword("\t " + gbk("传真") + "\r\n");
    EXPECT_EQ(base, "http://127.0.0.1:8080/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=%B4%AB%D5%E6&pn=");
    EXPECT_EQ(builder.NMURL1().InputString, gbk("传真"));
    EXPECT_EQ(builder.PrepareKeyword(gbk("传真")), base); // trimming twice changes nothing
    EXPECT_EQ(builder.PrepareKeyword("a\tb"), "http://127.0.0.1:8080/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=a%09b&pn=");
    EXPECT_EQ(builder.PrepareKeyword("  \x01 "), "http://127.0.0.1:8080/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=&pn=");
    EXPECT_EQ(QueryBuilder().endpoint(), kEngineEndpoint);

    const std::string longKeyword(1 << 20, '%');
    EXPECT_EQ(builder.PrepareKeyword(longKeyword).size(), base.size() - 12 + 3 * longKeyword.size());
}

TEST(RequestUrl, AppendsTheOffsetAndTail)
{
    const std::string base = QueryBuilder().PrepareKeyword(gbk("传真"));
    EXPECT_EQ(PageUrl(base, 20), std::string(kEngineEndpoint) +
                                     "/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=%B4%AB%D5%E6&pn=20&cl=3");
    EXPECT_EQ(PageUrl("B&pn=", 0), "B&pn=0&cl=3");
    EXPECT_EQ(PageUrl("B&pn=", 10), "B&pn=10&cl=3");
    EXPECT_EQ(PageUrl("B&pn=", 740), "B&pn=740&cl=3");
}

} // namespace
} // namespace vellumax
