// Resident memory of a long headless search: after 200 pages and after 2,000,
// the second within 50 MB of the first. The search is the command's own
// (driver, page source on a page without a view, numbers file, state file),
// paced by the end of each load instead of the 8 seconds and the interval,
// against the local fixture engine in this process; 27 keywords of 75 pages
// each.
//
//   headless_memory_bench [PAGES]     default 2000
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "support/process_memory.h"
#include "text/gbk_codec.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace vellumax;
using namespace vellumax::test;

namespace {

class MeasuredSearch : public FastPacedSearch {
public:
    MeasuredSearch(cli::SearchOptions options, HeadlessServices services, long pages)
        : FastPacedSearch(std::move(options), std::move(services)), pages_(pages)
    {
    }

    void pageRead(const SearchRun::PageResult& page) override
    {
        FastPacedSearch::pageRead(page);
        ++read_;
        if (read_ == 200 || read_ == pages_) {
            const auto [self, tree] = residentKiB();
            std::printf("after %5ld pages: this process %7.1f MiB, with the engine's processes %7.1f MiB\n", read_,
                        self / 1024.0, tree / 1024.0);
            std::fflush(stdout);
            (read_ == 200 ? at200_ : atEnd_) = {self, tree};
        }
        if (read_ == pages_)
            ::raise(SIGINT); // ends the run as Ctrl-C would
    }

    std::pair<long, long> at200_, atEnd_;

private:
    long pages_;
    long read_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const long pages = argc > 1 ? std::atol(argv[1]) : 2000;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("js=false\nqt.webenginecontext=false"));

    // Pages of ten results with two numbers each, a next page always: the
    // page cap ends each keyword at 75 pages.
    FixtureEngine engine([](const std::string& word, int pn) {
        std::vector<std::string> lines;
        for (int i = 0; i < 10; ++i)
            lines.push_back("某公司 " + word + " 电话:021-55555555 传真:0" + std::to_string(10 + i) + "-" +
                            std::to_string(10000000 + pn * 10 + i) + " 地址...");
        return FixtureEngine::resultPage(lines, pn, true);
    });
    QTemporaryDir folder;
    QFile keywords(folder.filePath("k.txt"));
    keywords.open(QIODevice::WriteOnly);
    for (long k = 0; k <= pages / 75 + 1; ++k)
        keywords.write(("keyword" + std::to_string(k) + "\r\n").c_str());
    keywords.close();

    cli::SearchOptions options;
    options.interval = 1;
    options.keywordFile = keywords.fileName().toStdString();
    options.output = folder.filePath("numbers.txt").toStdString();
    options.stateFile = folder.filePath("state.ini").toStdString();
    HeadlessServices services;
    services.endpoint = engine.endpoint();
    services.localAddressText = [] { return std::string("192.0.2.7"); };
    services.terminal = false;
    services.messages = std::fopen("/dev/null", "w");
    MeasuredSearch search(options, services, pages);
    const int exitCode = search.run();

    const double growth = (search.atEnd_.second - search.at200_.second) / 1024.0;
    const double ownGrowth = (search.atEnd_.first - search.at200_.first) / 1024.0;
    std::printf("growth from 200 to %ld pages: %.1f MiB (this process %.1f MiB); bound 50 MB: %s (exit %d)\n", pages,
                growth, ownGrowth, growth * 1.048576 <= 50 ? "kept" : "EXCEEDED", exitCode);
    return growth * 1.048576 <= 50 ? 0 : 1;
}
