// The usage text made from a parser's declarations: the synopsis from the
// options, the description with each option's text where it is named.
#include "options/usage_text.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <gtest/gtest.h>

using namespace vellumax::cli;

namespace {

TEST(UsageText, MakesEachCommandsEntryFromItsDeclarations)
{
    struct Case {
        const char* what;
        std::function<void(CLI::App&)> declare;
        std::string entry;
    };
    std::string text;
    std::vector<std::string> files;
    bool flag = false;
    const std::string column(32, ' ');
    const Case cases[] = {
        {"a short synopsis shares its line with the text, and the text keeps its breaks",
         [&](CLI::App& c) {
             c.description("甲\n乙");
             c.add_option("FILE", text)->required();
         },
         "  cmd FILE                      甲\n" + column + "乙\n"},
        {"required bare, others bracketed, a value by its option text, a list with dots",
         [&](CLI::App& c) {
             c.add_option("--out", text)->option_text("FILE")->required();
             c.add_flag("--dedup", flag);
             c.add_option("--region", files)->option_text("TEXT")->allow_extra_args(false);
             c.add_option("IN", files)->required();
         },
         "  cmd --out FILE [--dedup] [--region TEXT]... IN...\n"},
        {"an option that needs another sits in its brackets; those that exclude each other share them",
         [&](CLI::App& c) {
             CLI::Option* marker = c.add_option("--marker", text)->option_text("M");
             CLI::Option* state = c.add_option("--state", text)->option_text("FILE");
             c.add_flag("--wide", flag)->excludes(marker);
             c.add_flag("--resume", flag)->needs(state)->excludes(marker);
         },
         "  cmd [--marker M | --wide] [--state FILE [--resume]]\n"},
        {"descriptions go where the text names them, inside each other too, or after it",
         [&](CLI::App& c) {
             c.description("开头 {--b}\n结尾");
             c.add_flag("--a", flag, "--a 在最后");
             c.add_option("--b", text, "--b 和 {--c};")->option_text("B");
             c.add_flag("--c", flag, "--c 换行\n接着");
         },
         "  cmd [--a] [--b B] [--c]       开头 --b 和 --c 换行\n" + column + "接着;\n" + column + "结尾\n" + column +
             "--a 在最后\n"},
    };
    for (const Case& c : cases) {
        CLI::App command("", "cmd");
        command.set_help_flag();
        c.declare(command);
        EXPECT_EQ(commandUsage(command, "cmd"), c.entry) << c.what;
    }
}

TEST(UsageText, TheProgramsUsageIsItsCommandsThenItsFlagsThenItsFooter)
{
    CLI::App program("", "tool");
    program.set_help_flag();
    program.formatter(std::make_shared<UsageFormatter>());
    bool help = false;
    program.add_flag("-h,--help", help, "显示本说明");
    program.footer("脚注");
    program.add_subcommand("count", "数一数");
    const std::string usage =
        "用法: tool <命令> [参数]\n\n"
        "  count                         数一数\n"
        "  --help                        显示本说明\n"
        "\n脚注\n";
    EXPECT_EQ(programUsage(program), usage);
    EXPECT_EQ(program.help(), usage);
}

} // namespace
