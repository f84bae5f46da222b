#include "cli/number_options.h"

#include <CLI/CLI.hpp>
#include <memory>

namespace vellumax::cli {

void addClassifyCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners)
{
    CLI::App* sub = cli.add_subcommand("classify",
                                       "FILE 是号码文件, 每个号码一行; 按中国号码判断每个号码:\n"
                                       "号码, 国际格式, 是否有效, 类型(固定电话, 手机...), 地区;\n"
                                       "输出 CSV 表格(首行为表头, CR LF), 默认 GBK, {--utf8} {--out}");
    auto options = std::make_shared<ClassifyOptions>();
    sub->add_option("--out", options->output, "--out 写入 FILE, 否则输出到标准输出")->option_text("FILE");
    sub->add_flag("--utf8", options->utf8, "--utf8 为带 BOM\n的 UTF-8;");
    sub->add_option("FILE", options->inputs)->required();
    sub->callback([&run, options, runner = runners.classify] { run = [options, runner] { return runner(*options); }; });
}

void addFilterCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners)
{
    CLI::App* sub = cli.add_subcommand("filter",
                                       "从号码文件 IN... 中按顺序挑出号码写入 OUT: {--valid}\n"
                                       "{--kind} {--region}");
    auto options = std::make_shared<FilterOptions>();
    sub->add_flag("--valid", options->validOnly, "--valid 只要有效号码,");
    sub->add_option("--kind", options->kind, "--kind fixed 只要固定电话, mobile 只要手机;")
        ->option_text("fixed|mobile")
        ->check(CLI::IsMember({"fixed", "mobile"}));
    // One TEXT per --region, so that OUT and IN are never taken for more.
    sub->add_option("--region", options->regions,
                    "--region 只要地区\n含 TEXT 的号码(如 江苏, 苏州), 可给多个, 满足其一即可")
        ->option_text("TEXT")
        ->allow_extra_args(false);
    sub->add_option("OUT", options->output)->required();
    sub->add_option("IN", options->inputs)->required();
    sub->callback([&run, options, runner = runners.filter] { run = [options, runner] { return runner(*options); }; });
}

void addStatsCommand(CLI::App& cli, CommandRun& run, const NumberCommandRunners& runners)
{
    CLI::App* sub = cli.add_subcommand("stats",
                                       "TABLE 是号码表 (search --table 或窗口导出); 统计号码的省份、城市、\n"
                                       "类型, 各关键字的号码数、页数与每页号码数, 输出到标准输出;\n"
                                       "{--csv}");
    auto options = std::make_shared<StatsOptions>();
    CLI::Option* csv = sub->add_option("--csv", options->csv, "--csv 另把三张统计表写入 CSV 文件 FILE\n(GBK, {--utf8})")
                           ->option_text("FILE");
    sub->add_flag("--utf8", options->utf8, "--utf8 为带 BOM 的 UTF-8")->needs(csv);
    sub->add_option("TABLE", options->tables)->required();
    sub->callback([&run, options, runner = runners.stats] { run = [options, runner] { return runner(*options); }; });
}

} // namespace vellumax::cli
