// The Search and Stop commands and the page timer's ticks, on the real main
// window with fake dialogs and a fake page source.
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "fakes.h"
#include "test_main.h"
#include "text/gbk_codec.h"

#include "app/result_list_view.h"
#include <QAbstractBarSeries>
#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace vellumax;
using namespace vellumax::test;

namespace {

const std::string kBase = "http://engine.test/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=";

std::string page(std::initializer_list<const char*> utf8Lines)
{
    std::string text;
    for (const char* line : utf8Lines)
        text += gbk(line) + "\r\n";
    return text;
}

void tick(TForm1& form) { form.runCommand([&] { form.Timer1Timer(); }); }

} // namespace

class TForm1SearchTest : public QObject {
    Q_OBJECT
private slots:
    void emptyKeywordListIsRefusedInTheErrorBox()
    {
        FormUnderTest t;
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("请先导入关键字列表文件.")});
        QVERIFY(t.dialogs->prompts.empty());
        QVERIFY(!pageTimer(*t.form).isActive());
    }

    void offlineMachineIsToldBeforeAnyPrompt()
    {
        FormUnderTest t;
        t.importKeywords({"a"});
        t.localAddress = "127.0.0.1";
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->texts("information"), QStringList{QStringLiteral("您还没有连接到网上！")});
        QVERIFY(t.dialogs->prompts.empty());

        t.localAddress = ""; // a failed lookup lets the search go on
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->prompts.size(), size_t(1));
    }

    void startPromptAnswers()
    {
        FormUnderTest t;
        t.importKeywords({"k1", "k2", "k3"});

        t.dialogs->inputAnswers.push_back(std::nullopt); // cancel
        button(*t.form, "SpeedButton2").click();
        QVERIFY(!pageTimer(*t.form).isActive());
        QVERIFY(t.pages->requests.empty());

        t.dialogs->inputAnswers.push_back(QStringLiteral("abc"));
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->texts("error").back(), QStringLiteral("'abc' is not a valid integer value."));
        QCOMPARE(t.form->state().run.keywordCursor(), 0);

        t.dialogs->inputAnswers.push_back(QStringLiteral("-3"));
        button(*t.form, "SpeedButton2").click();
        QVERIFY(t.dialogs->texts("plain").isEmpty());
        QCOMPARE(t.pages->requests.back(), kBase + "k1&pn=0&cl=3");
        QCOMPARE(panel(*t.form, StatusPanels::KeywordPosition), QStringLiteral("1"));
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("启动搜索请稍候..."));
        QCOMPARE(pageTimer(*t.form).interval(), 8000);
        QVERIFY(!button(*t.form, "SpeedButton2").isEnabled());
        QVERIFY(button(*t.form, "SpeedButton3").isEnabled());
        QVERIFY(!button(*t.form, "SpeedButton4").isEnabled());

        // A stopped run's pending tick is taken over by the next run; an
        // answer equal to the keyword count starts at the first keyword.
        button(*t.form, "SpeedButton3").click();
        t.dialogs->inputAnswers.push_back(QStringLiteral("3"));
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->prompts.back(), QStringLiteral("1"));
        QCOMPARE(t.dialogs->texts("plain"), QStringList{QStringLiteral("搜索断点位置超过关键字文件行数！")});
        QCOMPARE(t.pages->requests.back(), kBase + "k1&pn=0&cl=3");

        button(*t.form, "SpeedButton3").click();
        t.dialogs->inputAnswers.push_back(QStringLiteral(" 2"));
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.pages->requests.back(), kBase + "k3&pn=0&cl=3");
    }

    void stoppedRunFinishingUnderThePastTheEndMessageRecordsTheAnswer()
    {
        FormUnderTest t;
        t.importKeywords({"k1", "k2"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        button(*t.form, "SpeedButton3").click(); // the tick is still pending
        t.dialogs->inputAnswers.push_back(QStringLiteral("5"));
        std::optional<int32_t> cursorUnderTheBox;
        t.dialogs->whilePlainShown = [&] {
            cursorUnderTheBox = t.form->state().run.keywordCursor();
            tick(*t.form);
        };
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(cursorUnderTheBox, std::optional<int32_t>(5));
        QCOMPARE(read(t.file(QStringLiteral("vellumax.ini"))).split('\r').value(1), QByteArray("\n4"));
        QCOMPARE(t.pages->requests.back(), kBase + "k1&pn=0&cl=3");
    }

    void runOverTwoKeywordsFollowsPagesAndFinishes()
    {
        FormUnderTest t;
        t.importKeywords({gbk("苏州 传真"), "plain"});
        control<TSpinEdit>(*t.form, "SpinEdit1").setValue(3);
        const std::string k1 = kBase + "%CB%D5%D6%DD+%B4%AB%D5%E6";
        t.pages->pages[k1 + "&pn=0&cl=3"] = page({"传真:0512-12345678", "1 [2] [3] 下一页"});
        t.pages->pages[k1 + "&pn=10&cl=3"] = page({"传真:(0512)87654321", "上一页 [1] 2"});
        t.pages->pages[kBase + "plain&pn=0&cl=3"] = page({"传真:010-12345678"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();

        tick(*t.form);
        QCOMPARE(t.pages->requests.back(), k1 + "&pn=10&cl=3");
        QCOMPARE(pageTimer(*t.form).interval(), 3000);
        QVERIFY(pageTimer(*t.form).isActive());
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("正在搜索..."));
        QCOMPARE(panel(*t.form, StatusPanels::FoundCount), QStringLiteral("1"));

        tick(*t.form);
        QCOMPARE(t.pages->requests.back(), kBase + "plain&pn=0&cl=3");
        QCOMPARE(panel(*t.form, StatusPanels::KeywordPosition), QStringLiteral("2"));

        tick(*t.form);
        QCOMPARE(t.pages->requests.size(), size_t(3));
        QVERIFY(!pageTimer(*t.form).isActive());
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("搜索已经结束！"));
        QVERIFY(button(*t.form, "SpeedButton2").isEnabled());
        QVERIFY(!button(*t.form, "SpeedButton3").isEnabled());
        QVERIFY(button(*t.form, "SpeedButton4").isEnabled());

        // The marker of the first keyword carries over to the second.
        QCOMPARE(t.form->state().results.size(), size_t(3));
        QCOMPARE(t.form->state().results[2], std::string("010-12345678"));
        QCOMPARE(control<ResultListView>(*t.form, "ListView1").rowCount(), 3);
        QCOMPARE(control<ResultListView>(*t.form, "ListView1").rowText(1), QStringLiteral("0512-87654321"));

        QFile settings(t.file("vellumax.ini"));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), t.file("keywords.txt").toUtf8() + "\r\n1\r\nqcno\r\n3\r\n");
    }

    void stopLetsThePendingPageFinishTheRun()
    {
        FormUnderTest t;
        t.importKeywords({gbk("传真"), "next"});
        t.pages->defaultPage = page({"传真:0512-12345678", "1 [2] 下一页"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        button(*t.form, "SpeedButton3").click();
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("终止搜索..."));
        QVERIFY(button(*t.form, "SpeedButton2").isEnabled() && button(*t.form, "SpeedButton4").isEnabled());
        QVERIFY(!button(*t.form, "SpeedButton3").isEnabled());
        QVERIFY(pageTimer(*t.form).isActive());

        tick(*t.form);
        QCOMPARE(t.form->state().results.size(), size_t(1));
        QCOMPARE(t.pages->requests.size(), size_t(1));
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("搜索已经结束！"));
        QVERIFY(QFile::exists(t.file("vellumax.ini")));
    }

    void failingPageReadHaltsUntilStop()
    {
        FormUnderTest t;
        t.importKeywords({"k"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        t.pages->failure = "Interface not supported";
        tick(*t.form);
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("Interface not supported.")});
        QVERIFY(!pageTimer(*t.form).isActive());
        QVERIFY(!button(*t.form, "SpeedButton2").isEnabled());
        QVERIFY(button(*t.form, "SpeedButton3").isEnabled());

        button(*t.form, "SpeedButton3").click();
        QVERIFY(button(*t.form, "SpeedButton2").isEnabled());
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("终止搜索..."));
        QVERIFY(!QFile::exists(t.file("vellumax.ini")));
    }

    void refusedRequestsAreSwallowed()
    {
        FormUnderTest t;
        t.importKeywords({"k"});
        t.pages->refuseRequests = true;
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        QVERIFY(t.dialogs->texts("error").isEmpty());
        QVERIFY(pageTimer(*t.form).isActive());
    }

    void intervalIsReadAtEachTick()
    {
        FormUnderTest t;
        t.importKeywords({gbk("传真")});
        t.pages->defaultPage = page({"1 [2] 下一页"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        // A coarse timer fires up to 5% early; the waits are at least their
        // interval.
        QCOMPARE(pageTimer(*t.form).timerType(), Qt::PreciseTimer);
        const std::pair<QString, int> cases[] = {
            {QStringLiteral("5"), 5000}, {QStringLiteral("abc"), 1000}, {QStringLiteral("0"), 1000},
            {QStringLiteral("-7"), 1000}, {QStringLiteral("2000"), 2000000}, {QStringLiteral("99999999"), INT_MAX},
        };
        for (const auto& [text, interval] : cases) {
            control<TSpinEdit>(*t.form, "SpinEdit1").setText(text);
            tick(*t.form);
            QCOMPARE(pageTimer(*t.form).interval(), interval);
            QVERIFY(pageTimer(*t.form).isActive());
        }
    }

    void deduplicationIsAskedForEveryCandidate()
    {
        FormUnderTest t;
        t.importKeywords({gbk("传真")});
        t.pages->defaultPage = page({"传真:0512-12345678", "传真:0512-12345678", "传真:0512-12345678"});
        control<QCheckBox>(*t.form, "CheckBox1").setChecked(true);
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        tick(*t.form);
        QCOMPARE(t.form->state().results.size(), size_t(1));
        QCOMPARE(panel(*t.form, StatusPanels::FoundCount), QStringLiteral("1"));
    }

    void wideReadingIsSwitchedInTheListsMenuAndKeptInTheOptionsFile()
    {
        FormUnderTest t;
        // Found by name, through the window's handlers only.
        auto* wide = t.form->findChild<QAction*>(QStringLiteral("wideReading"));
        auto* list = t.form->findChild<ResultListView*>(QStringLiteral("ListView1"));
        auto* menu = t.form->findChild<QMenu*>(QStringLiteral("resultListMenu"));
        QVERIFY(wide && list && menu && menu->actions().contains(wide));
        QVERIFY(wide->isCheckable() && !wide->isChecked());
        QFile keywords(t.file("k.txt"));
        QVERIFY(keywords.open(QIODevice::WriteOnly));
        keywords.write(QByteArray::fromStdString(gbk("上海传真\r\n")));
        keywords.close();
        const auto searchOnePage = [&] {
            t.dialogs->openAnswers.push_back(t.file("k.txt"));
            t.form->runCommand([&] { t.form->SpeedButton4Click(); });
            t.pages->defaultPage = page({"电话：021-1 传真：0512-12345678"});
            t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
            t.form->runCommand([&] { t.form->N2Click(); });
            tick(*t.form);
            return list->rowCount();
        };
        QCOMPARE(searchOnePage(), 0);

        wide->setChecked(true);
        QCOMPARE(searchOnePage(), 1);
        t.create();
        wide = t.form->findChild<QAction*>(QStringLiteral("wideReading"));
        QVERIFY(wide->isChecked());

        // An options file that cannot be written: said, and the switch stays.
        QFile::remove(t.file("options.ini"));
        QVERIFY(QDir(t.folder.path()).mkdir(QStringLiteral("options.ini")));
        t.create();
        wide = t.form->findChild<QAction*>(QStringLiteral("wideReading"));
        wide->setChecked(true);
        QVERIFY(!wide->isChecked());
        QCOMPARE(t.dialogs->texts("error").size(), 1);
    }

    // Beside wide reading: each result's own site, read through the pages
    // the window is given, with its title in the list's tooltip and the
    // sites counted in the message panel.
    void siteReadingIsSwitchedBesideWideReadingAndNamesWhoseEachNumberIs()
    {
        FormUnderTest t;
        auto* sites = t.form->findChild<QAction*>(QStringLiteral("siteReading"));
        auto* menu = t.form->findChild<QMenu*>(QStringLiteral("resultListMenu"));
        auto* list = t.form->findChild<ResultListView*>(QStringLiteral("ListView1"));
        QVERIFY(sites && menu && list && menu->actions().contains(sites));
        QVERIFY(sites->isCheckable() && !sites->isChecked() && !t.sites);

        sites->setChecked(true);
        QVERIFY(t.sites);
        t.sites->pages["http://a.example/"] = {true, {}, {}, gbk("甲公司 - 联系我们"), gbk("传真\t0512-22222222"), {}};
        t.importKeywords({gbk("传真"), gbk("机械")}); // the run goes on after the first page
        t.pages->defaultPage = gbk("甲公司 传真：0512-12345678\r\n");
        t.pages->blocks = {
            {gbk("甲公司"), "http://engine.test/link?url=1", "http://a.example/", gbk("甲公司 传真：0512-12345678")}};
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        tick(*t.form);

        QCOMPARE(t.sites->loaded, std::vector<std::string>{"http://a.example/"});
        QCOMPARE(list->rowCount(), 2); // the fax on the engine's page is read wide too
        QVERIFY2(list->rowToolTip(0).endsWith(QStringLiteral("\n甲公司")), qPrintable(list->rowToolTip(0)));
        QVERIFY(list->rowToolTip(1).endsWith(QStringLiteral("\n甲公司 - 联系我们")));
        QVERIFY2(panel(*t.form, StatusPanels::Message).contains(QStringLiteral("网站：已读 1 页，等待 0 页")),
                 qPrintable(panel(*t.form, StatusPanels::Message)));

        t.create();
        QVERIFY(t.form->findChild<QAction*>(QStringLiteral("siteReading"))->isChecked());
        QVERIFY(!t.form->findChild<QAction*>(QStringLiteral("wideReading"))->isChecked());
    }

    // 号码统计…: a window of its own, not modal, that counts the list.
    void harvestStatsOpenByNameAndCountTheList()
    {
        FormUnderTest t;
        t.importKeywords({gbk("传真"), gbk("机械")});
        t.pages->defaultPage = page({"传真:0512-87654321", "传真:13912345678"});
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        tick(*t.form);
        QCOMPARE(t.form->state().results.size(), size_t(2));

        t.form->findChild<QAction*>(QStringLiteral("harvestStats"))->trigger();
        auto* stats = t.form->findChild<QWidget*>(QStringLiteral("harvestStatsWindow"));
        QVERIFY(stats && stats->isWindow() && stats->isVisible() && !stats->isModal());
        QCOMPARE(stats->font(), t.form->font());
        auto* total = stats->findChild<QLabel*>(QStringLiteral("harvestTotal"));
        QTRY_COMPARE_WITH_TIMEOUT(total->text(), QStringLiteral("号码 2 个"), 10000);
        auto* keywords = stats->findChild<QTableWidget*>(QStringLiteral("keywordTable"));
        QCOMPARE(keywords->rowCount(), 1);
        QCOMPARE(keywords->item(0, 1)->text(), QStringLiteral("传真"));
        QCOMPARE(keywords->item(0, 2)->text(), QStringLiteral("2"));
        QCOMPARE(keywords->item(0, 3)->text(), QStringLiteral("1"));

        // A click on a province's bar shows its cities.
        QChart* regions = stats->findChild<QChartView*>(QStringLiteral("regionChart"))->chart();
        auto* provinces = qobject_cast<QAbstractBarSeries*>(regions->series().value(0));
        QVERIFY(provinces && provinces->count() == 1);
        emit provinces->clicked(0, provinces->barSets().front());
        QCOMPARE(regions->title(), QStringLiteral("江苏省 各城市号码"));
        QCOMPARE(qobject_cast<QAbstractBarSeries*>(regions->series().value(0))->barSets().front()->count(), 2);
        QVERIFY(stats->findChild<QPushButton*>(QStringLiteral("allProvinces"))->isVisible());

        // The run goes on, and the window follows it.
        tick(*t.form);
        QTRY_COMPARE_WITH_TIMEOUT(total->text(), QStringLiteral("号码 4 个"), 10000);
        QCOMPARE(keywords->rowCount(), 2);
    }
};

VELLUMAX_TEST_MAIN(TForm1SearchTest)
#include "tform1_search_test.moc"
