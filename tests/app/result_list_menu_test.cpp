// The result list's selection, its copy and its context menu, and the number
// table exported from it, on the real main window with fake dialogs and a
// fake page source. Controls are found by their object names.
#include "app/result_list_view.h"
#include "fakes.h"
#include "run/entry_origins.h"
#include "run/number_table_file.h"
#include "test_main.h"
#include "text/gbk_codec.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QRegularExpression>

using namespace vellumax;
using namespace vellumax::test;

namespace {

ResultListView* listOf(TForm1& form) { return form.findChild<ResultListView*>(QStringLiteral("ListView1")); }

QAction* action(TForm1& form, const char* name) { return form.findChild<QAction*>(QLatin1String(name)); }

void click(ResultListView& view, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers,
                      QPoint(20, row * view.rowHeight() + view.rowHeight() / 2));
}

// A table file as UTF-8 text, its time cells replaced by "T".
QString withoutTimes(const QByteArray& gbkBytes)
{
    QString text = QString::fromStdString(utf8FromGbk(gbkBytes.toStdString()));
    text.replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")), QStringLiteral("T"));
    return text;
}

// Runs a one-page search of `keyword` in the window, the page holding `lines`.
void searchOnePage(FormUnderTest& t, const char* keyword, std::initializer_list<const char*> lines)
{
    t.importKeywords({gbk(keyword)});
    std::string page;
    for (const char* line : lines)
        page += gbk(line) + "\r\n";
    t.pages->defaultPage = page;
    t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
    t.form->runCommand([&] { t.form->N2Click(); });
    t.form->runCommand([&] { t.form->Timer1Timer(); });
}

// The export's worker writes on its own thread: it has ended when its
// progress dialog is gone.
void awaitExport(const TForm1& form)
{
    QTRY_VERIFY_WITH_TIMEOUT(!form.findChild<QProgressDialog*>(QStringLiteral("exportProgress")), 30000);
}

} // namespace

class ResultListMenuTest : public QObject {
    Q_OBJECT
private slots:
    void selectedNumbersAreCopiedOnePerLine()
    {
        enum Step { Click, ShiftClick, CtrlClick, CtrlA, ShiftDown };
        struct Case {
            const char* name;
            std::vector<std::pair<Step, int>> steps;
            const char* copied; // "" : the clipboard is left as it was
        };
        const Case cases[] = {
            {"a click", {{Click, 2}}, "N2"},
            {"a Shift click extends", {{Click, 1}, {ShiftClick, 3}}, "N1\nN2\nN3"},
            {"upwards too", {{Click, 3}, {ShiftClick, 1}}, "N1\nN2\nN3"},
            {"a Ctrl click takes one out", {{Click, 1}, {ShiftClick, 3}, {CtrlClick, 2}}, "N1\nN3"},
            {"a Ctrl click adds one", {{Click, 4}, {CtrlClick, 0}}, "N0\nN4"},
            {"a plain click starts again", {{Click, 0}, {ShiftClick, 4}, {Click, 3}}, "N3"},
            {"Ctrl+A", {{Click, 2}, {CtrlA, 0}}, "N0\nN1\nN2\nN3\nN4"},
            {"Shift and the arrow keys", {{Click, 1}, {ShiftDown, 0}, {ShiftDown, 0}}, "N1\nN2\nN3"},
            {"nothing selected", {}, ""},
        };
        for (const Case& c : cases) {
            FormUnderTest t;
            // Entry i is 0512-8000000i: "N" below stands for 0512-8000000.
            t.findNumbers({"0512-80000000", "0512-80000001", "0512-80000002", "0512-80000003", "0512-80000004"});
            ResultListView* view = listOf(*t.form);
            QVERIFY(view);
            t.form->show();
            QVERIFY(QTest::qWaitForWindowExposed(t.form.get()));
            QCoreApplication::processEvents();
            for (const auto& [step, row] : c.steps) {
                switch (step) {
                case Click: click(*view, row); break;
                case ShiftClick: click(*view, row, Qt::ShiftModifier); break;
                case CtrlClick: click(*view, row, Qt::ControlModifier); break;
                case CtrlA: QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier); break;
                case ShiftDown: QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier); break;
                }
            }
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
            const QString expected = *c.copied ? QString::fromUtf8(c.copied).replace(QLatin1Char('N'), QStringLiteral("0512-8000000"))
                                               : QStringLiteral("before");
            QCOMPARE(QGuiApplication::clipboard()->text(), expected);

            // The menu's 复制 copies the same, and is offered only when there is
            // something to copy.
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            QMenu* menu = view->contextMenu();
            QCOMPARE(menu, t.form->findChild<QMenu*>(QStringLiteral("resultListMenu")));
            emit menu->aboutToShow();
            QCOMPARE(action(*t.form, "copyNumbers")->isEnabled(), *c.copied != '\0');
            action(*t.form, "copyNumbers")->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text(), expected);
            // Copying never changes the list.
            QCOMPARE(view->rowCount(), 5);
        }
    }

    void theTableOfAWindowsRunIsExported()
    {
        FormUnderTest t;
        searchOnePage(t, " 苏州传真 ", {"苏州某公司 电话:0512-1 传真:0512-87654321", "=x 传真:13912345678"});
        QCOMPARE(t.form->state().results.size(), size_t(2));

        const QString path = t.file(QStringLiteral("号码表.csv"));
        write(path, "an older table, replaced whole");
        t.dialogs->saveAnswers.push_back(path);
        action(*t.form, "exportTable")->trigger();
        awaitExport(*t.form);

        QVERIFY(t.dialogs->texts("error").isEmpty());
        const FileDialogSettings& dialog = t.dialogs->fileDialogs.back();
        QCOMPARE(dialog.title, QStringLiteral("号码表保存为"));
        QCOMPARE(dialog.proposedName, QStringLiteral("2.csv"));
        QCOMPARE(dialog.filters.size(), 3);
        QCOMPARE(
            withoutTimes(read(path)),
            QStringLiteral(
                "号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行,网页标题,网址\r\n"
                "0512-87654321,是,固定电话,江苏省苏州市,苏州传真,1,0,T,苏州某公司 电话:0512-1 传真:0512-87654321,,\r\n"
                "\"=\"\"013912345678\"\"\",是,手机,江苏省常州市,苏州传真,1,0,T,'=x 传真:13912345678,,\r\n"));
        // No temporary file left beside it and the run's settings file.
        QCOMPARE(QDir(t.folder.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{QStringLiteral("keywords.txt"), QStringLiteral("vellumax.ini"), QStringLiteral("号码表.csv")}));
    }

    // A large list is classified off the window's thread: its timers go on
    // firing meanwhile, the progress dialog shows, and its cancel leaves the
    // file as it was.
    void aLargeExportKeepsTheWindowTickingAndCanBeCancelled()
    {
        for (const bool cancel : {false, true}) {
            FormUnderTest t;
            std::vector<std::string> numbers;
            for (int i = 0; i < 100000; ++i)
                numbers.push_back("0512-" + std::to_string(80000000 + i));
            t.findNumbers(numbers);
            const QString path = t.file(QStringLiteral("t.csv"));
            write(path, "kept");
            t.dialogs->saveAnswers.push_back(path);
            int ticks = 0;
            bool progressShown = false;
            QTimer tickTimer;
            QObject::connect(&tickTimer, &QTimer::timeout, [&] {
                ++ticks;
                auto* progress = t.form->findChild<QProgressDialog*>(QStringLiteral("exportProgress"));
                if (progress && progress->isVisible()) {
                    progressShown = true;
                    if (cancel)
                        progress->findChild<QPushButton*>()->click(); // 放弃
                }
            });
            tickTimer.start(20);
            action(*t.form, "exportTable")->trigger();
            awaitExport(*t.form);
            QVERIFY(ticks > 0);
            QVERIFY(progressShown);
            const QByteArray written = read(path);
            if (cancel)
                QCOMPARE(written, QByteArray("kept"));
            else
                QCOMPARE(written.count("\r\n"), 100001);
        }
    }

    void anExportThatCannotWriteSaysSoWhenItsWorkerEnds()
    {
        FormUnderTest t;
        searchOnePage(t, " 苏州传真 ", {"传真:0512-87654321"});
        t.dialogs->saveAnswers.push_back(t.file(QStringLiteral("没有的文件夹/t.csv")));
        action(*t.form, "exportTable")->trigger();
        awaitExport(*t.form);
        QCOMPARE(t.dialogs->texts("error").size(), 1);
    }

    void anEmptyListExportsNothing()
    {
        FormUnderTest t;
        t.dialogs->saveAnswers.push_back(t.file(QStringLiteral("t.csv")));
        action(*t.form, "exportTable")->trigger();
        QVERIFY(t.dialogs->fileDialogs.empty());
        QVERIFY(!QFile::exists(t.file(QStringLiteral("t.csv"))));
    }

    void aCancelledOrUtf8TableFile()
    {
        EntryOrigins origins;
        ResultList results;
        for (int i = 0; i < 5000; ++i) {
            results.append("0512-" + std::to_string(87650000 + i));
            origins.record(size_t(i), 1, 0, 1'700'000'000'000, gbk("传真:") + results[size_t(i)]);
        }
        const ResultTable table = takeResultTable(results, origins, {gbk(" 苏州传真")});
        const NumberClassifier classifier;
        QTemporaryDir folder;
        const std::string path = folder.filePath("t.csv").toStdString();
        write(QString::fromStdString(path), "kept");

        // Stopped after the first batch: the file stays as it was.
        QVERIFY(!writeResultTable(path, false, table, classifier, [](size_t) { return false; }));
        QCOMPARE(read(QString::fromStdString(path)), QByteArray("kept"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);

        std::vector<size_t> told;
        QVERIFY(writeResultTable(path, true, table, classifier, [&](size_t done) {
            told.push_back(done);
            return true;
        }));
        QCOMPARE(told.back(), size_t(5000));
        const QByteArray written = read(QString::fromStdString(path));
        QVERIFY(written.startsWith("\xEF\xBB\xBF号码,有效,"));
        QCOMPARE(written.count("\r\n"), 5001);
        QVERIFY(written.contains("0512-87654999,是,固定电话,江苏省苏州市,苏州传真,1,0,"));
    }

    void originsOutliveANewRunForASnapshotBeingRead()
    {
        EntryOrigins origins;
        origins.record(0, 1, 0, 0, "one line");
        origins.record(1, 1, 0, 0, "one line"); // a second number of the same line
        origins.record(2, 2, 10, 0, "another");
        const EntryOrigins::Snapshot old = origins.snapshot(10);
        QCOMPARE(old.size(), size_t(3));
        QCOMPARE(old.at(1).lineStart, old.at(0).lineStart);

        origins.record(0, 1, 0, 0, "a new run"); // the list was emptied
        QCOMPARE(origins.size(), size_t(1));
        QCOMPARE(old.line(0), std::string_view("one line"));
        QCOMPARE(old.line(2), std::string_view("another"));
        QCOMPARE(old.at(2).pageOffset, 10u);
        QCOMPARE(origins.snapshot(1).line(0), std::string_view("a new run"));
    }
};

VELLUMAX_TEST_MAIN(ResultListMenuTest)
#include "result_list_menu_test.moc"
