// vellumax-cli plan, count, extract, pager and --help, end to end.
#include "cli_runner.h"

#include <gtest/gtest.h>

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
}

} // namespace
} // namespace vellumax
