// How the page source over the real browser engine, on a page without a view,
// tells the end of the last requested load: the engine's status codes with
// and without a body, nothing listening, an earlier load ending late, and the
// answer's Retry-After header.
#include "browser/headless_browser.h"
#include "browser/web_page_source.h"
#include "fixture_engine.h"
#include "read_now.h"
#include "retry_after_check.h"
#include "text/gbk_codec.h"

#include <QGuiApplication>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>

using namespace vellumax;
using namespace vellumax::test;

namespace {

using Outcome = PageLoad::Outcome;

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Unknown: return "unknown";
    case Outcome::Loading: return "loading";
    case Outcome::Loaded: return "loaded";
    case Outcome::Failed: return "failed";
    case Outcome::Diverted: return "diverted";
    }
    return "?";
}

// An address where nothing listens: a port just given up by the system.
std::string closedEndpoint()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return "http://127.0.0.1:" + std::to_string(port);
}

} // namespace

class PageLoadTest : public QObject {
    Q_OBJECT
private slots:
    void outcomeOfEachKindOfAnswer_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("showsFaxLine");

        QTest::newRow("200") << "/status/200/fax" << false << int(Outcome::Loaded) << 200 << true;
        QTest::newRow("503 empty") << "/status/503" << false << int(Outcome::Failed) << 503 << false;
        QTest::newRow("500 empty") << "/status/500" << false << int(Outcome::Failed) << 500 << false;
        QTest::newRow("404 empty") << "/status/404" << false << int(Outcome::Failed) << 404 << false;
        QTest::newRow("404 with a fax line") << "/status/404/fax" << false << int(Outcome::Failed) << 404 << true;
        QTest::newRow("503 with a fax line") << "/status/503/fax" << false << int(Outcome::Failed) << 503 << true;
        QTest::newRow("sent to a verification page")
            << "/baidu?word=verify&pn=0" << false << int(Outcome::Diverted) << 200 << false;
        QTest::newRow("nothing listening") << "/status/200/fax" << true << int(Outcome::Failed) << 0 << false;
    }

    void outcomeOfEachKindOfAnswer()
    {
        QFETCH(QString, path);
        QFETCH(bool, closed);
        QFETCH(int, outcome);
        QFETCH(int, status);
        QFETCH(bool, showsFaxLine);

        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        engine.setAnswers([](const FixtureEngine::Request& r) {
            FixtureEngine::Answer answer;
            answer.verify = r.word == "verify";
            return answer;
        });
        HeadlessBrowser browser;
        WebPageSource source(browser.page());
        QCOMPARE(int(source.lastLoad().outcome), int(Outcome::Unknown));

        source.RequestPage((closed ? closedEndpoint() : engine.endpoint()) + path.toStdString());
        QCOMPARE(int(source.lastLoad().outcome), int(Outcome::Loading));
        QTRY_VERIFY_WITH_TIMEOUT(source.lastLoad().outcome != Outcome::Loading, 20000);
        QCOMPARE(outcomeName(source.lastLoad().outcome), outcomeName(Outcome(outcome)));
        QCOMPARE(source.lastLoad().httpStatus, status);
        QCOMPARE(source.showsResultPage(), outcome == int(Outcome::Loaded));
        // An answer of 400 or more with a body shows that body like any page:
        // only the load's outcome tells it from a result page.
        const std::string text = readNow(source).page.text;
        QCOMPARE(text.find(gbk("传真:0512-12345678")) != std::string::npos, showsFaxLine);
    }

    void onlyTheLastRequestCounts()
    {
        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        HeadlessBrowser browser;
        WebPageSource source(browser.page());
        auto request = [&](const char* path) { source.RequestPage(engine.endpoint() + path); };
        // Waits for the end of the load, then a little longer, so that a late
        // signal would have come.
        auto settled = [&] {
            if (!QTest::qWaitFor([&] { return source.lastLoad().outcome != Outcome::Loading; }, 20000))
                return "still loading";
            QTest::qWait(500);
            return outcomeName(source.lastLoad().outcome);
        };

        // A page that loaded says nothing of the next one, still loading.
        request("/status/200/fax");
        QCOMPARE(settled(), "loaded");
        request("/hang");
        QTest::qWait(1500);
        QCOMPARE(outcomeName(source.lastLoad().outcome), "loading");

        // Requests that replace a load still under way: only the last counts.
        request("/status/503");
        QCOMPARE(settled(), "failed");
        QCOMPARE(source.lastLoad().httpStatus, 503);
        request("/hang");
        QTest::qWait(300);
        request("/hang");
        QTest::qWait(300);
        request("/status/200/fax");
        QCOMPARE(settled(), "loaded");

        // The same address twice in a row, as a retry asks it.
        request("/status/503");
        request("/status/503");
        QCOMPARE(settled(), "failed");
        request("/status/200/fax");
        request("/status/200/fax");
        QCOMPARE(settled(), "loaded");
    }

    void retryAfterOfTheAnswer()
    {
        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        HeadlessBrowser browser;
        WebPageSource source(browser.page());
        const std::string mismatch = retryAfterMismatch(source, engine);
        QVERIFY2(mismatch.empty(), mismatch.c_str());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    PageLoadTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "page_load_test.moc"
