// `vellumax-cli extract` over one large page text of 1,000,000 lines (about
// 87 MB, GBK, CR LF), against `LC_ALL=C grep -F -c` for the marker over the
// same file; both write to a pipe. One line in ten carries the fax marker
// and a number, one in fifty is a pager line, the rest plain result text of
// about 90 bytes. Target: at least half of grep's throughput. Then
// `extract --wide` over the same file, against `extract` in the same run.
// Target: at least half of its throughput.
//
//   extract_bench [LINES [CLI]]    CLI: another build of the program to time
#include "support/timing.h"
#include "text/gbk_codec.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kPath = "/tmp/vellumax-extract-bench.txt";

// Builds the page text; returns how many numbers it holds.
long writePage(long lines)
{
    using vellumax::gbk;
    const std::vector<std::string> plain = {
        gbk("苏州某某精密机械有限公司 - 产品中心 - 联系我们 - 专业生产各类精密机械零部件 www.example.com.cn"),
        gbk("本公司位于江苏省苏州市工业园区星湖街 88 号，交通便利，欢迎新老客户来电来函洽谈业务 2026-05-01"),
        gbk("电话:0512-87654321 联系人：王经理 手机：13800000000 地址：苏州市吴中区木渎镇金山路 18 号"),
        gbk("上海某某贸易有限公司 主营：五金工具、机电设备、仪器仪表、劳保用品及办公用品批发零售服务"),
    };
    const std::string fax = gbk("某某机械厂 电话:0512-87654321 传真:");
    const std::string faxTail = gbk(" 联系人：李先生");
    const std::string pager = gbk("上一页 [1] 2 [3] [4] 下一页");

    std::string page;
    page.reserve(static_cast<size_t>(lines) * 90);
    long numbers = 0;
    for (long i = 0; i < lines; ++i) {
        if (i % 10 == 3) {
            page += fax;
            page += "0512-6" + std::to_string(1'000'000 + i / 10 % 9'000'000);
            page += faxTail;
            ++numbers;
        } else if (i % 50 == 27) {
            page += pager;
        } else {
            page += plain[static_cast<size_t>(i) % plain.size()];
        }
        page += "\r\n";
    }
    std::ofstream(kPath, std::ios::binary) << page;
    return numbers;
}

long outputLines(const std::string& command)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    long lines = 0;
    char buffer[65536];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        for (size_t i = 0; i < n; ++i)
            lines += buffer[i] == '\n';
    ::pclose(pipe);
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const long numbers = writePage(lines);
    const double megabytes = static_cast<double>(std::ifstream(kPath, std::ios::ate | std::ios::binary).tellg()) / 1e6;

    const std::string marker = vellumax::gbk("传真:");
    const std::string grep = "LC_ALL=C grep -F -c '" + marker + "' " + kPath + " | cat";
    const std::string cli = argc > 2 ? argv[2] : VELLUMAX_CLI;
    const std::string extract = cli + " extract " + kPath + " | cat";
    const long found = outputLines(extract);
    const std::string wide = cli + " extract --wide " + kPath + " | cat";
    const long foundWide = outputLines(wide);

    const double grepSeconds = vellumax::bench::medianCommandSeconds(7, grep);
    const double extractSeconds = vellumax::bench::medianCommandSeconds(7, extract);
    std::printf("page: %ld lines, %.1f MB, %ld numbers found of %ld\n", lines, megabytes, found, numbers);
    std::printf("  grep -F -c:  %8.3f s  %8.1f MB/s\n", grepSeconds, megabytes / grepSeconds);
    std::printf("  extract:     %8.3f s  %8.1f MB/s  (%.2f x grep's throughput; target at least 0.5)\n",
                extractSeconds, megabytes / extractSeconds, grepSeconds / extractSeconds);
    const double wideSeconds = vellumax::bench::medianCommandSeconds(7, wide);
    std::printf("  extract --wide: %5.3f s  %8.1f MB/s  (%.2f x extract's throughput; target at least 0.5), "
                "%ld numbers\n",
                wideSeconds, megabytes / wideSeconds, extractSeconds / wideSeconds, foundWide);
    if (!std::getenv("VELLUMAX_KEEP_PAGE"))
        ::unlink(kPath.c_str());
    return found == numbers && foundWide == numbers ? 0 : 1;
}
