// The number table's rows: what each cell holds, how it is quoted, and how
// the page line is trimmed and cut.
#include "numbers/number_table.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using namespace vellumax;

namespace {

NumberFacts facts(bool valid, NumberKind kind, const char* region)
{
    NumberFacts f;
    f.valid = valid;
    f.kind = kind;
    f.region = gbk(region);
    return f;
}

TEST(NumberTable, HeaderNamesTheColumnsInOrder)
{
    EXPECT_EQ(utf8FromGbk(numberTableHeader()),
              "号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行,网页标题,网址");
}

TEST(NumberTable, RowsQuoteAndGuardTheirCells)
{
    struct Case {
        const char* name;
        const char* number;
        NumberFacts facts;
        const char* keyword; // UTF-8, as are the line and the row
        const char* line;
        const char* row;
        const char* title = "";
        const char* address = "";
    };
    const NumberFacts suzhou = facts(true, NumberKind::FixedLine, "江苏省苏州市");
    const Case cases[] = {
        {"plain", "0512-87654321", suzhou, "苏州传真", "电话:0512-1 传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,苏州传真,3,20,2026-03-01 09:05:07,电话:0512-1 传真:0512-87654321,,"},
        {"digits only keep their leading zero", "013912345678", facts(true, NumberKind::Mobile, "江苏省常州市"),
         "手机传真", "传真:13912345678",
         "\"=\"\"013912345678\"\"\",是,手机,江苏省常州市,手机传真,3,20,2026-03-01 09:05:07,传真:13912345678,,"},
        {"invalid, no region", "0000-0000000", facts(false, NumberKind::Unknown, ""), "k", "FAX:0000-0000000",
         "0000-0000000,否,未知,,k,3,20,2026-03-01 09:05:07,FAX:0000-0000000,,"},
        {"comma and quotes in the line", "0512-87654321", suzhou, "k", "他说\"好\", 传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,k,3,20,2026-03-01 09:05:07,\"他说\"\"好\"\", 传真:0512-87654321\",,"},
        {"formula signs", "0512-87654321", suzhou, "=cmd", "-传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,'=cmd,3,20,2026-03-01 09:05:07,'-传真:0512-87654321,,"},
        {"plus and at", "0512-87654321", suzhou, "+86", "@传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,'+86,3,20,2026-03-01 09:05:07,'@传真:0512-87654321,,"},
        {"guarded and quoted", "0512-87654321", suzhou, "=a,b", "传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,\"'=a,b\",3,20,2026-03-01 09:05:07,传真:0512-87654321,,"},
        {"sign inside is no formula", "0512-87654321", suzhou, "a=b", "a+b 传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,a=b,3,20,2026-03-01 09:05:07,a+b 传真:0512-87654321,,"},
        {"the page it was read on", "0512-87654321", suzhou, "k", "传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,k,3,20,2026-03-01 09:05:07,传真:0512-87654321,\"某某机械, 联系我们\","
         "https://www.example.cn/lxwm.html",
         "某某机械, 联系我们", "https://www.example.cn/lxwm.html"},
        {"a title that looks like a formula", "0512-87654321", suzhou, "k", "传真:0512-87654321",
         "0512-87654321,是,固定电话,江苏省苏州市,k,3,20,2026-03-01 09:05:07,传真:0512-87654321,'=1+1,", "=1+1"},
    };
    for (const Case& c : cases) {
        const std::string keyword = gbk(c.keyword), line = gbk(c.line), title = gbk(c.title);
        const NumberOrigin origin{keyword, 3, 20, "2026-03-01 09:05:07", tableLine(line), title, c.address};
        EXPECT_EQ(utf8FromGbk(numberTableRow(c.number, c.facts, origin)), c.row) << c.name;
    }
}

TEST(NumberTable, PageLinesAreTrimmedAndCutOnACharacterBoundary)
{
    const std::string han120 = [] {
        std::string s;
        for (int i = 0; i < 120; ++i)
            s += "长";
        return s;
    }();
    struct Case {
        const char* name;
        std::string line; // UTF-8
        std::string kept;
    };
    const Case cases[] = {
        {"blanks at both ends", " \t 传真:0512-87654321 \r", "传真:0512-87654321"},
        {"ideographic spaces at both ends", "　　传真:0512-87654321　", "传真:0512-87654321"},
        {"blanks inside stay", "电话:1  传真:2", "电话:1  传真:2"},
        {"only blanks", "  　 ", ""},
        {"120 characters stay whole", han120, han120},
        {"the 121st character goes", han120 + "尾", han120},
        {"mixed widths count characters", std::string(119, 'a') + "长长", std::string(119, 'a') + "长"},
        {"cut after trimming", "   " + han120 + "x", han120},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8FromGbk(tableLine(gbk(c.line))), c.kept) << c.name;

    // A lead byte with nothing after it counts as a character of its own.
    const std::string cutShort = std::string(119, 'a') + "\xB3";
    EXPECT_EQ(tableLine(cutShort), cutShort);
    // 啊 (B0 A1) and a lone lead byte A1 end in A1 A1, which is no
    // ideographic space there.
    const std::string lookAlike = "x\xB0\xA1\xA1";
    EXPECT_EQ(tableLine(lookAlike), lookAlike);
}

} // namespace
