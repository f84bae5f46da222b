#include "cli/commands.h"

#include "files/number_merge.h"
#include "text/gbk_codec.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

namespace vellumax::cli {
namespace {

// merge OUT IN...: the window's merge, for files too large or too many for a
// dialog. The count goes to stdout as the window's status bar shows it; a
// join that stopped part-way is reported after it, as the window's error box
// comes after the status text.
int runMerge(const std::string& output, const std::vector<std::string>& inputs)
{
    const MergeOutcome outcome = mergeNumberFiles(inputs, output);
    std::printf("%s\n", utf8FromGbk(mergeStatusText(outcome.count)).c_str());
    std::fflush(stdout);
    return outcome.joinFailure ? reportFailure(*outcome.joinFailure) : 0;
}

} // namespace

void addMergeCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("merge", "合并号码文件 IN..., 去重排序后写入 OUT");
    struct Options {
        std::string output;
        std::vector<std::string> inputs;
    };
    auto options = std::make_shared<Options>();
    sub->add_option("OUT", options->output)->required();
    sub->add_option("IN", options->inputs)->required();
    sub->callback([&run, options] { run = [options] { return runMerge(options->output, options->inputs); }; });
}

} // namespace vellumax::cli
