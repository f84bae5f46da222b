#include "options/search_options.h"

#include <CLI/CLI.hpp>

namespace vellumax::cli {

const char kSearchUsage[] =
    "  search [--start N] [--interval SECONDS] [--dedup] [--state FILE [--resume]] --out FILE KEYWORDS\n"
    "                                不开窗口, 用浏览器引擎对关键字列表 KEYWORDS 做一次完整的搜索:\n"
    "                                号码逐页追加到 --out (- 为标准输出); N 为起始位置, 默认 0;\n"
    "                                SECONDS 为 1 到 1000, 默认 8; --dedup 表示去重 (--out 里已有的\n"
    "                                号码也算); --state 每换一个关键字写一次进度文件 (与 vellumax.ini\n"
    "                                格式相同), --resume 从该文件记录的位置继续.\n"
    "                                Ctrl-C 或 SIGTERM 读完当前页后停止, 退出码 130 或 143\n";

void declareSearchOptions(CLI::App& app, SearchOptions& options)
{
    CLI::Option* start = app.add_option("--start", options.start);
    app.add_option("--interval", options.interval)->check(CLI::Range(1, 1000));
    app.add_flag("--dedup", options.deduplicate);
    CLI::Option* state = app.add_option("--state", options.stateFile);
    app.add_flag("--resume", options.resume)->needs(state)->excludes(start);
    app.add_option("--out", options.output)->required();
    app.add_option("KEYWORDS", options.keywordFile)->required();
}

std::vector<std::string> searchArguments(const SearchOptions& options)
{
    std::vector<std::string> args;
    if (options.start)
        args.push_back("--start=" + std::to_string(*options.start));
    args.push_back("--interval=" + std::to_string(options.interval));
    if (options.deduplicate)
        args.push_back("--dedup");
    if (!options.stateFile.empty())
        args.push_back("--state=" + options.stateFile);
    if (options.resume)
        args.push_back("--resume");
    args.push_back("--out=" + options.output);
    // The keyword file may begin with a dash.
    args.push_back("--");
    args.push_back(options.keywordFile);
    return args;
}

} // namespace vellumax::cli
