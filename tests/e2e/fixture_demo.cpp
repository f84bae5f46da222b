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
//
//   fixture_demo KEYWORDS.txt SECONDS SHOT.png [DOWN UP | verify N]
#include "app/app_start.h"
#include "app/qt_dialogs.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "fixture_engine.h"
#include "../app/window_controls.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <functional>

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc != 4 && argc != 6) {
        std::fputs("usage: fixture_demo KEYWORDS.txt SECONDS SHOT.png [DOWN UP | verify N]\n", stderr);
        return 2;
    }
    startApplication(app);
    FixtureEngine engine(demoPages);
    const QString keywordFile = QString::fromLocal8Bit(argv[1]);
    const QString shot = QString::fromLocal8Bit(argv[3]);

    FormServices services;
    services.endpoint = engine.endpoint();
    services.localAddressText = [] { return std::string(); };
    services.programFolder = "/tmp/";
    services.dialogs = [&](QWidget* owner) { return std::make_unique<DemoDialogs>(owner, keywordFile); };
    TForm1 form(std::move(services));
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
    QTimer::singleShot(std::atoi(argv[2]) * 1000, &form, [&] {
        form.grab().save(shot);
        // A fingerprint of the whole list, to compare two runs by.
        size_t fingerprint = 0;
        for (const std::string& number : form.state().results)
            fingerprint = fingerprint * 31 + std::hash<std::string>{}(number);
        std::printf("%zu requests served, %zu numbers found (list fingerprint %016zx), picture in %s\n",
                    engine.requests().size(), form.state().results.size(), fingerprint, argv[3]);
        std::printf("every path the engine got:\n");
        for (const std::string& path : engine.paths())
            std::printf("  %s\n", path.c_str());
        QApplication::quit();
    });
    return app.exec();
}
