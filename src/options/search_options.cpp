#include "options/search_options.h"

#include <CLI/CLI.hpp>

namespace vellumax::cli {

void declareSearchOptions(CLI::App& app, SearchOptions& options)
{
    // The usage puts each option's description where the command's text
    // names it.
    app.description(
        "不开窗口, 用浏览器引擎对关键字列表 KEYWORDS 做一次完整的搜索:\n"
        "{--out} {--start}\n"
        "{--interval} {--dedup} {--state} {--resume} {--wide}\n"
        "{--deep}\n"
        "Ctrl-C 或 SIGTERM 读完当前页后停止, 退出码 130 或 143;\n"
        "{--table}");
    CLI::Option* start = app.add_option("--start", options.start, "N 为起始位置, 默认 0;")->option_text("N");
    app.add_option("--interval", options.interval, "SECONDS 为 1 到 1000, 默认 8;")
        ->option_text("SECONDS")
        ->check(CLI::Range(1, 1000));
    app.add_flag("--dedup", options.deduplicate, "--dedup 表示去重 (--out 里已有的\n号码也算);");
    app.add_flag("--wide", options.wide,
                 "--wide 为宽松识别\n"
                 "(各种传真写法, 并按网页中的 \"下一页\" 链接翻页), 进度文件不记此项,\n"
                 "继续时须再给 --wide.");
    app.add_flag("--deep", options.deep,
                 "--deep 还打开每个结果自己的网页读传真 (含宽松识别), 没有传真时再看它的\n"
                 "\"联系我们\" 页; 遵守各网站的 robots.txt, 每个网站同时只开一页, 最多同时\n"
                 "四页, 每页限时 20 秒; 号码表记下网页标题和网址. 继续时须再给 --deep.");
    CLI::Option* state = app.add_option("--state", options.stateFile,
                                        "--state 每换一个关键字写一次进度文件 (与 vellumax.ini\n格式相同),")
                             ->option_text("FILE");
    app.add_flag("--resume", options.resume, "--resume 从该文件记录的位置继续;")->needs(state)->excludes(start);
    app.add_option("--out", options.output, "号码逐页追加到 --out (- 为标准输出);")->option_text("FILE")->required();
    CLI::Option* table =
        app.add_option("--table", options.tableFile,
                       "--table 把每个号码连同类型、地区、关键字、页面、所在行、网页标题和网址\n逐页追加到 "
                       "CSV 号码表 TABLE (GBK, {--table-utf8})")
            ->option_text("TABLE");
    app.add_flag("--table-utf8", options.tableUtf8, "--table-utf8 为带 BOM 的 UTF-8")->needs(table);
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
    if (options.wide)
        args.push_back("--wide");
    if (options.deep)
        args.push_back("--deep");
    if (!options.stateFile.empty())
        args.push_back("--state=" + options.stateFile);
    if (options.resume)
        args.push_back("--resume");
    args.push_back("--out=" + options.output);
    if (!options.tableFile.empty())
        args.push_back("--table=" + options.tableFile);
    if (options.tableUtf8)
        args.push_back("--table-utf8");
    // The keyword file may begin with a dash.
    args.push_back("--");
    args.push_back(options.keywordFile);
    return args;
}

} // namespace vellumax::cli
