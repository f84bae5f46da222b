// Feeds 1,000,000 numbers through the extraction path into the main window's
// result list, offscreen, each shown and scrolled to as it comes, and tells
// the window where each was found, as a run's host does: the keyword, the
// page and a page line of about 80 characters, which two numbers share, as
// the numbers of one line do. Reports the time, and the resident memory of the
// whole program holding the list, beside filling a bare ResultList the same
// way.
#include "app/fonts.h"
#include "app/form_run_host.h"
#include "app/tform1.h"
#include "search/fax_extraction.h"
#include "support/timing.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <cstdio>

using namespace vellumax;

namespace {

class NoPages : public PageSource {
public:
    void RequestPage(const std::string&) override {}
    std::string ReadPageText() override { return {}; }
};

// The lines of one page, made when it is read so that the pages do not
// count in the program's memory: company, address, phone and fax.
std::vector<std::string> makePage(int first, int lines)
{
    static const std::string companies[] = {gbk("苏州某某精密机械有限公司（总部）"), gbk("上海某某国际贸易有限公司华东分部"),
                                            gbk("无锡某某电子科技股份有限公司"), gbk("杭州某某纺织品进出口有限公司")};
    const std::string address = gbk(" 地址：江苏省苏州市工业园区星湖街328号创意产业园 ");
    const std::string marker = gbk("传真:");
    std::vector<std::string> page;
    for (int i = first; i < first + lines; ++i) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%04d ", i % 10000);
        std::string line = companies[i % 4] + address + gbk("电话:0512-6666") + numbers + marker;
        std::snprintf(numbers, sizeof numbers, "0512-%08d", i);
        page.push_back(line + numbers);
    }
    return page;
}

constexpr int kKeywordPages = 75;

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    installChineseFonts();
    const int total = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    // Lines per page: the window repaints between pages, as between ticks.
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 100;
    const std::string marker = gbk("传真:");

    FormServices services;
    services.localAddressText = [] { return std::string(); };
    services.programFolder = "/tmp/";
    services.pageSource = [](QWebEngineView*) { return std::make_unique<NoPages>(); };
    TForm1 form(std::move(services));
    form.show();
    QCoreApplication::processEvents();
    FormRunHost host(form);

    const double before = bench::residentMiB();
    const auto feed = [&](ResultList& results, bool toWindow) {
        int lines = 0;
        for (int page = 0; static_cast<int>(results.size()) < total; ++page) {
            const std::vector<std::string> pageLines = makePage(lines, perPage);
            lines += perPage;
            const int32_t keyword = page / kKeywordPages + 1, offset = page % kKeywordPages * 10;
            ExtractFaxNumbers(pageLines, marker, [] { return false; }, results, [&](std::string_view line) {
                if (!toWindow)
                    return;
                host.numberAdded({results[results.size() - 1], line, keyword, offset});
                // A second number on the same line.
                if (static_cast<int>(results.size()) < total) {
                    results.append(results[results.size() - 1] + "-8");
                    host.numberAdded({results[results.size() - 1], line, keyword, offset});
                }
            });
            if (toWindow)
                QCoreApplication::processEvents(); // the view paints between pages, as between ticks
        }
    };
    const double windowSeconds = bench::medianSeconds(1, [&] { feed(form.results, true); });
    const double resident = bench::residentMiB();

    ResultList bare;
    const double bareSeconds = bench::medianSeconds(1, [&] { feed(bare, false); });

    std::printf("entries: %zu in the window's list, %d lines a page\n", form.results.size(), perPage);
    std::printf("bare result list:  %8.3f s\n", bareSeconds);
    std::printf("window, shown:     %8.3f s  (%.2f x bare; target under 5 s)\n", windowSeconds,
                windowSeconds / bareSeconds);
    std::printf("resident in all:   %8.1f MiB with the list (%.1f MiB before it; target under 300 MiB)\n", resident,
                before);
    return form.results.size() == static_cast<size_t>(total) ? 0 : 1;
}
