// vellumax-cli merge, end to end.
#include "cli_runner.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using test::runCli;

TEST(MergeCli, MergesTheInputsAndPrintsTheCount)
{
    test::TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt"), out = dir.file("合并.txt");
    test::writeBytes(a, "3\r\n1\r\nfax 7");
    test::writeBytes(b, "\r\n2\r\n3\r\nFAX 7\r\n");
    const test::CliResult r = runCli({"merge", out, a, b});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：4\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::readBytes(out), "1\r\n2\r\n3\r\nfax 7\r\n");

    // The output may be one of the inputs.
    EXPECT_EQ(runCli({"merge", a, a, b}).exitCode, 0);
    EXPECT_EQ(test::readBytes(a), "1\r\n2\r\n3\r\nfax 7\r\n");
}

TEST(MergeCli, FailingInputIsReportedAfterTheCount)
{
    test::TempDir dir;
    const std::string a = dir.file("a.txt"), out = dir.file("out.txt");
    test::writeBytes(a, "2\r\n1\r\n");
    const test::CliResult r = runCli({"merge", out, a, dir.file("缺少.txt"), a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "文件合并整理完毕！共计：2\n");
    EXPECT_NE(r.err.find("Cannot open file " + dir.file("缺少.txt")), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(out), "1\r\n2\r\n");
}

TEST(MergeCli, OutputThatCannotBeCreated)
{
    test::TempDir dir;
    const std::string a = dir.file("a.txt"), out = dir.file("无此目录/out.txt");
    test::writeBytes(a, "1\r\n");
    const test::CliResult r = runCli({"merge", out, a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Cannot create file " + out), std::string::npos) << r.err;
}

TEST(MergeCli, WrongCallsShowTheUsage)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"merge"}, {"merge", "out.txt"}}) {
        const test::CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("merge OUT IN..."), std::string::npos);
    }
}

} // namespace
} // namespace vellumax
