// Contact blocks as company sites lay them out, loaded in the site pages and
// read with the wide reading: a label and its number in neighbouring cells,
// items or paragraphs read as one.
#include "browser/site_pages.h"
#include "search/result_list.h"
#include "search/wide_reading.h"
#include "stand_in_site.h"
#include "text/gbk_codec.h"

#include <QGuiApplication>
#include <QTest>
#include <optional>

using namespace vellumax;
using namespace vellumax::test;

class SiteLayoutsTest : public QObject {
    Q_OBJECT
private slots:
    void labelAndNumberReadAsOne_data()
    {
        QTest::addColumn<QString>("body");    // the page's body, UTF-8
        QTest::addColumn<QStringList>("fax"); // what the page gives
        const auto row = [](const char* name, const char* body, QStringList fax) {
            QTest::newRow(name) << QString::fromUtf8(body) << fax;
        };
        row("header and data cells",
            "<table><tr><th>电话</th><td>0512-68001230</td></tr>"
            "<tr><th>传真</th><td>0512-68001234</td></tr></table>",
            {"0512-68001234"});
        row("a colon cell between", "<table><tr><td>传真</td><td>:</td><td>0512-68001242</td></tr></table>",
            {"0512-68001242"});
        row("definition list", "<dl><dt>电话：</dt><dd>0512-68001230</dd><dt>传真：</dt><dd>0512-68001235</dd></dl>",
            {"0512-68001235"});
        row("list items with spans",
            "<ul><li><span>电话：</span>0512-68001230</li>"
            "<li><span>传真：</span><span>0512-68001236</span></li></ul>",
            {"0512-68001236"});
        row("boxes side by side", "<div style=\"display:flex\"><div>传 真</div><div>0512-68001237</div></div>",
            {"0512-68001237"});
        row("a footer line", "<p>电话：0512-68001231&nbsp;&nbsp;传真：0512-68001238&nbsp;&nbsp;邮编：215000</p>",
            {"0512-68001238"});
        row("lines parted by breaks", "地址：苏州市工业园区<br>电话：0512-68001231<br>传真：0512-68001239<br>",
            {"0512-68001239"});
        row("in English", "<p>Tel: +86-512-68001232<br>Fax: +86-512-68001240</p>", {"0512-68001240"});
        row("a bold label", "<p><strong>传真号码</strong>：0512-68001241</p>", {"0512-68001241"});
        row("a number as a link", "<p>传真：<a href=\"tel:051268001243\">0512-68001243</a></p>", {"0512-68001243"});
        row("full-width digits", "<p>传真：０５１２－６８００１２４４</p>", {"0512-68001244"});
        row("telephone and fax", "<p>电话/传真：0512-68001245</p>", {"0512-68001245"});
        row("paragraphs", "<p>传真</p><p>0574-68001246</p>", {"0574-68001246"});
        row("two offices",
            "<h3>上海办事处</h3><p>电话：021-68001249 传真：021-68001250</p>"
            "<h3>北京办事处</h3><table><tr><td>传真：</td><td>010-68001251</td></tr></table>",
            {"021-68001250", "010-68001251"});
        row("a record number and a postcode after it",
            "<p>传真：0512-68001252 备案号：苏ICP备12345678号 邮编 215000</p>", {"0512-68001252"});
        row("an empty fax label", "<p>传真：</p><p>邮箱：sales@example.cn</p><p>地址：苏州市工业园区88号</p>", {});
        row("hidden text is not read", "<p style=\"display:none\">传真：0512-68001247</p><p>传真：0512-68001248</p>",
            {"0512-68001248"});
    }

    void labelAndNumberReadAsOne()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, fax);
        StandInSite site;
        site.answer("/", {200,
                          "text/html; charset=utf-8",
                          {},
                          "<html><head><title>联系我们</title></head><body>" + body.toStdString() + "</body></html>"});
        SitePages pages(1);
        std::optional<SitePageRead> read;
        QVERIFY(pages.load(site.url("/"), [&](SitePageRead r) { read = std::move(r); }));
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 30000);
        QVERIFY2(read->ok, read->error.c_str());
        ResultList numbers;
        ExtractFaxNumbersWide(
            read->text, [] { return true; }, numbers);
        QStringList found;
        for (const std::string& number : numbers)
            found << QString::fromStdString(number);
        QVERIFY2(found == fax, qPrintable(found.join(' ') + " in " + QString::fromStdString(utf8FromGbk(read->text))));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    SiteLayoutsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "site_layouts_test.moc"
