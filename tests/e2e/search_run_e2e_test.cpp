// A whole search run through the real main window and the real browser
// engine, against the local fixture engine: import, search to the end, save,
// and resume after a restart.
#include "../app/fakes.h"
#include "../app/test_main.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "fixture_engine.h"
#include "text/gbk_codec.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>
#include <cstdio>

using namespace vellumax;
using namespace vellumax::test;

class SearchRunE2eTest : public QObject {
    Q_OBJECT
private slots:
    void wholeRunAgainstTheFixtureEngine()
    {
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        QTemporaryDir folder;
        FakeDialogs* dialogs = nullptr;
        auto makeForm = [&] { return formWithRealBrowser(engine.endpoint(), folder.path(), dialogs); };
        auto form = makeForm();
        form->show();

        const QString keywordFile = folder.filePath(QStringLiteral("关键字.txt"));
        {
            QFile f(keywordFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(gbk("上海传真\r\n  fax list \r\n机械配件\r\n")));
        }
        dialogs->openAnswers.push_back(keywordFile);
        button(*form, "SpeedButton4").click();
        QCOMPARE(panel(*form, StatusPanels::KeywordCount), QStringLiteral("3"));
        control<TSpinEdit>(*form, "SpinEdit1").setValue(1);

        QSignalSpy loads(&control<QWebEngineView>(*form, "WebBrowser1"), &QWebEngineView::loadFinished);
        dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*form, "SpeedButton2").click();
        QCOMPARE(pageTimer(*form).interval(), 8000);

        int ticks = 0;
        while (pageTimer(*form).isActive()) {
            // Drive the tick as soon as the page is there instead of waiting
            // out the interval.
            pageTimer(*form).stop();
            if (loads.isEmpty())
                QVERIFY2(loads.wait(20000), "the page did not load");
            QVERIFY(loads.takeFirst().at(0).toBool());
            tickAndAwaitRead(*form, *dialogs);
            QVERIFY(dialogs->texts("error").isEmpty());
            ++ticks;
            QVERIFY(ticks <= 100);
        }
        QCOMPARE(pageTimer(*form).interval(), 1000);

        // The requests: three pages of the first keyword, 75 of the second up
        // to the cap, one of the third.
        const auto& requests = engine.requests();
        QCOMPARE(requests.size(), size_t(79));
        QCOMPARE(ticks, 79);
        // Nothing but the result pages: no page icons, no other fetches,
        // also a moment after the last page.
        QTest::qWait(500);
        QCOMPARE(engine.paths().size(), size_t(79));
        for (size_t i = 0; i < requests.size(); ++i)
            QCOMPARE(engine.paths()[i], requests[i].path);
        const std::string mismatch = FixtureEngine::threeKeywordRequestsMismatch(requests);
        QVERIFY2(mismatch.empty(), mismatch.c_str());

        // The numbers: each marker's own, normalised, in order.
        QCOMPARE(form->state().results.size(), size_t(79));
        QCOMPARE(form->state().results[0], std::string("021-10000000"));
        QCOMPARE(form->state().results[2], std::string("021-10000020"));
        QCOMPARE(form->state().results[3], std::string("010-20000000"));
        QCOMPARE(form->state().results[77], std::string("010-20000740"));
        QCOMPARE(form->state().results[78], std::string("0755-33333333"));
        QCOMPARE(panel(*form, StatusPanels::FoundCount), QStringLiteral("79"));
        QCOMPARE(panel(*form, StatusPanels::KeywordPosition), QStringLiteral("3"));
        QCOMPARE(panel(*form, StatusPanels::Message), QStringLiteral("搜索已经结束！"));
        QVERIFY(button(*form, "SpeedButton2").isEnabled());

        const QByteArray keywordPath = QByteArray::fromStdString(gbkFromUtf8(keywordFile.toStdString()));
        QCOMPARE(read(folder.filePath("vellumax.ini")), keywordPath + "\r\n2\r\nqcno\r\n1\r\n");

        const QString saved = folder.filePath(QStringLiteral("79.txt"));
        dialogs->saveAnswers.push_back(saved);
        button(*form, "SpeedButton5").click();
        QCOMPARE(dialogs->fileDialogs.back().proposedName, QStringLiteral("79.txt"));
        const QByteArray savedBytes = read(saved);
        QCOMPARE(savedBytes.count("\r\n"), 79);
        QVERIFY(savedBytes.startsWith("021-10000000\r\n021-10000010\r\n"));

        // A restart resumes at the last keyword taken.
        dialogs->confirmAnswers.push_back(true);
        QVERIFY(form->close());
        form.reset();
        form = makeForm();
        QCOMPARE(control<QLineEdit>(*form, "Edit5").text(), keywordFile);
        dialogs->openAnswers.push_back(keywordFile);
        button(*form, "SpeedButton4").click();
        dialogs->inputAnswers.push_back(std::nullopt);
        button(*form, "SpeedButton2").click();
        QCOMPARE(dialogs->prompts, std::vector<QString>{QStringLiteral("2")});
    }
};

VELLUMAX_TEST_MAIN(SearchRunE2eTest)
#include "search_run_e2e_test.moc"
