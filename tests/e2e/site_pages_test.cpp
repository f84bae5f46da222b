// The pages of results' own sites over the real browser engine, against a
// stand-in site on the loopback: what each kind of page gives, what a page
// is not let do, and the reuse of the pages.
#include "browser/site_pages.h"
#include "stand_in_site.h"
#include "text/gbk_codec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <optional>

using namespace vellumax;
using namespace vellumax::test;

namespace {

const char* const kDownloadName = "vellumax-stand-in.bin";

StandInSite::Answer gbkPage(const std::string& utf8Markup)
{
    return {200, "text/html; charset=gbk", {}, gbk("<html><head><title>联系我们</title></head><body>" + utf8Markup)};
}

void serveEveryKindOfPage(StandInSite& site)
{
    StandInSite::Answer contact = gbkPage(
        "<table><tr><td>传真：</td><td>0512-12345678</td></tr></table>"
        "<p>传真</p><p>0574-87654321</p><img src=\"/logo.png\">"
        "<a href=\"/about\">关于&nbsp;我们</a></body></html>");
    site.answer("/contact", contact);
    site.answer("/moved", {302, "text/html", "Location: /contact\r\n", {}});
    site.answer("/slow", {200, "text/html; charset=utf-8", {}, "<html><body><p>传真：0512-11111111</p>", true});
    site.answer("/silent", {200, "text/html", {}, {}, true});
    site.answer("/download", {200, "application/octet-stream",
                              std::string("Content-Disposition: attachment; filename=\"") + kDownloadName + "\"\r\n",
                              std::string(4096, 'x')});
    site.answer("/popup", {200, "text/html", {}, R"(<html><body><p id="r"></p><script>
        var w = window.open('/opened');
        alert('hello');
        var c = confirm('sure?');
        var p = prompt('name?', 'given');
        document.getElementById('r').textContent = 'window=' + w + ' confirm=' + c + ' prompt=' + p;
        </script></body></html>)"});
    // Still loading when the answer comes: a page that has loaded is read and
    // left at once. (No geolocation here: with no position source the engine
    // never asks.)
    StandInSite::Answer notify;
    notify.body = R"(<html><body><p>notify</p><script>
        Notification.requestPermission().then(function (p) { fetch('/notify-answer?' + p); });
        </script>)";
    notify.hang = true;
    site.answer("/notify", notify);
    site.answer("/plugins", {200, "text/html", {}, R"(<html><body><p id="r"></p><script>
        document.getElementById('r').textContent =
            'plugins=' + navigator.plugins.length + ' pdf=' + navigator.pdfViewerEnabled;
        </script></body></html>)"});
    site.answer("/to-file", {302, "text/html", "Location: file:///etc/hostname\r\n", {}});
    site.answer("/plain", {200, "text/plain; charset=gbk", {}, gbk("传真：0512-12345678")});
    std::string line;
    for (int i = 0; i < 50; ++i)
        line += "传真";
    std::string big = "<html><body><pre>";
    for (int i = 0; i < 15'000; ++i) // 1.5 M characters: 3 MB of GBK
        big += line + "\n";
    site.answer("/big", {200, "text/html; charset=utf-8", {}, big + "</pre></body></html>"});
}

std::string downloadedFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
        .filePath(QString::fromLatin1(kDownloadName))
        .toStdString();
}

} // namespace

class SitePagesTest : public QObject {
    Q_OBJECT
private slots:
    void whatEachPageGives_data()
    {
        QTest::addColumn<QString>("url"); // a path of the stand-in site, or a whole address
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("finalPath");
        QTest::addColumn<QStringList>("texts"); // UTF-8, each in the text
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QStringList>("neverRequested");

        const QStringList none;
        // A table row's cells come tab-separated on one line; paragraphs on
        // neighbouring lines, without the empty line between them.
        QTest::newRow("contact page") << "/contact" << 20000 << true << ""
                                      << "/contact" << QStringList{"传真：\t0512-12345678", "传真\r\n0574-87654321"}
                                      << none << QStringList{"/logo.png"};
        QTest::newRow("redirect") << "/moved" << 20000 << true << ""
                                  << "/contact" << QStringList{"0574-87654321"} << QStringList{"/moved"} << none;
        QTest::newRow("never finishes, shows a text") << "/slow" << 1500 << true << ""
                                                      << "/slow" << QStringList{"传真：0512-11111111"} << none << none;
        QTest::newRow("never finishes, shows nothing") << "/silent" << 1500 << false << "Nothing shown"
                                                       << "/silent" << none << none << none;
        QTest::newRow("download") << "/download" << 20000 << false << "download"
                                  << "" << none << QStringList{"/download"} << none;
        QTest::newRow("pop-up and dialogs")
            << "/popup" << 20000 << true << ""
            << "/popup" << QStringList{"window=null confirm=false prompt=null"} << none << QStringList{"/opened"};
        QTest::newRow("permission request")
            << "/notify" << 2000 << true << ""
            << "/notify" << QStringList{"notify"} << QStringList{"/notify-answer?denied"}
            << QStringList{"/notify-answer?granted"};
        QTest::newRow("plugins") << "/plugins" << 20000 << true << ""
                                 << "/plugins" << QStringList{"plugins=0 pdf=false"} << none << none;
        QTest::newRow("redirect to a local file") << "/to-file" << 20000 << false << ""
                                                  << "" << none << QStringList{"/to-file"} << none;
        QTest::newRow("404") << "/missing" << 20000 << false << "404"
                             << "" << none << QStringList{"/missing"} << none;
        QTest::newRow("plain text") << "/plain" << 20000 << false << "Not a web page"
                                    << "" << none << none << none;
        QTest::newRow("local file") << "file:///etc/hostname" << 20000 << false << "Not an http"
                                    << "" << none << none << none;
        QTest::newRow("javascript") << "javascript:alert(1)" << 20000 << false << "Not an http"
                                    << "" << none << none << none;
    }

    void whatEachPageGives()
    {
        QFETCH(QString, url);
        QFETCH(int, timeoutMs);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        QFETCH(QString, finalPath);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, requested);
        QFETCH(QStringList, neverRequested);

        StandInSite site;
        serveEveryKindOfPage(site);
        SitePages pages(2);
        const std::string address = url.startsWith('/') ? site.url(url.toStdString()) : url.toStdString();
        std::optional<SitePageRead> read;
        int calls = 0;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(pages.load(
            address, [&](SitePageRead r) { read = std::move(r), ++calls; }, timeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        if (timeoutMs < 20000)
            QVERIFY(clock.elapsed() >= timeoutMs);

        QVERIFY2(read->ok == ok, read->error.c_str());
        QVERIFY2(read->error.find(error.toStdString()) != std::string::npos, read->error.c_str());
        if (!finalPath.isEmpty())
            QCOMPARE(read->finalUrl, site.url(finalPath.toStdString()));
        for (const QString& text : texts)
            QVERIFY2(read->text.find(gbk(text.toStdString())) != std::string::npos, text.toUtf8().constData());
        for (const QString& path : requested)
            QTRY_VERIFY2_WITH_TIMEOUT(site.requested(path.toStdString()), path.toUtf8().constData(), 10000);
        // A little longer, for whatever the page was not to do.
        QTest::qWait(300);
        for (const QString& path : neverRequested)
            QVERIFY2(!site.requested(path.toStdString()), path.toUtf8().constData());
        QCOMPARE(calls, 1);
        QTRY_COMPARE(pages.freePages(), 2);
        // Nothing of a download is written, whenever the engine offers it.
        QTest::qWait(300);
        QVERIFY(!QFile::exists(QString::fromStdString(downloadedFile())));
    }

    // A page taken again soon after its answer: the next load starts while
    // the blank page that frees it still loads. Its end, or its download, is
    // still its own, told at once and not at the time limit.
    void aPageLoadedAgainAtOnceIsToldOnItsEnd()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        SitePages pages(1);
        std::vector<SitePageRead> reads;
        const std::vector<std::string> next = {site.url("/missing"), site.url("/download"), site.url("/contact")};
        std::function<void(SitePageRead)> done = [&](SitePageRead read) {
            reads.push_back(std::move(read));
            // A moment later, as when the next load waits for its site's
            // robots.txt: the blank page has begun to load.
            if (reads.size() <= next.size())
                QTimer::singleShot(2, [&, url = next[reads.size() - 1]] { pages.load(url, done); });
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(pages.load(site.url("/contact"), done));
        QTRY_COMPARE_WITH_TIMEOUT(reads.size(), size_t(4), 30000);
        QVERIFY(clock.elapsed() < SitePages::kLoadTimeoutMs);
        QVERIFY(reads[0].ok && !reads[1].ok && !reads[2].ok && reads[3].ok);
        QVERIFY2(reads[1].error.find("404") != std::string::npos, reads[1].error.c_str());
        QVERIFY2(reads[2].error.find("download") != std::string::npos, reads[2].error.c_str());
    }

    void titleAndLinks()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        SitePages pages(1);
        std::optional<SitePageRead> read;
        QVERIFY(pages.load(site.url("/contact"), [&](SitePageRead r) { read = std::move(r); }));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QCOMPARE(read->title, gbk("联系我们"));
        using Link = std::pair<std::string, std::string>;
        QCOMPARE(read->links, std::vector<Link>{Link(gbk("关于 我们"), site.url("/about"))});
    }

    void aTextTooLongIsCut()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        SitePages pages(1);
        std::optional<SitePageRead> read;
        QVERIFY(pages.load(site.url("/big"), [&](SitePageRead r) { read = std::move(r); }));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QVERIFY(read->ok);
        QVERIFY(read->text.size() <= SitePages::kMaxTextBytes);
        QVERIFY(read->text.size() >= SitePages::kMaxTextBytes - 2);
        // Cut between characters: the text ends in a whole one.
        QVERIFY(utf8FromGbk(read->text.substr(read->text.size() - 2)) == "传" ||
                utf8FromGbk(read->text.substr(read->text.size() - 2)) == "真" || read->text.back() == '\n');
    }

    // More loads than pages: a load finds no page while all are busy, and
    // every page is free again once its answer is told, also to a load made
    // from within an answer.
    void pagesAreReused()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        SitePages pages(2);
        QCOMPARE(pages.freePages(), 2);
        int answered = 0;
        int ok = 0;
        int queued = 5;
        std::function<void(SitePageRead)> next = [&](SitePageRead r) {
            ++answered;
            ok += r.ok && r.text.find(gbk("0512-11111111")) != std::string::npos;
            if (queued > 0 && pages.load(site.url("/slow"), next, 800))
                --queued;
        };
        QVERIFY(pages.load(site.url("/slow"), next, 800));
        QVERIFY(pages.load(site.url("/contact"), next, 800));
        QCOMPARE(pages.freePages(), 0);
        QVERIFY(!pages.load(site.url("/contact"), next, 800));
        QTRY_COMPARE_WITH_TIMEOUT(answered, 7, 30000);
        QCOMPARE(queued, 0);
        QCOMPARE(ok, 6); // all but the contact page hold that number
        QTRY_COMPARE(pages.freePages(), 2);
    }

    // A site never sees the engine's cookies, nor the engine a site's: the
    // window's pane has the default profile.
    void cookiesStayApartFromTheEngines()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        site.answer("/engine-sets", {200, "text/html", "Set-Cookie: from=engine; Path=/\r\n", "<p>engine</p>"});
        site.answer("/site-sets", {200, "text/html", "Set-Cookie: from=site; Path=/\r\n", "<p>site</p>"});
        QWebEnginePage engine(QWebEngineProfile::defaultProfile());
        QSignalSpy loaded(&engine, &QWebEnginePage::loadFinished);
        SitePages pages(1);
        int answered = 0;
        const auto count = [&](SitePageRead) { ++answered; };

        engine.load(QUrl(QString::fromStdString(site.url("/engine-sets"))));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
        QVERIFY(pages.load(site.url("/contact"), count));
        QTRY_COMPARE_WITH_TIMEOUT(answered, 1, 20000);
        QCOMPARE(site.cookieOf("/contact"), "");

        QVERIFY(pages.load(site.url("/site-sets"), count));
        QTRY_COMPARE_WITH_TIMEOUT(answered, 2, 20000);
        QVERIFY(pages.load(site.url("/contact"), count));
        QTRY_COMPARE_WITH_TIMEOUT(answered, 3, 20000);
        QCOMPARE(site.cookieOf("/contact"), "from=site");
        engine.load(QUrl(QString::fromStdString(site.url("/moved"))));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, 20000);
        QCOMPARE(site.cookieOf("/moved"), "from=engine");
    }

    // A page whose script never gives the engine back its thread is left
    // unread, and its page serves the next load.
    void aPageThatNeverAnswersIsLeft()
    {
        StandInSite site;
        serveEveryKindOfPage(site);
        site.answer("/busy",
                    {200, "text/html", {}, "<html><body><p>busy</p><script>for (;;) {}</script></body></html>"});
        SitePages pages(1);
        std::optional<SitePageRead> read;
        QVERIFY(pages.load(
            site.url("/busy"), [&](SitePageRead r) { read = std::move(r); }, 1000));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QVERIFY(!read->ok);
        QTRY_COMPARE(pages.freePages(), 1);
        read.reset();
        QVERIFY(pages.load(site.url("/contact"), [&](SitePageRead r) { read = std::move(r); }));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QVERIFY2(read->ok, read->error.c_str());
        QVERIFY(read->text.find(gbk("0574-87654321")) != std::string::npos);
    }

    void cutGbkKeepsWholeCharacters_data()
    {
        QTest::addColumn<QString>("utf8");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("expected");

        QTest::newRow("short enough") << "ab传" << 4 << "ab传";
        QTest::newRow("at a boundary") << "a传真" << 3 << "a传";
        QTest::newRow("inside a character") << "a传真" << 4 << "a传";
        QTest::newRow("ASCII") << "abcdef" << 3 << "abc";
    }

    void cutGbkKeepsWholeCharacters()
    {
        QFETCH(QString, utf8);
        QFETCH(int, maxBytes);
        QFETCH(QString, expected);
        QCOMPARE(cutGbk(gbk(utf8.toStdString()), maxBytes), gbk(expected.toStdString()));
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    SitePagesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "site_pages_test.moc"
