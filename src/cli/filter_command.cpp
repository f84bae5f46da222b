// filter [--valid] [--kind fixed|mobile] [--region TEXT]... OUT IN...: keeps
// the numbers of the number files that pass, for a campaign by region or by
// kind of line.
#include "cli/commands.h"

#include "numbers/number_files.h"
#include "numbers/number_filter.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

namespace vellumax::cli {
namespace {

struct FilterOptions {
    std::string output;
    std::vector<std::string> inputs;
    bool validOnly = false;
    std::string kind; // "", "fixed" or "mobile"
    std::vector<std::string> regions; // UTF-8, as typed
};

NumberFilter filterFromOptions(const FilterOptions& options)
{
    NumberFilter filter;
    filter.validOnly = options.validOnly;
    if (options.kind == "fixed")
        filter.kind = NumberFilter::Kind::Fixed;
    else if (options.kind == "mobile")
        filter.kind = NumberFilter::Kind::Mobile;
    for (const std::string& region : options.regions)
        filter.regionParts.push_back(gbkFromUtf8(region));
    return filter;
}

// The numbers that pass go to OUT in the order read, as a result file: the
// line writer puts them in place only once every input was read.
int runFilter(const FilterOptions& options)
{
    const NumberFilter filter = filterFromOptions(options);
    const NumberClassifier classifier;
    const std::unique_ptr<LineWriter> created = createOutput(options.output);
    LineWriter& out = *created;
    size_t read = 0, kept = 0;
    classifyNumberFiles(classifier, options.inputs, [&](const ClassifiedBatch& batch) {
        for (size_t i = 0; i < batch.numbers.size(); ++i) {
            if (filter.passes(batch.facts[i])) {
                out.writeLine(batch.numbers[i]);
                ++kept;
            }
        }
        read += batch.numbers.size();
    });
    out.commit();
    std::printf("号码筛选完毕！读取：%zu，保留：%zu\n", read, kept);
    return 0;
}

} // namespace

void addFilterCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand(
        "filter", "  filter [--valid] [--kind fixed|mobile] [--region TEXT]... OUT IN...\n"
                  "                                从号码文件 IN... 中按顺序挑出号码写入 OUT: --valid 只要有效号码,\n"
                  "                                --kind fixed 只要固定电话, mobile 只要手机; --region 只要地区\n"
                  "                                含 TEXT 的号码(如 江苏, 苏州), 可给多个, 满足其一即可\n");
    auto options = std::make_shared<FilterOptions>();
    sub->add_flag("--valid", options->validOnly);
    sub->add_option("--kind", options->kind)->check(CLI::IsMember({"fixed", "mobile"}));
    // One TEXT per --region, so that OUT and IN are never taken for more.
    sub->add_option("--region", options->regions)->allow_extra_args(false);
    sub->add_option("OUT", options->output)->required();
    sub->add_option("IN", options->inputs)->required();
    sub->callback([&run, options] { run = [options] { return runFilter(*options); }; });
}

} // namespace vellumax::cli
