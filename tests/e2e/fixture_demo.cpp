// Runs the real program window against the local fixture engine, with the
// real timer, for a person to watch or for a screenshot: imports the keyword
// file given, answers the start prompt with 0, searches with a one-second
// interval, and after the given number of seconds saves a picture of the
// window and quits. It logs every request the engine gets and every status
// message, with the time since the search began; with DOWN and UP the engine
// refuses connections from second DOWN to second UP. With "verify N" the
// engine sends its N-th result-page request, and every one after it, to its
// verification page until the browser holds the cookie that page's link
// sets; the demo then prints where the link is on the screen, for a click.
// With "sites" the results lead to company sites on this machine's loopback
// addresses, the window reads each result's site, and the picture is of the
// whole screen with the result list's menu open over the list.
//
// With "stats" it runs as with "sites", then opens 号码统计… and saves a
// picture of that window.
//
//   fixture_demo KEYWORDS.txt SECONDS SHOT.png [DOWN UP | verify N | sites | stats]
#include "../app/window_controls.h"
#include "app/app_start.h"
#include "app/qt_dialogs.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "fixture_engine.h"
#include "stand_in_site.h"
#include "text/gbk_codec.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>

using namespace vellumax;
using namespace vellumax::test;

namespace {

class DemoDialogs : public QtDialogs {
public:
    DemoDialogs(QWidget* owner, QString keywordFile) : QtDialogs(owner), keywordFile_(std::move(keywordFile)) {}

    std::optional<QString> openFile(const FileDialogSettings&) override { return keywordFile_; }
    std::optional<QString> inputQuery(const QString&, const QString&, const QString&) override
    {
        return QStringLiteral("0");
    }
    bool confirmYes(const QString&) override { return true; }

private:
    QString keywordFile_;
};

std::vector<std::string> demoPages(const std::string& word, int pn)
{
    std::vector<std::string> faxLines;
    for (int i = 0; i < 6; ++i) {
        const int n = (static_cast<int>(word.size()) * 7919 + pn * 13 + i * 101) % 10000;
        char line[96];
        std::snprintf(line, sizeof line, "某某贸易有限公司 电话:0512-6666%04d 传真:0512-6%03d%04d", n, pn, n);
        faxLines.push_back(line);
        std::snprintf(line, sizeof line, "Contact us Tel:021-5555%04d FAX:+86-21-5%03d%04d", n, pn, n);
        faxLines.push_back(line);
    }
    return FixtureEngine::resultPage(faxLines, pn, pn < 40);
}

// Makers' names for the stand-in sites, one per host.
const char* const kCompanies[] = {"苏州恒达机械有限公司", "昆山精工机械制造有限公司", "吴江宏远机械设备有限公司",
                                  "常熟顺发机械配件厂",   "张家港华东机械有限公司",   "太仓永新机械科技有限公司"};
constexpr int kSiteCount = static_cast<int>(std::size(kCompanies));
constexpr int kBlocksPerPage = 8;

// Area codes of cities all over the country, for the harvest's summary.
const char* const kAreaCodes[] = {"0512", "021",  "010",  "0755", "0571", "020",  "027",  "0731", "028",
                                  "0532", "0574", "0769", "0311", "0371", "0591", "0512", "0512", "021"};

// A result's number on its site: the site's digit, then the result's own
// five, so that each page found adds a number of its own.
std::string siteFax(int site, int result)
{
    return std::string(kAreaCodes[result % std::size(kAreaCodes)]) + "-6" + std::to_string(site + 1) +
           FixtureEngine::digits(result % 100000, 5) + "0";
}

// Company sites on 127.0.0.2 and on: a landing page a result, each with its
// fax in the contact table. They answer a little slowly, as real sites do,
// so that the queue of sites has pages waiting.
std::vector<std::unique_ptr<StandInSite>> companySites()
{
    std::vector<std::unique_ptr<StandInSite>> sites;
    for (int i = 0; i < kSiteCount; ++i) {
        auto site = std::make_unique<StandInSite>("127.0.0." + std::to_string(i + 2));
        site->answer("/robots.txt", {200, "text/plain", {}, "User-agent: *\nAllow: /\n"});
        site->answerOthers([i](const std::string& path) {
            StandInSite::Answer answer;
            int result = 0;
            if (std::sscanf(path.c_str(), "/cp/%d.html", &result) != 1) {
                answer.status = 404;
                return answer;
            }
            const std::string company = kCompanies[i];
            answer.delayMs = 700;
            answer.body = "<html><head><meta charset=\"utf-8\"><title>" + company + "</title></head><body><h1>" +
                          company + "</h1><p>主营：机械配件、精密零件加工。</p><table><tr><td>电话：</td><td>0512-5" +
                          std::to_string(i + 1) + FixtureEngine::digits(result % 100000, 5) +
                          "1</td></tr><tr><td>传真：</td><td>" + siteFax(i, result) +
                          "</td></tr></table></body></html>";
            return answer;
        });
        sites.push_back(std::move(site));
    }
    return sites;
}

// Result pages whose blocks carry each result's landing page on the sites;
// every other abstract holds a fax of its own, as the engine's often do.
FixtureEngine::PageFn sitePages(const std::vector<std::unique_ptr<StandInSite>>& sites)
{
    return [&sites](const std::string& word, int pn) {
        std::vector<std::string> blocks;
        for (int i = 0; i < kBlocksPerPage; ++i) {
            const int result = static_cast<int>(word.size()) * 1000 + pn / 10 * kBlocksPerPage + i;
            const int site = result % kSiteCount;
            const std::string abstract =
                std::string(kCompanies[site]) + "，专业生产各类机械配件。电话:0512-5" + std::to_string(site + 1) +
                FixtureEngine::digits(result % 100000, 5) + "1" +
                (i % 4 == 0
                     ? " 传真:0512-8" + std::to_string(site + 1) + FixtureEngine::digits(result % 100000, 5) + "2"
                 : i % 4 == 2
                     ? " 手机/传真:139" + FixtureEngine::digits(result % 100000, 5) + std::to_string(site + 1) + "23"
                     : std::string());
            blocks.push_back(FixtureEngine::rawHtml("<div class=\"result c-container\" mu=\"" +
                                                    sites[site]->url("/cp/" + std::to_string(result) + ".html") +
                                                    "\"><h3 class=\"t\"><a href=\"/link?url=x\">" + kCompanies[site] +
                                                    "</a></h3><div class=\"c-abstract\">" + abstract + "</div></div>"));
        }
        return FixtureEngine::resultPage(blocks, pn, pn < 40);
    };
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // "stats" runs as "sites" does, and pictures the harvest's summary.
    const bool showStats = argc == 5 && std::string(argv[4]) == "stats";
    const bool readSites = argc == 5 && (std::string(argv[4]) == "sites" || showStats);
    if (argc != 4 && argc != 6 && !readSites) {
        std::fputs("usage: fixture_demo KEYWORDS.txt SECONDS SHOT.png [DOWN UP | verify N | sites | stats]\n", stderr);
        return 2;
    }
    startApplication(app);
    const std::vector<std::unique_ptr<StandInSite>> sites = readSites ? companySites() : decltype(companySites()){};
    FixtureEngine engine(readSites ? sitePages(sites) : FixtureEngine::PageFn(demoPages));
    // The switches' options file, away from the user's own.
    QTemporaryDir optionsFolder;
    const QString keywordFile = QString::fromLocal8Bit(argv[1]);
    const QString shot = QString::fromLocal8Bit(argv[3]);

    FormServices services;
    services.endpoint = engine.endpoint();
    services.localAddressText = [] { return std::string(); };
    services.programFolder = "/tmp/";
    services.dialogs = [&](QWidget* owner) { return std::make_unique<DemoDialogs>(owner, keywordFile); };
    if (readSites) {
        services.optionsFile = optionsFolder.filePath(QStringLiteral("options.ini")).toStdString();
        services.loopbackSites = LoopbackSites::Allowed;
    }
    TForm1 form(std::move(services));
    if (readSites) {
        // Wide enough for the message panel to show the sites' counts whole.
        form.resize(820, 520);
        form.move(QGuiApplication::primaryScreen()->geometry().center() - form.rect().center());
        control<QAction>(form, "siteReading").setChecked(true);
    }
    form.show();

    QElapsedTimer clock;
    const auto stamp = [&] { return clock.isValid() ? clock.nsecsElapsed() / 1e9 : 0.0; };
    const bool verify = argc == 6 && std::string(argv[4]) == "verify";
    const size_t firstDiverted = verify ? static_cast<size_t>(std::atoi(argv[5])) : 0;
    engine.setAnswers([&](const FixtureEngine::Request& request) {
        FixtureEngine::Answer answer;
        answer.verify = verify && !request.verified && engine.requests().size() + 1 >= firstDiverted;
        std::printf("%8.3f s  request pn=%d%s%s\n", stamp(), request.pageOffset,
                    request.verified ? " (with the cookie)" : "", answer.verify ? ": sent to /verify" : "");
        return answer;
    });
    QWebEngineView& pane = control<QWebEngineView>(form, "WebBrowser1");
    QTimer linkWatch;
    QObject::connect(&linkWatch, &QTimer::timeout, &form, [&] {
        if (pane.url().path() != QLatin1String("/verify"))
            return;
        linkWatch.stop();
        pane.page()->runJavaScript(
            QStringLiteral("(function(){var r=document.getElementById('pass').getBoundingClientRect();"
                           "return [r.left+r.width/2, r.top+r.height/2];})()"),
            [&](const QVariant& v) {
                const QVariantList xy = v.toList();
                const QPoint at = pane.mapToGlobal(QPoint(xy.value(0).toInt(), xy.value(1).toInt()));
                std::printf("%8.3f s  pane on the verification page; its link is at %d,%d\n", stamp(), at.x(),
                            at.y());
                std::fflush(stdout);
            });
    });
    if (verify)
        linkWatch.start(100);
    QString message;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
        const QString now = panel(form, StatusPanels::Message);
        if (now != message) {
            std::printf("%8.3f s  panel 6: %s\n", stamp(), qPrintable(now));
            std::fflush(stdout);
        }
        message = now;
    });
    watch.start(50);
    if (argc == 6 && !verify) {
        QTimer::singleShot(500 + std::atoi(argv[4]) * 1000, &form, [&] {
            std::printf("%8.3f s  engine down\n", stamp());
            engine.setDown(true);
        });
        QTimer::singleShot(500 + std::atoi(argv[5]) * 1000, &form, [&] {
            std::printf("%8.3f s  engine up\n", stamp());
            engine.setDown(false);
        });
    }

    QTimer::singleShot(500, &form, [&] {
        button(form, "SpeedButton4").click();
        control<TSpinEdit>(form, "SpinEdit1").setValue(1);
        clock.start();
        button(form, "SpeedButton2").click();
    });
    QMenu& listMenu = control<QMenu>(form, "resultListMenu");
    const std::function<void()> finish = [&] {
        if (showStats) {
            control<QWidget>(form, "harvestStatsWindow").grab().save(shot);
        } else if (readSites) {
            const QRect area = form.frameGeometry().united(listMenu.geometry());
            QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(shot);
            listMenu.close();
        } else {
            form.grab().save(shot);
        }
        // A fingerprint of the whole list, to compare two runs by.
        size_t fingerprint = 0;
        for (const std::string& number : form.state().results)
            fingerprint = fingerprint * 31 + std::hash<std::string>{}(number);
        std::printf("%zu requests served, %zu numbers found (list fingerprint %016zx), picture in %s\n",
                    engine.requests().size(), form.state().results.size(), fingerprint, argv[3]);
        std::printf("every path the engine got:\n");
        for (const std::string& path : engine.paths())
            std::printf("  %s\n", path.c_str());
        for (const auto& site : sites) {
            std::printf("every path %s got:\n", site->address().c_str());
            for (const std::string& path : site->paths())
                std::printf("  %s\n", path.c_str());
        }
        QApplication::quit();
    };
    if (readSites) {
        // The menu is opened over the list a moment before the picture, so
        // that it has painted; the moment counts from the opening itself, as
        // a page read can hold the event loop past a fixed time. A pop-up is
        // a window of its own, which only a picture of the screen holds.
        QTimer::singleShot(std::atoi(argv[2]) * 1000 - 700, &form, [&] {
            if (showStats) {
                control<QAction>(form, "harvestStats").trigger();
                QTimer::singleShot(1500, &form, finish);
                return;
            }
            const QWidget& list = control<QWidget>(form, "ListView1");
            listMenu.popup(list.mapToGlobal(QPoint(list.width() * 2 / 3, list.height() / 4)));
            QTimer::singleShot(700, &form, finish);
        });
    } else {
        QTimer::singleShot(std::atoi(argv[2]) * 1000, &form, finish);
    }
    return app.exec();
}
