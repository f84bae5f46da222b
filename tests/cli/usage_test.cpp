// The usage of vellumax-cli against what its commands declare, and against
// the text it has always printed.
#include "cli/commands.h"
#include "cli/number_options.h"
#include "cli_runner.h"
#include "options/usage_text.h"
#include "support/test_files.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

namespace vellumax {
namespace {

// The lines of an entry before its description; a short synopsis ends
// where the padding to the description begins.
std::string synopsisOf(const std::string& entry)
{
    const std::string descriptionLine = "\n" + std::string(32, ' ');
    const std::string synopsis = entry.substr(0, entry.find(descriptionLine));
    const size_t padding = synopsis.find("  ", 2);
    return padding < synopsis.find('\n') ? synopsis.substr(0, padding) : synopsis;
}

// Every option of every command is in its command's synopsis, and every
// line of its description in the command's entry; no placeholder is left.
TEST(CliUsage, EveryDeclaredOptionIsInItsCommandsEntry)
{
    CLI::App cli("", "vellumax-cli");
    cli::CommandRun run;
    const cli::NumberCommandRunners none{[](const cli::ClassifyOptions&) { return 0; },
                                         [](const cli::FilterOptions&) { return 0; },
                                         [](const cli::StatsOptions&) { return 0; }};
    for (const auto& declare : {cli::addPlanCommand, cli::addCountCommand, cli::addExtractCommand, cli::addPagerCommand,
                                cli::addMergeCommand, cli::addSearchCommand})
        declare(cli, run);
    cli::addClassifyCommand(cli, run, none);
    cli::addFilterCommand(cli, run, none);
    cli::addStatsCommand(cli, run, none);

    ASSERT_EQ(cli.get_subcommands({}).size(), 9u);
    for (const CLI::App* command : cli.get_subcommands({})) {
        const std::string entry = cli::commandUsage(*command, command->get_name());
        const std::string synopsis = synopsisOf(entry);
        EXPECT_EQ(entry.find("{-"), std::string::npos) << entry;
        for (const CLI::Option* option : command->get_options()) {
            const std::string name = option->get_name(true);
            EXPECT_NE(synopsis.find(" " + name), std::string::npos) << command->get_name() << " " << name;
            if (option->get_positional())
                continue;
            EXPECT_NE(option->get_description(), "") << command->get_name() << " " << name;
            size_t begin = 0;
            const std::string& text = option->get_description();
            for (size_t end; begin < text.size(); begin = end + 1) {
                end = std::min(text.find('\n', begin), text.size());
                std::string line = text.substr(begin, end - begin);
                if (const size_t brace = line.find('{'); brace != std::string::npos)
                    line.resize(brace); // continued by the description it names
                EXPECT_NE(entry.find(line), std::string::npos) << command->get_name() << " " << line;
            }
        }
    }
}

TEST(CliUsage, TheHelpIsTheTextItHasAlwaysBeen)
{
    const test::CliResult help = test::runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, test::readBytes(VELLUMAX_USAGE_TEXT));
    const test::CliResult wrong = test::runCli({"filter", "--kind", "fax", "o.txt", "i.txt"});
    EXPECT_EQ(wrong.err, "vellumax-cli: 参数值无效\n\n" + help.out);
}

} // namespace
} // namespace vellumax
