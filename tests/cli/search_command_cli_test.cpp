// vellumax-cli search, as far as it goes without a search engine: its wrong
// calls, and the search program it starts.
#include "cli_runner.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

TEST(CliSearch, WrongCallsExitTwoWithTheUsage)
{
    test::TempDir dir;
    const std::string keywords = dir.file("k.txt");
    test::writeBytes(keywords, "a\r\n");
    const std::string out = dir.file("o.txt");
    EXPECT_NE(test::runCli({"--help"}).out.find("search [--start N]"), std::string::npos);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"search"},
             {"search", keywords},
             {"search", "--out", out},
             {"search", "--interval", "0", "--out", out, keywords},
             {"search", "--interval", "1001", "--out", out, keywords},
             {"search", "--start", "one", "--out", out, keywords},
             {"search", "--resume", "--out", out, keywords},
             {"search", "--state", dir.file("s.ini"), "--resume", "--start", "1", "--out", out, keywords}}) {
        const test::CliResult result = test::runCli(wrong);
        EXPECT_EQ(result.exitCode, 2) << wrong.size();
        EXPECT_NE(result.err.find("search [--start N]"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(test::fileExists(out));
}

// The search program answers for itself: on these machines the host name is
// loopback, so it is offline; elsewhere the missing keyword file stops it.
TEST(CliSearch, StartsTheSearchProgram)
{
    test::TempDir dir;
    const std::string out = dir.file("o.txt");
    const test::CliResult result = test::runCli({"search", "--out", out, dir.file("missing.txt")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err == "vellumax-cli: 您还没有连接到网上！\n" ||
                result.err == "vellumax-cli: Cannot open file " + dir.file("missing.txt") + "\n")
        << result.err;
    EXPECT_FALSE(test::fileExists(out));
}

} // namespace
} // namespace vellumax
