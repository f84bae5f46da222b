// Each result's own site read beside a headless search: how many sites'
// pages a minute against local stand-in sites, beside the same run without
// them, and the resident memory of the program with its browser engine's
// processes after 100 sites and after 2,000 (bound: 1 GiB, and flat).
// Both runs are paced by the end of each load, not by the interval; the
// engine's pages hold ten results each, on twenty hosts.
//
//   site_reading_bench [SITES]     default 2000
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "stand_in_site.h"
#include "support/process_memory.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

using namespace vellumax;
using namespace vellumax::test;

namespace {

constexpr int kHosts = 20;

// Ends the run after `pages` engine pages, or `sites` sites' pages, and
// takes the memory on the way.
class MeasuredSearch : public FastPacedSearch {
public:
    MeasuredSearch(cli::SearchOptions options, HeadlessServices services, long pages, long sites)
        : FastPacedSearch(std::move(options), std::move(services)), pages_(pages), sites_(sites)
    {
        clock_.start();
    }

    void pageRead(const SearchRun::PageResult& page) override
    {
        FastPacedSearch::pageRead(page);
        if (++pagesRead_ == pages_)
            ::raise(SIGINT); // ends the run as Ctrl-C would
    }

    void showSites(const SiteReport& report) override
    {
        FastPacedSearch::showSites(report);
        const long read = static_cast<long>(report.progress.read);
        if (read == sitesRead_)
            return;
        sitesRead_ = read;
        // The engine's helpers come and go with the sites: the most after
        // the first hundred is what the run needs.
        if (read % 100 == 0 || read == sites_) {
            const auto [self, tree] = residentKiB();
            if (read % 500 == 0 || read == 100 || read == sites_)
                std::printf("after %5ld sites: this process %7.1f MiB, with the engine's processes %7.1f MiB\n", read,
                            self / 1024.0, tree / 1024.0);
            std::fflush(stdout);
            if (read == 100)
                at100_ = tree;
            else if (read > 100)
                atEnd_ = std::max(atEnd_, tree);
        }
        if (read == sites_)
            ::raise(SIGINT);
    }

    // From the start to the end of the run.
    void ended() { minutes_ = clock_.elapsed() / 60000.0; }
    double minutes() const { return minutes_; }

    long pagesRead_ = 0, sitesRead_ = 0;
    long at100_ = 0, atEnd_ = 0;

private:
    long pages_, sites_;
    QElapsedTimer clock_;
    double minutes_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const long sites = argc > 1 ? std::atol(argv[1]) : 2000;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("js=false\nqt.webenginecontext=false"));

    // Every page of a site holds a fax number of its own, in a table.
    std::vector<std::unique_ptr<StandInSite>> hosts;
    for (int i = 0; i < kHosts; ++i) {
        hosts.push_back(std::make_unique<StandInSite>("127.0.1." + std::to_string(i + 1)));
        hosts.back()->answerOthers([](const std::string& path) {
            StandInSite::Answer answer;
            answer.body = "<html><head><meta charset=\"utf-8\"><title>某某公司" + path +
                          "</title></head><body><table><tr><td>传真：</td><td>0512-6" +
                          std::to_string(std::hash<std::string>()(path) % 10000000 + 1000000) +
                          "</td></tr></table></body></html>";
            return answer;
        });
    }
    FixtureEngine engine([&](const std::string& word, int pn) {
        std::vector<std::string> lines;
        for (int i = 0; i < 10; ++i) {
            const std::string mu = hosts[static_cast<size_t>(i + pn / 10) % kHosts]->url(
                "/" + std::to_string(std::hash<std::string>()(word)) + "-" + std::to_string(pn + i) + ".html");
            lines.push_back(FixtureEngine::rawHtml("<div class=\"result c-container\" mu=\"" + mu +
                                                   "\"><h3><a href=\"/link\">某某公司</a></h3>结果</div>"));
        }
        return FixtureEngine::resultPage(lines, pn, true);
    });

    QTemporaryDir folder;
    QFile keywords(folder.filePath("k.txt"));
    keywords.open(QIODevice::WriteOnly);
    for (long k = 0; k <= sites / 750 + 2; ++k)
        keywords.write(("keyword" + std::to_string(k) + "\r\n").c_str());
    keywords.close();

    // What a run leaves, once its browser engine has gone.
    struct Figures {
        long pages, sites;
        double minutes;
        long at100, atEnd;
    };
    const auto run = [&](bool deep, long pages) -> Figures {
        cli::SearchOptions options;
        options.interval = 1;
        options.wide = true;
        options.deep = deep;
        options.keywordFile = keywords.fileName().toStdString();
        options.output = folder.filePath(deep ? "deep.txt" : "plain.txt").toStdString();
        HeadlessServices services;
        services.endpoint = engine.endpoint();
        services.localAddressText = [] { return std::string("192.0.2.7"); };
        services.loopbackSites = LoopbackSites::Allowed;
        services.terminal = false;
        services.messages = std::fopen("/dev/null", "w");
        MeasuredSearch search(options, services, pages, sites);
        search.run();
        search.ended();
        return {search.pagesRead_, search.sitesRead_, search.minutes(), search.at100_, search.atEnd_};
    };

    const Figures plain = run(false, sites / 10);
    const double plainPerMinute = plain.pages / plain.minutes;
    const Figures deep = run(true, -1);
    const double pagesPerMinute = deep.pages / deep.minutes;
    std::printf("without the sites: %ld engine pages in %.2f min, %.0f a minute\n", plain.pages, plain.minutes,
                plainPerMinute);
    std::printf(
        "with the sites:    %ld engine pages and %ld sites' pages in %.2f min: %.0f sites a minute, "
        "%.0f engine pages a minute (%.2fx the run without)\n",
        deep.pages, deep.sites, deep.minutes, deep.sites / deep.minutes, pagesPerMinute,
        pagesPerMinute / plainPerMinute);
    const double growth = (deep.atEnd - deep.at100) / 1024.0;
    const bool kept = deep.atEnd < 1024L * 1024 && growth * 1.048576 <= 50;
    std::printf("most from 100 to %ld sites: %.1f MiB, %.1f MiB above the 100th; under 1 GiB and within 50 MB: %s\n",
                sites, deep.atEnd / 1024.0, growth, kept ? "kept" : "EXCEEDED");
    return kept ? 0 : 1;
}
