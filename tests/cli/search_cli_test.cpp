// vellumax-cli plan, count, extract, pager and --help, end to end.
#include "cli_runner.h"
#include "search/query_builder.h"
#include "support/test_files.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vellumax {
namespace {

TEST(CliUsage, HelpListsTheSubcommandsAndAWrongCallExitsTwo)
{
    const test::CliResult help = test::runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"plan", "count", "extract", "pager", "merge"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const test::CliResult wrong = test::runCli({"frobnicate"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("plan"), std::string::npos);
    EXPECT_EQ(test::runCli({}).exitCode, 2);
    // The pager's offset is the one the run keeps while it reads a page.
    EXPECT_NE(help.out.find("这一页的偏移加 10"), std::string::npos);
    EXPECT_EQ(test::runCli({"--version"}).out, "vellumax-cli 2.5\n");
}

std::string firstPageUrl(const std::string& word)
{
    return std::string(kEngineEndpoint) + "/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=" + word + "&pn=0&cl=3";
}

TEST(CliPlan, ListsMarkerAndFirstUrlPerKeyword)
{
    test::TempDir dir;
    const std::string file = dir.file("keywords.txt");
    test::writeBytes(file, gbk("上海\r\n  传真  \r\n广州\rFax list\n\n\x01\x02\r\n") + std::string(1 << 20, 'k'));
    const test::CliResult plan = test::runCli({"plan", file});
    EXPECT_EQ(plan.exitCode, 0) << plan.err;
    const std::string expected = "\t" + firstPageUrl("%C9%CF%BA%A3") + "\n" +
                                 "传真:\t" + firstPageUrl("%B4%AB%D5%E6") + "\n" +
                                 "传真:\t" + firstPageUrl("%B9%E3%D6%DD") + "\n" +
                                 "FAX:\t" + firstPageUrl("Fax+list") + "\n" +
                                 "FAX:\t" + firstPageUrl("") + "\n" +
                                 "FAX:\t" + firstPageUrl("") + "\n" +
                                 "FAX:\t" + firstPageUrl(std::string(1 << 20, 'k')) + "\n";
    EXPECT_EQ(plan.out, expected);

    const test::CliResult piped = test::runCli({"plan", "-"}, gbk("传真"));
    EXPECT_EQ(piped.out, "传真:\t" + firstPageUrl("%B4%AB%D5%E6") + "\n");
}

TEST(CliCount, GivesReaderAndSplitterCounts)
{
    test::TempDir dir;
    const std::string file = dir.file("keywords.txt");
    test::writeBytes(file, "a\rb\r\nc\n\x1A" "d\n");
    EXPECT_EQ(test::runCli({"count", file}).out, "2\t4\n");
    test::writeBytes(file, "");
    EXPECT_EQ(test::runCli({"count", file}).out, "0\t0\n");
    EXPECT_EQ(test::runCli({"count", "-"}, "x\n\ry").out, "2\t3\n");
}

// count copies standard input to a temporary file before reading it; input
// that fails to read leaves no copy behind.
TEST(CliCount, UnreadableStandardInputLeavesNoTemporaryFile)
{
    test::TempDir dir;
    const std::string temporary = dir.file("tmp");
    std::filesystem::create_directory(temporary);
    struct Case {
        const char* name;
        std::string path;
        int flags;
    };
    const Case cases[] = {
        {"a folder", dir.path(), O_RDONLY},
        {"a file open for writing only", "/dev/null", O_WRONLY},
    };
    for (const Case& c : cases) {
        const test::CliResult result = test::runProgram(VELLUMAX_CLI, {"count", "-"}, {}, [&] {
            const int fd = ::open(c.path.c_str(), c.flags);
            if (fd < 0 || ::dup2(fd, STDIN_FILENO) < 0 || ::setenv("TMPDIR", temporary.c_str(), 1) != 0)
                ::_exit(126);
            ::close(fd);
        });
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(result.err, "vellumax-cli: " + std::string(kStreamReadError) + "\n") << c.name;
        EXPECT_TRUE(std::filesystem::is_empty(temporary)) << c.name;
    }
}

TEST(CliExtract, RunsPagesInOrderIntoOneList)
{
    test::TempDir dir;
    const std::string page1 = dir.file("page1.txt");
    const std::string page2 = dir.file("page2.txt");
    test::writeBytes(page1, gbk("传真:0512-12345678\r\n电话 传真:(010)87654321\n传真:0512-11111111\r\n"
                                "FAX:0512-22222222") +
                                '\0' + gbk("传真:0512-33333333\r\n"));
    test::writeBytes(page2, gbk("传真:+86 512\r\n传真:0512-12345678\r\nFAX:86-10-12345678\r\n"));

    const test::CliResult plain = test::runCli({"extract", page1, page2});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, "0512-12345678\r\n010-87654321\r\n0512-12345678\r\n");
    EXPECT_EQ(test::runCli({"extract", "--dedup", page1, page2}).out, "0512-12345678\r\n010-87654321\r\n");
    EXPECT_EQ(test::runCli({"extract", page2, "--marker", "FAX:", page1}).out,
              "010-12345678\r\n0512-22222222\r\n");
    EXPECT_EQ(test::runCli({"extract", "-"}, gbk("传真:0512-44444444")).out, "0512-44444444\r\n");
    // A marker typed in a terminal is UTF-8; the pages are GBK.
    EXPECT_EQ(test::runCli({"extract", "--marker", "传真:", page2}).out, "0512-12345678\r\n");
}

TEST(CliWide, ReadsEveryFaxLabelAndTheUnbracketedPager)
{
    test::TempDir dir;
    const std::string page1 = dir.file("page1.txt");
    const std::string page2 = dir.file("page2.txt");
    // A label ending a page does not take the number opening the next one.
    test::writeBytes(page1, gbk("电话：0512-1111111 传真：0512-12345678\r\nFax: +86 20 85115111\r\n传真：\r\n"
                                "0431-85250337\r\n传真："));
    test::writeBytes(page2, gbk("0512-87654321\r\n传真:0512-12345678\r\n"));
    EXPECT_EQ(test::runCli({"extract", "--wide", page1, page2}).out,
              "0512-12345678\r\n020-85115111\r\n0431-85250337\r\n0512-12345678\r\n");
    EXPECT_EQ(test::runCli({"extract", "--wide", "--dedup", page1, page2}).out,
              "0512-12345678\r\n020-85115111\r\n0431-85250337\r\n");
    EXPECT_EQ(test::runCli({"extract", "--wide", "--marker", "FAX:", page1}).exitCode, 2);

    test::writeBytes(page1, gbk("结果\r\n<上一页 1 2 3 4 5 6 7 8 9 10 下一页>\r\n"));
    EXPECT_EQ(test::runCli({"pager", "--offset", "10", page1}).out, "0\n");
    EXPECT_EQ(test::runCli({"pager", "--wide", "--offset", "10", page1}).out, "1\n");
    EXPECT_EQ(test::runCli({"pager", "--wide", "--offset", "750", page1}).out, "0\n");
    test::writeBytes(page1, gbk("相关搜索 下一页\r\n"));
    EXPECT_EQ(test::runCli({"pager", "--wide", "--offset", "10", page1}).out, "0\n");
}

TEST(CliPager, PrintsTheMorePagesFlag)
{
    test::TempDir dir;
    const std::string page = dir.file("page.txt");
    test::writeBytes(page, gbk("结果\r\n上一页 [1] 2\n[3] 下一页\r\n"));
    EXPECT_EQ(test::runCli({"pager", "--offset", "10", page}).out, "1\n");
    EXPECT_EQ(test::runCli({"pager", page, "--offset", "740"}).out, "1\n");
    EXPECT_EQ(test::runCli({"pager", "--offset", "750", page}).out, "0\n");
    test::writeBytes(page, gbk("上一页 [1] 2\r\n[3] 下一页\r\n"));
    EXPECT_EQ(test::runCli({"pager", "--offset", "10", page}).out, "0\n");
}

TEST(CliFailures, UnreadableFilesExitOneAndWrongCallsTwo)
{
    test::TempDir dir;
    const std::string missing = dir.file("missing.txt");
    const std::string page = dir.file("page.txt");
    test::writeBytes(page, gbk("传真:0512-12345678"));

    const test::CliResult plan = test::runCli({"plan", missing});
    EXPECT_EQ(plan.exitCode, 1);
    EXPECT_EQ(plan.err, "vellumax-cli: Cannot open file " + missing + "\n");
    const test::CliResult count = test::runCli({"count", missing});
    EXPECT_EQ(count.exitCode, 1);
    EXPECT_EQ(count.err, "vellumax-cli: File not found\n");
    const test::CliResult extract = test::runCli({"extract", page, missing});
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_EQ(extract.out, "");
    EXPECT_EQ(test::runCli({"pager", "--offset", "0", missing}).exitCode, 1);

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"plan"}, {"plan", page, page}, {"count"}, {"extract"}, {"extract", "--dedup"},
             {"extract", "--marker", "传真：", page}, {"extract", "--marker"}, {"extract", "--fast", page},
             {"pager", page}, {"pager", "--offset", "x", page}, {"pager", "--offset", "-10", page},
             {"pager", "--offset", "10"}, {"pager", "--offset", "10", page, page}}) {
        const test::CliResult result = test::runCli(wrong);
        EXPECT_EQ(result.exitCode, 2) << wrong[0] << " " << wrong.size();
        EXPECT_TRUE(result.err.starts_with("vellumax-cli: ")) << result.err;
        EXPECT_NE(result.err.find("extract"), std::string::npos);
    }
}

TEST(CliBadInput, HugeAndBrokenPagesFinish)
{
    test::TempDir dir;
    const std::string big = dir.file("big.txt");
    std::string text(50u << 20, '\xFE');
    text.replace(10, 5, gbk("传真:"));
    text.replace(15, 13, "0512-12345678");
    test::writeBytes(big, text);
    const std::string lines = dir.file("lines.txt");
    const std::string faxLine = gbk("传真:0512-87654321\r\n");
    std::string many;
    for (int i = 0; i < 1'000'000; ++i)
        many += i % 2 ? faxLine : std::string("\x80\xFF\x01\r\n");
    test::writeBytes(lines, many);

    EXPECT_EQ(test::runCli({"extract", "--dedup", big, lines}).out, "0512-12345678\r\n0512-87654321\r\n");
    EXPECT_EQ(test::runCli({"pager", "--offset", "0", big}).out, "0\n");
}

} // namespace
} // namespace vellumax
