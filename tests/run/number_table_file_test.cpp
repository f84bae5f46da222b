// The headless search's number table file: the header only into a new or
// empty file, the encoding it was begun in, and a row cut off by a crash.
#include "run/number_table_file.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using namespace vellumax;

namespace {

TEST(TableOutput, AppendsUnderOneHeaderInTheTablesEncoding)
{
    const std::string header = numberTableHeader();
    const std::string bom = "\xEF\xBB\xBF";
    const std::string row = "0512-87654321,是,固定电话,江苏省苏州市,k,1,0,2026-03-01 09:05:07,传真:0512-87654321,,";
    struct Case {
        const char* name;
        std::optional<std::string> before; // the file before, or none
        bool utf8;
        std::string after; // after one row was added and written
    };
    const Case cases[] = {
        {"new, GBK", std::nullopt, false, header + "\r\n" + gbk(row) + "\r\n"},
        {"new, UTF-8", std::nullopt, true, bom + utf8FromGbk(header) + "\r\n" + row + "\r\n"},
        {"empty", "", false, header + "\r\n" + gbk(row) + "\r\n"},
        {"resumed, GBK", header + "\r\nx\r\n", false, header + "\r\nx\r\n" + gbk(row) + "\r\n"},
        {"resumed, UTF-8", bom + utf8FromGbk(header) + "\r\n", true, bom + utf8FromGbk(header) + "\r\n" + row + "\r\n"},
        {"a row cut off", header + "\r\n0512-1", false, header + "\r\n0512-1\r\n" + gbk(row) + "\r\n"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("table.csv");
        if (c.before)
            test::writeBytes(path, *c.before);
        TableOutput table(path, c.utf8);
        const std::string keyword = "k", line = gbk("传真:0512-87654321");
        table.add("0512-87654321", {keyword, 1, 0, "2026-03-01 09:05:07", line, {}, {}});
        table.write();
        table.write(); // nothing kept, nothing written
        EXPECT_EQ(test::readBytes(path), c.after) << c.name;
    }
}

TEST(TableOutput, RefusesATableItsRowsWouldNotLineUpWith)
{
    const std::string oldHeader = gbk("号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行");
    struct Case {
        const char* name;
        std::string before;
        bool utf8;
        const char* says; // UTF-8, part of the message
    };
    const Case cases[] = {
        {"an older table", oldHeader + "\r\nx\r\n", false, "网页标题"},
        {"an older table, UTF-8", "\xEF\xBB\xBF" + utf8FromGbk(oldHeader) + "\r\n", true, "网页标题"},
        {"not a table", "0512-87654321\r\n", false, "网页标题"},
        {"GBK rows into UTF-8", "\xEF\xBB\xBF" + utf8FromGbk(numberTableHeader()) + "\r\n", false, "--table-utf8"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("table.csv");
        test::writeBytes(path, c.before);
        try {
            TableOutput table(path, c.utf8);
            ADD_FAILURE() << c.name << ": not refused";
        } catch (const Error& e) {
            EXPECT_NE(utf8FromGbk(e.what()).find(c.says), std::string::npos) << c.name << ": " << utf8FromGbk(e.what());
        }
        EXPECT_EQ(test::readBytes(path), c.before) << c.name;
    }
}

TEST(TableOutput, NamesOfOneFile)
{
    test::TempDir dir;
    test::writeBytes(dir.file("a.txt"), "x");
    EXPECT_TRUE(namesTheSameFile(dir.file("a.txt"), dir.path() + "/./sub/../a.txt"));
    EXPECT_TRUE(namesTheSameFile(dir.file("new.csv"), dir.path() + "//new.csv")); // neither there yet
    EXPECT_FALSE(namesTheSameFile(dir.file("a.txt"), dir.file("b.txt")));
}

} // namespace
