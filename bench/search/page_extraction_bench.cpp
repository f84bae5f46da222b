// Page analysis and extraction over a 1 MB page text holding 1,000 fax lines,
// against `LC_ALL=C grep -F -c` for the marker on the same file.
#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/query_builder.h"
#include "support/timing.h"
#include "text/gbk_codec.h"
#include "text/text_splitter.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace vellumax;

int main(int argc, char** argv)
{
    const size_t pageBytes = argc > 1 ? std::atol(argv[1]) : 1u << 20;
    const int faxLines = argc > 2 ? std::atoi(argv[2]) : 1'000;
    const std::string path = "/tmp/vellumax-bench-page.txt";

    // A result page as its text reads: titles, snippets and addresses, with a
    // fax line spread evenly among them and the pager line at the end.
    const std::string title = gbk("苏州某某精密机械有限公司 - 产品中心 - 联系我们") + "\r\n";
    const std::string snippet =
        gbk("本公司专业生产各类精密机械零部件，欢迎来电咨询。地址：江苏省苏州市工业园区星湖街 88 号 电话:0512-87654321") +
        "\r\n";
    const std::string pager = gbk("1 [2] [3] [4] [5] [6] [7] [8] [9] [10] 下一页") + "\r\n";
    std::string page;
    page.reserve(pageBytes + 4096);
    const size_t fillerPerFax = (pageBytes - pager.size()) / faxLines;
    for (int i = 0; i < faxLines; ++i) {
        const size_t start = page.size();
        const std::string fax = gbk("公司传真:") + "0512-6" + std::to_string(1'000'000 + i) + "\r\n";
        while (page.size() - start + fax.size() < fillerPerFax)
            page += (page.size() / 97) % 2 ? title : snippet;
        page += fax;
    }
    page += pager;
    {
        std::ofstream out(path, std::ios::binary);
        out << page;
    }

    const std::string marker(kChineseFaxMarker);
    const double grep = bench::medianCommandSeconds(11, "LC_ALL=C grep -F -c '" + marker + "' " + path);

    size_t found = 0;
    bool morePages = false;
    const double fromFile = bench::medianSeconds(11, [&] {
        ResultList results;
        const std::string text = readWholeFile(path); // the lines point into it
        const PageAnalysis analysis = analysePage(text, 10);
        found = ExtractFaxNumbers(analysis.lines, marker, [] { return false; }, results);
        morePages = analysis.morePages;
    });
    const double inMemory = bench::medianSeconds(11, [&] {
        ResultList results;
        ExtractFaxNumbers(analysePage(page, 10).lines, marker, [] { return false; }, results);
    });

    const double megabytes = page.size() / 1e6;
    std::printf("page: %.2f MB, %zu numbers found, more pages: %d\n", megabytes, found, morePages);
    std::printf("grep -F -c:                      %8.3f ms  %8.1f MB/s\n", grep * 1e3, megabytes / grep);
    std::printf("analysis + extraction (file):    %8.3f ms  %8.1f MB/s  (%.2f x grep's throughput)\n",
                fromFile * 1e3, megabytes / fromFile, grep / fromFile);
    std::printf("analysis + extraction (memory):  %8.3f ms  %8.1f MB/s  (%.2f x grep's throughput)\n",
                inMemory * 1e3, megabytes / inMemory, grep / inMemory);
    ::unlink(path.c_str());
    return found == static_cast<size_t>(faxLines) && morePages ? 0 : 1;
}
