// The result blocks of the engine's page as the page source reads them over
// the real browser engine, from markup as saved result pages show it: which
// elements are blocks, and what each gives, through both reads.
#include "browser/headless_browser.h"
#include "browser/web_page_source.h"
#include "read_now.h"
#include "stand_in_site.h"
#include "text/gbk_codec.h"

#include <QGuiApplication>
#include <QTest>

using namespace vellumax;
using namespace vellumax::test;

namespace {

// A result as today's pages carry it: the landing page in `mu`, the title
// link through the engine's redirect.
const char* const kTodaysResult =
    R"(<div class="result c-container new-pmd" id="1" srcid="1599" tpl="se_com_default" )"
    R"(mu="https://www.example.cn/lxwm.html" data-click="{'rsv_bdr':'0'}">)"
    R"(<h3 class="t c-title"><a data-click="{'F':'778317EA'}" href="http://www.engine.test/link?url=Ab3dE" )"
    R"(target="_blank"><em>苏州</em>某某机械有限公司 - 联系我们</a></h3>)"
    R"(<div class="c-abstract"><span class=" newTimeFactor_before_abs m">2023年5月8日&nbsp;-&nbsp;</span>)"
    R"(地址:苏州工业园区 电话:0512-66666666&nbsp;传真:&#8203;0512-12345678</div>)"
    R"(<div class="f13 c-gap-top-xsmall se_st_footer"><a class="c-showurl" href="http://www.engine.test/link?url=Ab3dE">)"
    R"(www.example.cn/lxwm.html</a></div></div>)";

} // namespace

class ResultBlocksTest : public QObject {
    Q_OBJECT
private slots:
    void blocksOfAPage_data()
    {
        QTest::addColumn<QString>("body"); // markup; {site} is the stand-in's address
        QTest::addColumn<int>("count");
        // title, titleHref, mu, text (UTF-8) of the first blocks, four a block
        QTest::addColumn<QStringList>("blocks");

        QTest::newRow("today's result") << QString::fromUtf8(kTodaysResult) << 1
                                        << QStringList{"苏州某某机械有限公司 - 联系我们",
                                                       "http://www.engine.test/link?url=Ab3dE",
                                                       "https://www.example.cn/lxwm.html",
                                                       "苏州某某机械有限公司 - 联系我们\r\n2023年5月8日 - "
                                                       "地址:苏州工业园区 电话:0512-66666666 传真:0512-12345678\r\n"
                                                       "www.example.cn/lxwm.html"};
        QTest::newRow("title link to the site, no mu")
            << R"(<div class="result c-container"><h3 class="t"><a href="http://www.other.com.cn/contact.html">)"
               R"(上海某某贸易</a></h3><div class="c-abstract">传真:021-87654321<br>电话:021-1</div></div>)"
            << 1
            << QStringList{"上海某某贸易", "http://www.other.com.cn/contact.html", "",
                           "上海某某贸易\r\n传真:021-87654321\r\n电话:021-1"};
        QTest::newRow("title link through a relative redirect, a block of another kind")
            << R"(<div class="result-op c-container xpath-log" mu="http://nourl.engine.test/?id=1">)"
               R"(<h3 class="t"><a href="/link?url=Rel">百科</a></h3><p>传真机</p></div>)"
            << 1 << QStringList{"百科", "{site}/link?url=Rel", "http://nourl.engine.test/?id=1", "百科\r\n\r\n传真机"};
        QTest::newRow("a nested block counts as its outer block's")
            << R"(<div class="c-container" mu="https://a.example.cn/"><h3><a href="https://a.example.cn/">)"
               R"(外</a></h3><div class="result c-container" mu="https://b.example.cn/"><h3><a )"
               R"(href="https://b.example.cn/">内</a></h3></div></div>)"
               R"(<div class="result"><h3>无链接</h3>传真:0755-1</div><div class="result">没有标题</div>)"
            << 3
            << QStringList{"外",
                           "https://a.example.cn/",
                           "https://a.example.cn/",
                           "外\r\n内",
                           "无链接",
                           "",
                           "",
                           "无链接\r\n传真:0755-1",
                           "",
                           "",
                           "",
                           "没有标题"};
        QTest::newRow("neither other classes nor other elements")
            << R"(<div class="results"><h3>a</h3></div><p class="result">b</p><div class="c-abstract">c</div>)" << 0
            << QStringList{};
        QTest::newRow("a page without blocks")
            << R"(<div>第 1 页搜索结果</div><div>传真:0512-12345678</div>)" << 0 << QStringList{};
        QString many;
        for (int i = 0; i < 105; ++i)
            many += QStringLiteral(R"(<div class="result"><h3><a href="/%1">%1</a></h3></div>)").arg(i);
        QTest::newRow("at most 100") << many << 100 << QStringList{"0", "{site}/0", "", "0"};
    }

    void blocksOfAPage()
    {
        QFETCH(QString, body);
        QFETCH(int, count);
        QFETCH(QStringList, blocks);

        StandInSite site;
        const QString origin = QString::fromStdString(site.url(""));
        site.answer("/s", {200,
                           "text/html; charset=utf-8",
                           {},
                           "<html><head><title>结果</title></head><body>" +
                               body.replace(QLatin1String("{site}"), origin).toStdString() + "</body></html>"});
        HeadlessBrowser browser;
        WebPageSource source(browser.page());
        source.RequestPage(site.url("/s"));
        QTRY_VERIFY_WITH_TIMEOUT(source.lastLoad().outcome != PageLoad::Outcome::Loading, 20000);
        QCOMPARE(int(source.lastLoad().outcome), int(PageLoad::Outcome::Loaded));

        for (const bool withLinks : {false, true}) {
            const PageRead read = readNow(source, withLinks);
            QVERIFY2(read.error.empty(), read.error.c_str());
            QCOMPARE(int(read.page.blocks.size()), count);
            for (qsizetype i = 0; i + 3 < blocks.size(); i += 4) {
                const PageBlock& block = read.page.blocks[size_t(i / 4)];
                const auto expected = [&](qsizetype field) {
                    return blocks[i + field].replace(QLatin1String("{site}"), origin);
                };
                QCOMPARE(QString::fromStdString(utf8FromGbk(block.title)), expected(0));
                QCOMPARE(QString::fromStdString(block.titleHref), expected(1));
                QCOMPARE(QString::fromStdString(block.mu), expected(2));
                QCOMPARE(QString::fromStdString(utf8FromGbk(block.text)), expected(3));
            }
        }
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ResultBlocksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "result_blocks_test.moc"
