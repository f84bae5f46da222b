#include "cli/number_options.h"

#include <CLI/CLI.hpp>
#include <memory>

namespace vellumax::cli {

void addClassifyCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners)
{
    CLI::App* sub = cli.add_subcommand(
        "classify", "  classify [--out FILE] [--utf8] FILE...\n"
                    "                                FILE 是号码文件, 每个号码一行; 按中国号码判断每个号码:\n"
                    "                                号码, 国际格式, 是否有效, 类型(固定电话, 手机...), 地区;\n"
                    "                                输出 CSV 表格(首行为表头, CR LF), 默认 GBK, --utf8 为带 BOM\n"
                    "                                的 UTF-8; --out 写入 FILE, 否则输出到标准输出\n");
    auto options = std::make_shared<ClassifyOptions>();
    sub->add_option("--out", options->output);
    sub->add_flag("--utf8", options->utf8);
    sub->add_option("FILE", options->inputs)->required();
    sub->callback([&run, options, runner = runners.classify] { run = [options, runner] { return runner(*options); }; });
}

void addFilterCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners)
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
    sub->callback([&run, options, runner = runners.filter] { run = [options, runner] { return runner(*options); }; });
}

} // namespace vellumax::cli
