// vellumax-cli: batch work on keyword lists, saved result pages and number
// files, over the same rules as the window.
#include "cli/commands.h"
#include "text/gbk_codec.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace vellumax::cli {
namespace {

const char kUsage[] =
    "用法: vellumax-cli <命令> [参数]\n"
    "\n"
    "  plan FILE                     把 FILE 当作关键字列表, 逐行列出字段标记(空, 传真: 或 FAX:)\n"
    "                                和第一页的搜索地址, 以 TAB 分隔\n"
    "  count FILE                    输出关键字总数(逐行读取)和列表条数(整体拆分), 以 TAB 分隔\n"
    "  extract [--marker M] [--dedup] FILE...\n"
    "                                把每个 FILE 当作一页搜索结果文本, 按顺序提取传真号码,\n"
    "                                每个号码一行(CR LF); M 为 传真: 或 FAX:, 默认 传真:;\n"
    "                                --dedup 表示去重\n"
    "  pager --offset N FILE         页面偏移为 N 时, FILE 这一页之后是否还有下一页: 输出 1 或 0\n"
    "  merge OUT IN...               合并号码文件 IN..., 去重排序后写入 OUT\n"
    "  --help                        显示本说明\n"
    "\n"
    "文件按 GBK 编码读写; 给人看的输出为 UTF-8.\n";

} // namespace

int usageError()
{
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace vellumax::cli

int main(int argc, char** argv)
{
    using namespace vellumax::cli;
    if (argc < 2)
        return usageError();
    const char* command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (std::strcmp(command, "plan") == 0)
            return runPlan(args);
        if (std::strcmp(command, "count") == 0)
            return runCount(args);
        if (std::strcmp(command, "extract") == 0)
            return runExtract(args);
        if (std::strcmp(command, "pager") == 0)
            return runPager(args);
        if (std::strcmp(command, "merge") == 0)
            return runMerge(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vellumax-cli: %s\n", vellumax::utf8FromGbk(e.what()).c_str());
        return 1;
    }
    return usageError();
}
