// Feeds 1,000,000 numbers through the extraction path into the main window's
// result list, offscreen, each shown and scrolled to as it comes; reports the
// time and the memory added, beside filling a bare ResultList the same way.
#include "app/fonts.h"
#include "app/tform1.h"
#include "search/fax_extraction.h"
#include "support/timing.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <QTreeView>
#include <cstdio>

using namespace vellumax;

namespace {

class NoPages : public PageSource {
public:
    void RequestPage(const std::string&) override {}
    std::string ReadPageText() override { return {}; }
};

std::vector<std::vector<std::string>> makePages(int total, int perPage)
{
    std::vector<std::vector<std::string>> pages;
    const std::string marker = gbk("传真:");
    for (int n = 0; n < total; n += perPage) {
        std::vector<std::string> lines;
        for (int i = n; i < std::min(total, n + perPage); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "0512-%08d", i);
            lines.push_back(gbk("某公司 电话:0512-1 ") + marker + number);
        }
        pages.push_back(std::move(lines));
    }
    return pages;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    installChineseFonts();
    const int total = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    // Numbers per page: the window repaints between pages, as between ticks.
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 100;
    const auto pages = makePages(total, perPage);
    const std::string marker = gbk("传真:");

    ResultList bare;
    const double bareSeconds = bench::medianSeconds(1, [&] {
        for (const auto& page : pages)
            ExtractFaxNumbers(page, marker, [] { return false; }, bare);
    });
    bare.clear();

    FormServices services;
    services.localAddressText = [] { return std::string(); };
    services.programFolder = "/tmp/";
    services.pageSource = [](QWebEngineView*) { return std::make_unique<NoPages>(); };
    TForm1 form(std::move(services));
    form.show();
    QCoreApplication::processEvents();

    const double before = bench::peakResidentMiB();
    const double windowSeconds = bench::medianSeconds(1, [&] {
        for (const auto& page : pages) {
            ExtractFaxNumbers(page, marker, [] { return false; }, form.results);
            // Let the view paint between pages, as it does between ticks.
            QCoreApplication::processEvents();
        }
    });
    const double added = bench::peakResidentMiB() - before;

    std::printf("entries: %zu in the window's list, %d a page\n", form.results.size(), perPage);
    std::printf("bare result list:  %8.3f s\n", bareSeconds);
    std::printf("window, shown:     %8.3f s  (%.2f x bare; target under 5 s)\n", windowSeconds,
                windowSeconds / bareSeconds);
    std::printf("memory added:      %8.1f MiB (target under 300 MiB)\n", added);
    return form.results.size() == static_cast<size_t>(total) ? 0 : 1;
}
