// The page source over the real browser engine: what a read gives before any
// request, for a result page, a plain-text document and an empty body; the
// answer's Retry-After header for a page in a view.
#include "../app/test_main.h"
#include "browser/headless_browser.h"
#include "browser/web_page_source.h"
#include "fixture_engine.h"
#include "read_now.h"
#include "retry_after_check.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <QSignalSpy>
#include <QWebEngineView>

using namespace vellumax;
using namespace vellumax::test;

namespace {

QString failureOf(WebPageSource& source)
{
    const PageRead read = readNow(source);
    return read.error.empty() ? QStringLiteral("no error") : QString::fromStdString(read.error);
}

} // namespace

class WebPageSourceTest : public QObject {
    Q_OBJECT
private slots:
    void readsWhatThePaneShows()
    {
        FixtureEngine engine([](const std::string&, int pn) {
            return FixtureEngine::resultPage({"传真:0512-12345678", "smile 😀 end"}, pn, true);
        });
        QWebEngineView view;
        view.resize(400, 300);
        view.show();
        WebPageSource source(view.page());
        QCOMPARE(failureOf(source), QStringLiteral("No document is loaded"));

        QSignalSpy loads(&view, &QWebEngineView::loadFinished);
        auto load = [&](const std::string& path) {
            source.RequestPage(engine.endpoint() + path);
            QVERIFY2(loads.wait(20000), path.c_str());
            loads.clear();
        };

        load("/baidu?lm=0&word=x&pn=0&cl=3");
        const std::string text = readNow(source).page.text;
        QVERIFY2(text.find(gbk("传真:0512-12345678") + "\r\n") != std::string::npos, text.c_str());
        QVERIFY(text.find(gbk("1 [2] [3] 下一页")) != std::string::npos);
        QVERIFY(text.find("smile ? end") != std::string::npos);
        QVERIFY(text.find('\n') == text.find("\r\n") + 1);

        load("/plain");
        QCOMPARE(failureOf(source), QStringLiteral("Interface not supported"));

        load("/empty");
        QCOMPARE(readNow(source).page.text, std::string());

        // A request the engine cannot take is refused at once.
        QVERIFY_THROWS_EXCEPTION(Error, source.RequestPage("http://[bad"));
    }

    void retryAfterOfTheAnswer()
    {
        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        QWebEngineView view;
        turnOffPageIcons(view.page());
        view.show();
        {
            WebPageSource source(view.page());
            const std::string mismatch = retryAfterMismatch(source, engine);
            QVERIFY2(mismatch.empty(), mismatch.c_str());
        }
        // A later source over the same page hears from its first request on.
        WebPageSource next(view.page());
        QCOMPARE(loadAsTheRunSeesIt(next, engine, "/baidu?word=busy&pn=0").retryAfter, std::string("3"));
    }
};

VELLUMAX_TEST_MAIN(WebPageSourceTest)
#include "web_page_source_test.moc"
