// The site loader against a stand-in site on the loopback: what a robots.txt
// fetch answers for each kind of answer and redirect, and that neither the
// fetch nor a page nor anything a page asks for reaches an address the run
// may not open.
#include "browser/web_site_loader.h"
#include "search/robots_rules.h"
#include "stand_in_site.h"

#include <QGuiApplication>
#include <QTest>
#include <memory>
#include <optional>

using namespace vellumax;
using namespace vellumax::test;

namespace {

const std::string kRobots = "User-agent: *\nDisallow: /private\n";

StandInSite::Answer redirect(int status, const std::string& location, const std::string& headers = {})
{
    return {status, "text/html", "Location: " + location + "\r\n" + headers, "<p>moved</p>"};
}

void serveRobots(StandInSite& site)
{
    site.answer("/robots.txt", {200, "text/plain", {}, kRobots});
    site.answer("/busy", {503, "text/plain", "Retry-After: 60\r\n", "busy"});
    site.answer("/hang", {200, "text/plain", {}, "User-agent: *\n", true});
    site.answer("/big", {200, "text/plain", {}, std::string(kRobotsBodyLimit + 100'000, '#')});
    site.answer("/moved", redirect(301, "/robots.txt", "Set-Cookie: seen=1; Path=/\r\n"));
    site.answer("/moved-whole", redirect(308, site.url("/robots.txt")));
    site.answer("/to-private", redirect(302, "http://10.0.0.1/robots.txt"));
    site.answer("/to-localhost", redirect(302, site.urlAt("localhost", "/robots.txt")));
    site.answer("/to-file", redirect(302, "file:///etc/hostname"));
    // /r1 is six redirects away from the file, /r2 five.
    for (int i = 1; i <= 5; ++i)
        site.answer("/r" + std::to_string(i), redirect(302, "/r" + std::to_string(i + 1)));
    site.answer("/r6", redirect(307, "/robots.txt"));
}

// Where a site's page must not reach: the stand-in under the name of this
// machine, which only the guard keeps apart from the loopback address.
void servePagesThatReachOut(StandInSite& site)
{
    const auto local = [&](const std::string& path) { return site.urlAt("localhost", path); };
    site.answer("/contact", {200, "text/html", {}, "<p>fax 0512-12345678</p>"});
    site.answer("/reaching", {200,
                              "text/html",
                              {},
                              "<html><head><link rel=\"stylesheet\" href=\"" + local("/style.css") +
                                  "\"><script src=\"" + local("/script.js") +
                                  "\"></script></head><body><p>page</p>"
                                  "<iframe src=\"" +
                                  local("/frame") +
                                  "\"></iframe><iframe src=\"/frame-moved\"></iframe><script>"
                                  "fetch('" +
                                  local("/fetch") +
                                  "').catch(function () {});"
                                  "var x = new XMLHttpRequest(); x.open('GET', '" +
                                  local("/xhr") +
                                  "'); x.send();"
                                  "fetch('/allowed');"
                                  "</script></body></html>"});
    site.answer("/frame-moved", redirect(302, local("/moved-frame")));
    site.answer("/page-moved", redirect(302, local("/contact")));
}

} // namespace

class WebSiteLoaderTest : public QObject {
    Q_OBJECT
private slots:
    void robotsAnswers_data()
    {
        QTest::addColumn<QString>("url"); // a path of the stand-in site, or a whole address
        QTest::addColumn<bool>("loopbackAllowed");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QStringList>("neverRequested");

        const QStringList none;
        const QByteArray robots = QByteArray::fromStdString(kRobots);
        QTest::newRow("200") << "/robots.txt" << true << 200 << robots << QStringList{"/robots.txt"} << none;
        QTest::newRow("404 with its body")
            << "/missing" << true << 404 << QByteArray("<p>not here</p>") << QStringList{"/missing"} << none;
        QTest::newRow("503 with its body")
            << "/busy" << true << 503 << QByteArray("busy") << QStringList{"/busy"} << none;
        QTest::newRow("time-out") << "/hang" << true << 0 << QByteArray() << QStringList{"/hang"} << none;
        QTest::newRow("longer than the rules read")
            << "/big" << true << 200 << QByteArray(qsizetype(kRobotsBodyLimit), '#') << QStringList{"/big"} << none;
        QTest::newRow("relative redirect")
            << "/moved" << true << 200 << robots << QStringList{"/moved", "/robots.txt"} << none;
        QTest::newRow("absolute redirect")
            << "/moved-whole" << true << 200 << robots << QStringList{"/moved-whole", "/robots.txt"} << none;
        QTest::newRow("five redirects") << "/r2" << true << 200 << robots << QStringList{"/r2", "/r6", "/robots.txt"}
                                        << none;
        QTest::newRow("six redirects") << "/r1" << true << 0 << QByteArray() << QStringList{"/r1", "/r6"}
                                       << QStringList{"/robots.txt"};
        QTest::newRow("redirect to a private address")
            << "/to-private" << true << 0 << QByteArray() << QStringList{"/to-private"} << none;
        QTest::newRow("redirect to localhost") << "/to-localhost" << true << 0 << QByteArray()
                                               << QStringList{"/to-localhost"} << QStringList{"/robots.txt"};
        QTest::newRow("redirect to a file")
            << "/to-file" << true << 0 << QByteArray() << QStringList{"/to-file"} << none;
        QTest::newRow("loopback refused")
            << "/robots.txt" << false << 0 << QByteArray() << none << QStringList{"/robots.txt"};
        QTest::newRow("localhost") << "localhost" << true << 0 << QByteArray() << none << QStringList{"/robots.txt"};
        QTest::newRow("not http") << "ftp://127.0.0.1/robots.txt" << true << 0 << QByteArray() << none << none;
        QTest::newRow("nothing listening")
            << "http://127.0.0.1:1/robots.txt" << true << 0 << QByteArray() << none << none;
    }

    void robotsAnswers()
    {
        QFETCH(QString, url);
        QFETCH(bool, loopbackAllowed);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, requested);
        QFETCH(QStringList, neverRequested);

        StandInSite site;
        serveRobots(site);
        WebSiteLoader loader("", loopbackAllowed ? LoopbackSites::Allowed : LoopbackSites::Refused, 1);
        loader.setRobotsTimeoutMs(1000);
        std::string address = url.toStdString();
        if (url.startsWith('/'))
            address = site.url(address);
        else if (url == QLatin1String("localhost"))
            address = site.urlAt("localhost", "/robots.txt");
        int calls = 0;
        std::optional<std::pair<int, std::string>> answer;
        loader.fetchRobots(address, [&](int httpStatus, std::string text) {
            ++calls;
            answer.emplace(httpStatus, std::move(text));
        });
        QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), 20000);

        QCOMPARE(answer->first, status);
        QCOMPARE(QByteArray::fromStdString(answer->second), body);
        for (const QString& path : requested) {
            QVERIFY2(site.requested(path.toStdString()), path.toUtf8().constData());
            const std::string agent = site.headerOf(path.toStdString(), "User-Agent");
            QVERIFY2(agent.find(kRobotsProductToken) != std::string::npos, agent.c_str());
            // Not even the cookie the site set on the way.
            QCOMPARE(site.cookieOf(path.toStdString()), "");
        }
        // A little longer, for whatever was not to come.
        QTest::qWait(300);
        for (const QString& path : neverRequested)
            QVERIFY2(!site.requested(path.toStdString()), path.toUtf8().constData());
        QCOMPARE(calls, 1);
    }

    // Neither an answer under way nor one already had but not yet told.
    void noAnswerOnceTheLoaderIsGone()
    {
        StandInSite site;
        serveRobots(site);
        int calls = 0;
        auto loader = std::make_unique<WebSiteLoader>("", LoopbackSites::Allowed, 1);
        const auto count = [&](int, std::string) { ++calls; };
        loader->fetchRobots(site.url("/hang"), count);
        QTRY_VERIFY_WITH_TIMEOUT(site.requested("/hang"), 10000);
        loader->fetchRobots(site.urlAt("localhost", "/robots.txt"), count); // refused, told from the event loop
        loader.reset();
        QTest::qWait(300);
        QCOMPARE(calls, 0);
    }

    void aPageReachesNoRefusedAddress_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("loopbackAllowed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QStringList>("neverRequested");

        QTest::newRow("the page itself") << "/contact" << false << false << QStringList{} << QStringList{"/contact"};
        QTest::newRow("a redirect of the page")
            << "/page-moved" << true << false << QStringList{"/page-moved"} << QStringList{"/contact"};
        // What the page asks for once it is there: /allowed tells that its
        // scripts ran.
        QTest::newRow("what the page holds")
            << "/reaching" << true << true << QStringList{"/reaching", "/allowed", "/frame-moved"}
            << QStringList{"/style.css", "/script.js", "/frame", "/moved-frame", "/fetch", "/xhr"};
    }

    void aPageReachesNoRefusedAddress()
    {
        QFETCH(QString, path);
        QFETCH(bool, loopbackAllowed);
        QFETCH(bool, ok);
        QFETCH(QStringList, requested);
        QFETCH(QStringList, neverRequested);

        StandInSite site;
        servePagesThatReachOut(site);
        WebSiteLoader loader("", loopbackAllowed ? LoopbackSites::Allowed : LoopbackSites::Refused, 1);
        std::optional<SitePageRead> read;
        QVERIFY(loader.loadPage(site.url(path.toStdString()), [&](SitePageRead r) { read = std::move(r); }));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QVERIFY2(read->ok == ok, read->error.c_str());
        for (const QString& each : requested)
            QTRY_VERIFY2_WITH_TIMEOUT(site.requested(each.toStdString()), each.toUtf8().constData(), 10000);
        QTest::qWait(500);
        for (const QString& each : neverRequested)
            QVERIFY2(!site.requested(each.toStdString()), each.toUtf8().constData());
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    WebSiteLoaderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_site_loader_test.moc"
