// Pages that fail to load, through the real main window and the real browser
// engine against the fixture engine: they are asked for again, never read,
// and cost no keyword.
#include "../app/fakes.h"
#include "../app/test_main.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tray/ant_taskbar_icon.h"
#include "browser/web_page_source.h"
#include "fixture_engine.h"
#include "text/gbk_codec.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace vellumax;
using namespace vellumax::test;

namespace {

// 苏州传真: three pages; 杭州: one page.
std::vector<std::string> fixturePages(const std::string& word, int pn)
{
    if (word == gbk("苏州传真"))
        return FixtureEngine::resultPage({"传真:0512-6000" + std::to_string(1000 + pn)}, pn, pn < 20);
    return FixtureEngine::resultPage({"传真:0571-88888888"}, pn, false);
}

struct Run {
    FixtureEngine engine{fixturePages};
    QTemporaryDir folder;
    FakeDialogs* dialogs = nullptr;
    WebPageSource* source = nullptr;
    std::unique_ptr<TForm1> form;
    QStringList messages; // panel 6 after every tick

    Run()
    {
        FormServices services;
        services.endpoint = engine.endpoint();
        services.localAddressText = [] { return std::string("192.0.2.10"); };
        services.programFolder = folder.path().toStdString() + "/";
        services.dialogs = [this](QWidget*) {
            auto d = std::make_unique<FakeDialogs>();
            dialogs = d.get();
            return d;
        };
        services.pageSource = [this](QWebEngineView* view) {
            auto p = std::make_unique<WebPageSource>(view->page());
            source = p.get();
            return p;
        };
        form = std::make_unique<TForm1>(std::move(services));
        control<TSpinEdit>(*form, "SpinEdit1").setValue(1);
        const QString keywords = folder.filePath(QStringLiteral("keywords.txt"));
        write(keywords, QByteArray::fromStdString(gbk("苏州传真") + "\r\n" + gbk("杭州") + "\r\n"));
        dialogs->openAnswers.push_back(keywords);
        button(*form, "SpeedButton4").click();
    }

    void start()
    {
        dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*form, "SpeedButton2").click();
    }

    // One tick as soon as the page's load has ended, instead of waiting out
    // the timer; `before` runs just before it.
    bool tickWhenLoaded(const std::function<void()>& before = {})
    {
        if (!pageTimer(*form).isActive())
            return false;
        pageTimer(*form).stop();
        if (!QTest::qWaitFor([&] { return source->lastLoad().outcome != PageLoad::Outcome::Loading; }, 20000))
            return false;
        if (before)
            before();
        tickAndAwaitRead(*form, *dialogs);
        messages << panel(*form, StatusPanels::Message);
        return true;
    }

    std::vector<std::string> paths() const
    {
        std::vector<std::string> out;
        for (const auto& r : engine.requests())
            out.push_back(r.path);
        return out;
    }
};

std::vector<std::string> undisturbedPaths;
std::vector<std::string> undisturbedNumbers;

std::vector<std::string> numbersOf(const TForm1& form)
{
    const ResultList& results = form.state().results;
    return {results.begin(), results.end()};
}

} // namespace

class FailedLoadsE2eTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Run run;
        run.start();
        for (int i = 0; i < 10 && run.tickWhenLoaded();)
            ++i;
        undisturbedPaths = run.paths();
        undisturbedNumbers = numbersOf(*run.form);
        QCOMPARE(undisturbedPaths.size(), size_t(4));
        QCOMPARE(undisturbedNumbers.size(), size_t(4));
    }

    void serverErrorsAreAskedAgainUntilThePageComes()
    {
        Run run;
        int secondPageAnswers = 0;
        run.engine.setAnswers([&](const FixtureEngine::Request& r) {
            if (r.word == gbk("苏州传真") && r.pageOffset == 10 && secondPageAnswers++ < 2)
                return FixtureEngine::Answer{503, false};
            return FixtureEngine::Answer{};
        });
        run.start();
        std::vector<int> waits;
        while (run.tickWhenLoaded())
            waits.push_back(pageTimer(*run.form).interval());

        std::vector<std::string> expected = undisturbedPaths;
        expected.insert(expected.begin() + 1, 2, undisturbedPaths[1]);
        QCOMPARE(run.paths(), expected);
        QCOMPARE(numbersOf(*run.form), undisturbedNumbers);
        // Each failure waits the interval, then twice that, before the page
        // is asked again; every new try is read after the interval.
        QCOMPARE(waits, (std::vector<int>{1000, 1000, 1000, 2000, 1000, 1000, 1000, 1000}));
        QVERIFY(run.messages.at(1).startsWith(QStringLiteral("页面载入失败（HTTP 503），第 1 次，1 秒后重试（")));
        QVERIFY(run.messages.at(3).startsWith(QStringLiteral("页面载入失败（HTTP 503），第 2 次，2 秒后重试（")));
        QCOMPARE(run.messages.at(5), QStringLiteral("正在搜索..."));
        QCOMPARE(run.messages.last(), QStringLiteral("搜索已经结束！"));
    }

    void anEngineDownForAWhileCostsNothing()
    {
        Run run;
        run.start();
        // Down from the second page's request on, up again for the third
        // try of that page.
        QVERIFY(run.tickWhenLoaded([&] { run.engine.setDown(true); }));
        int downTicks = 0;
        while (run.tickWhenLoaded([&] {
            if (++downTicks == 3)
                run.engine.setDown(false);
        })) {
        }
        QVERIFY(!run.messages.filter(QStringLiteral("无法连接搜索引擎，第 2 次，2 秒后重试（")).isEmpty());
        QCOMPARE(numbersOf(*run.form), undisturbedNumbers);
        QCOMPARE(run.paths(), undisturbedPaths);
    }

    void errorPagesAddNothingAndStopKeepsTheKeywordInProgress()
    {
        Run run;
        run.engine.setAnswers([](const FixtureEngine::Request& r) {
            // The error page holds a label and a number of its own.
            return r.word == gbk("杭州") ? FixtureEngine::Answer{404, true} : FixtureEngine::Answer{};
        });
        run.start();
        for (int i = 0; i < 3; ++i)
            QVERIFY(run.tickWhenLoaded()); // the three pages of the first keyword
        QVERIFY(run.tickWhenLoaded());     // the second keyword's page: 404
        QVERIFY(run.messages.last().startsWith(QStringLiteral("页面载入失败（HTTP 404），第 1 次，1 秒后重试（")));
        // Stop during the wait ends the run at once, not when the wait is over.
        button(*run.form, "SpeedButton3").click();
        QVERIFY(!pageTimer(*run.form).isActive());
        QCOMPARE(panel(*run.form, StatusPanels::Message), QStringLiteral("搜索已经结束！"));
        QCOMPARE(numbersOf(*run.form), std::vector<std::string>(undisturbedNumbers.begin(), undisturbedNumbers.begin() + 3));
        // Line 2 holds the keyword in progress, 杭州, searched again on resume.
        QCOMPARE(read(run.folder.filePath("vellumax.ini")).split('\r').value(1), QByteArray("\n1"));
    }

    // With the real timer: the engine refuses the second page once with 429
    // and Retry-After: 3. With a 1-second interval, the engine hears of that
    // page again no sooner than 3 seconds after its refusal.
    void retryAfterIsWaitedOut()
    {
        Run run;
        QElapsedTimer clock;
        std::vector<qint64> secondPageTimes;
        run.engine.setAnswers([&](const FixtureEngine::Request& r) {
            FixtureEngine::Answer answer;
            if (r.word == gbk("苏州传真") && r.pageOffset == 10 && secondPageTimes.empty()) {
                answer = {429, false};
                answer.retryAfter = "3";
            }
            if (r.word == gbk("苏州传真") && r.pageOffset == 10)
                secondPageTimes.push_back(clock.elapsed());
            return answer;
        });
        // As in the program, where the window is up well before the search.
        bool ready = false;
        run.source->whenReady([&] { ready = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ready, 20000);
        clock.start();
        run.start();
        QVERIFY(run.tickWhenLoaded()); // page 1 read, page 2 refused
        QTRY_VERIFY_WITH_TIMEOUT(secondPageTimes.size() == 2, 20000);
        QVERIFY2(secondPageTimes[1] - secondPageTimes[0] >= 3000,
                 std::to_string(secondPageTimes[1] - secondPageTimes[0]).c_str());
        QVERIFY(panel(*run.form, StatusPanels::Message)
                    .startsWith(QStringLiteral("页面载入失败（HTTP 429），第 1 次，3 秒后重试（")));
        while (run.tickWhenLoaded()) {
        }
        QCOMPARE(numbersOf(*run.form), undisturbedNumbers);
    }

    // The engine sends the second page's request to its verification page
    // until the browser holds the cookie that page's link sets. The run
    // stays on that page, asking for nothing, until the link is clicked;
    // then it asks for its page again and ends as an undisturbed run.
    void verificationPagePassedInThePaneEndsAsAnUndisturbedRun()
    {
        Run run;
        run.engine.setAnswers([](const FixtureEngine::Request& r) {
            FixtureEngine::Answer answer;
            answer.verify = r.word == gbk("苏州传真") && r.pageOffset == 10 && !r.verified;
            return answer;
        });
        auto& pane = control<QWebEngineView>(*run.form, "WebBrowser1");
        auto& trayIcon = control<TantTaskbarIcon>(*run.form, "antTaskbarIcon1");
        run.start();
        QVERIFY(run.tickWhenLoaded()); // page 1 read; page 2 diverted
        const QString held = QStringLiteral("搜索引擎要求验证，请在右侧网页中完成验证");
        for (int i = 0; i < 4; ++i) {
            QVERIFY(run.tickWhenLoaded());
            QCOMPARE(run.messages.last(), held);
            QCOMPARE(pane.url().path(), QStringLiteral("/verify"));
        }
        QCOMPARE(run.source->lastLoad().outcome, PageLoad::Outcome::Diverted);
        QCOMPARE(utf8FromGbk(trayIcon.Hint()), held.toStdString());
        const size_t pathsWhileHeld = run.engine.paths().size();
        QCOMPARE(pathsWhileHeld, size_t(3)); // page 1, page 2, the verification page

        pane.page()->runJavaScript(QStringLiteral("document.getElementById('pass').click()"));
        QVERIFY(QTest::qWaitFor([&] { return run.source->showsResultPage(); }, 20000));
        while (run.tickWhenLoaded()) {
        }
        // Page 2: diverted, sent back by the verification page, asked again.
        std::vector<std::string> expected = undisturbedPaths;
        expected.insert(expected.begin() + 1, 2, undisturbedPaths[1]);
        QCOMPARE(run.paths(), expected);
        QCOMPARE(numbersOf(*run.form), undisturbedNumbers); // nothing read from the verification page
        QCOMPARE(run.messages.last(), QStringLiteral("搜索已经结束！"));
        QCOMPARE(utf8FromGbk(trayIcon.Hint()), std::string("『朔禾传真搜索』 V2.5"));
    }
};

VELLUMAX_TEST_MAIN(FailedLoadsE2eTest)
#include "failed_loads_e2e_test.moc"
