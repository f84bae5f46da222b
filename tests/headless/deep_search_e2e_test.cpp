// A headless search with each result's own site read, through the real
// browser engine, against the fixture engine and a stand-in web of sites on
// this machine's loopback addresses: what each site is asked for and when,
// what it gives, and that the engine is asked exactly what it is without
// the sites.
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "stand_in_site.h"
#include "text/gbk_codec.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

using namespace vellumax;
using namespace vellumax::test;

namespace {

std::string page(const std::string& title, const std::string& body)
{
    return "<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" + body + "</body></html>";
}

StandInSite::Answer html(const std::string& body, int delayMs = 0)
{
    StandInSite::Answer answer;
    answer.body = body;
    answer.delayMs = delayMs;
    return answer;
}

std::string resultBlock(const std::string& title, const std::string& mu, const std::string& text)
{
    return FixtureEngine::rawHtml("<div class=\"result c-container\" mu=\"" + mu +
                                  "\"><h3 class=\"t\"><a href=\"/link?url=x\">" + title +
                                  "</a></h3><div class=\"c-abstract\">" + text + "</div></div>");
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DeepSearchTest : public QObject {
    Q_OBJECT

private slots:
    void sitesAreReadPolitelyBesideTheEnginesUnchangedRequests()
    {
        // Seven hosts: 127.0.0.2 to 127.0.0.8.
        std::vector<std::unique_ptr<StandInSite>> sites;
        for (int i = 2; i <= 8; ++i)
            sites.push_back(std::make_unique<StandInSite>("127.0.0." + std::to_string(i)));
        StandInSite& a = *sites[0]; // two results, slow pages: one at a time
        StandInSite& b = *sites[1]; // the fax behind its contact link
        StandInSite& c = *sites[2]; // robots.txt forbids the result's path
        StandInSite& d = *sites[3]; // a redirect
        StandInSite& e = *sites[4]; // never finishes loading
        StandInSite& f = *sites[5]; // a download, and a pop-up
        StandInSite& g = *sites[6]; // fails, twice: left alone
        a.answer("/",
                 html(page("甲机械有限公司", "<table><tr><td>传真：</td><td>0512-66660001</td></tr></table>"), 300));
        a.answer("/about.html", html(page("甲机械-关于我们", "<p>传真</p><p>0512-66660006</p>"), 300));
        b.answer("/", html(page("乙公司首页", "<p>欢迎</p><a href=\"/lxwm.html\">联系我们</a>")));
        b.answer("/lxwm.html", html(page("乙公司-联系方式", "<p>传真</p><p>0574-66660002</p>")));
        c.answer("/robots.txt", {200, "text/plain", {}, "User-agent: *\nDisallow: /private/\n"});
        c.answer("/private/x.html", html(page("丙", "传真：0571-66660007")));
        d.answer("/old", {302, "text/html", "Location: /new.html\r\n", ""});
        d.answer("/new.html", html(page("丁公司", "FAX: 0755-66660003")));
        StandInSite::Answer hang =
            html("<html><head><meta charset=\"utf-8\"><title>戊</title></head><body><p>传真：010-66660004</p>");
        hang.hang = true;
        e.answer("/", hang);
        f.answer("/file.zip", {200, "application/zip", "Content-Disposition: attachment; filename=a.zip\r\n", "PK"});
        f.answer("/popup.html", html(page("己公司", "<script>window.open('" + a.url("/popped") +
                                                        "');alert('x');</script><p>传真：021-66660005</p>")));
        g.answer("/1", {500, "text/html", {}, "down"});
        g.answer("/2", {500, "text/html", {}, "down"});

        const std::vector<std::string> firstPage = {
            resultBlock("甲机械有限公司", a.url("/"), "甲机械 电话：0512-1"),
            resultBlock("乙公司", b.url("/"), "乙公司 传真：0574-66660009"),
            resultBlock("丙", c.url("/private/x.html"), "丙"),
            resultBlock("丁公司", d.url("/old"), "丁"),
            resultBlock("戊", e.url("/"), "戊"),
            resultBlock("己下载", f.url("/file.zip"), "己"),
            resultBlock("己公司", f.url("/popup.html"), "己"),
            resultBlock("庚1", g.url("/1"), "庚"),
        };
        const std::vector<std::string> secondPage = {
            resultBlock("甲机械-关于我们", a.url("/about.html"), "甲"),
            resultBlock("庚2", g.url("/2"), "庚"),
            resultBlock("庚3", g.url("/3"), "庚"),
        };
        FixtureEngine engine([&](const std::string&, int pn) {
            return FixtureEngine::resultPage(pn == 0 ? firstPage : secondPage, pn, pn == 0);
        });

        const auto run = [&](bool deep, QTemporaryDir& dir) {
            QFile keywords(dir.filePath("k.txt"));
            keywords.open(QIODevice::WriteOnly);
            keywords.write(QByteArray::fromStdString(gbk("机械\r\n")));
            keywords.close();
            cli::SearchOptions options;
            options.interval = 1;
            options.deduplicate = true;
            options.deep = deep;
            options.keywordFile = keywords.fileName().toStdString();
            options.output = dir.filePath("numbers.txt").toStdString();
            options.tableFile = dir.filePath("table.csv").toStdString();
            options.tableUtf8 = true;
            HeadlessServices services;
            services.endpoint = engine.endpoint();
            services.localAddressText = [] { return std::string("192.0.2.7"); };
            services.loopbackSites = LoopbackSites::Allowed;
            services.terminal = false;
            std::FILE* log = std::fopen(dir.filePath("log.txt").toLocal8Bit().constData(), "w");
            services.messages = log;
            FastPacedSearch search(options, services);
            const int exitCode = search.run();
            std::fclose(log);
            return exitCode;
        };

        QTemporaryDir plainDir, deepDir;
        QCOMPARE(run(false, plainDir), 0);
        const std::vector<std::string> plainRequests = engine.paths();
        QCOMPARE(run(true, deepDir), 0);
        const std::vector<std::string> deepRequests(engine.paths().begin() + plainRequests.size(),
                                                    engine.paths().end());
        QCOMPARE(deepRequests, plainRequests);
        if (qEnvironmentVariableIsSet("VELLUMAX_SHOW_RUN")) {
            std::printf("engine requests:\n");
            for (const std::string& path : deepRequests)
                std::printf("  %s\n", path.c_str());
            for (const auto& site : sites)
                for (const auto& s : site->served())
                    std::printf("%s%s %lld..%lld\n", site->address().c_str(), s.path.c_str(),
                                static_cast<long long>(s.arrivedMs), static_cast<long long>(s.endedMs));
            std::printf("%s\n%s\n", readAll(deepDir.filePath("numbers.txt")).constData(),
                        readAll(deepDir.filePath("table.csv")).constData());
            std::printf("%s\n", readAll(deepDir.filePath("log.txt")).constData());
        }

        const QString numbers = QString::fromLatin1(readAll(deepDir.filePath("numbers.txt")));
        for (const char* number : {"0574-66660009", "0512-66660001", "0512-66660006", "0574-66660002", "0755-66660003",
                                   "010-66660004", "021-66660005"})
            QVERIFY2(numbers.contains(QLatin1String(number)), number);
        QVERIFY(!numbers.contains(QLatin1String("0571-66660007")));
        QCOMPARE(numbers.count(QLatin1Char('\n')), 7);

        const QString table = QString::fromUtf8(readAll(deepDir.filePath("table.csv")));
        for (const QString& row :
             {QStringLiteral(",乙公司 传真：0574-66660009,乙公司,") + QString::fromStdString(b.url("/")),
              QStringLiteral(",乙公司-联系方式,") + QString::fromStdString(b.url("/lxwm.html")),
              QStringLiteral(",丁公司,") + QString::fromStdString(d.url("/new.html"))})
            QVERIFY2(table.contains(row), qPrintable(row + "\n" + table));

        // Each host: its robots.txt once and first, then one page at a time;
        // nothing its robots.txt forbids, no pop-up, and no third try of a
        // host that failed twice.
        for (const auto& site : sites) {
            const auto& served = site->served();
            QVERIFY(!served.empty());
            QCOMPARE(served.front().path, std::string("/robots.txt"));
            QCOMPARE(std::count_if(served.begin(), served.end(), [](const auto& s) { return s.path == "/robots.txt"; }),
                     1);
            for (size_t i = 2; i < served.size(); ++i)
                QVERIFY2(served[i].arrivedMs >= served[i - 1].endedMs && served[i - 1].endedMs >= 0,
                         qPrintable(QString::fromStdString(site->address() + served[i].path)));
        }
        QVERIFY(!c.requested("/private/x.html"));
        QVERIFY(!a.requested("/popped"));
        QVERIFY(!g.requested("/3"));
        QVERIFY(b.requested("/lxwm.html"));

        const QString log = QString::fromUtf8(readAll(deepDir.filePath("log.txt")));
        QVERIFY2(log.contains(QStringLiteral("网站: 已读 ")), qPrintable(log));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    DeepSearchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "deep_search_e2e_test.moc"
