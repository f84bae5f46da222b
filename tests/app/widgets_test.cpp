// The interval field's own rules, the close question, the window as it
// opens, and the toolkit's own texts in its dialogs.
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "fakes.h"
#include "test_main.h"

#include "app/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>
#include <QToolButton>
#include "app/result_list_view.h"

using namespace vellumax;
using namespace vellumax::test;

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void spinEditValueIsItsTextUnclamped()
    {
        TSpinEdit spin(1, 1000, 8);
        QCOMPARE(spin.value(), 8);
        spin.setText(QStringLiteral("5000"));
        QCOMPARE(spin.value(), 5000);
        spin.setText(QStringLiteral("abc"));
        QCOMPARE(spin.value(), 1);
        spin.setText(QString());
        QCOMPARE(spin.value(), 1);
        spin.setValue(0);
        QCOMPARE(spin.text(), QStringLiteral("1"));
        spin.setValue(5000);
        QCOMPARE(spin.text(), QStringLiteral("1000"));
    }

    void spinEditTypingTakesOnlyNumberKeys()
    {
        TSpinEdit spin(1, 1000, 8);
        spin.setText(QString());
        QTest::keyClicks(spin.editor(), QStringLiteral("1a2 -+x3"));
        QCOMPARE(spin.text(), QStringLiteral("12-+3"));
        QTest::keyClick(spin.editor(), Qt::Key_Return);
        QCOMPARE(spin.text(), QStringLiteral("12-+3"));
        QTest::keyClick(spin.editor(), Qt::Key_Backspace);
        QCOMPARE(spin.text(), QStringLiteral("12-+"));
    }

    void spinEditArrowsStepAndClamp()
    {
        TSpinEdit spin(1, 1000, 999);
        QTest::keyClick(spin.editor(), Qt::Key_Up);
        QTest::keyClick(spin.editor(), Qt::Key_Up);
        QCOMPARE(spin.text(), QStringLiteral("1000"));
        spin.setText(QStringLiteral("5000"));
        spin.downButton()->click();
        QCOMPARE(spin.text(), QStringLiteral("1000"));
        spin.setText(QStringLiteral("1"));
        spin.downButton()->click();
        QCOMPARE(spin.text(), QStringLiteral("1"));
        spin.upButton()->click();
        QCOMPARE(spin.text(), QStringLiteral("2"));
    }

    void spinEditFocusOutCorrectsNumbersOnly()
    {
        QWidget window;
        auto* spin = new TSpinEdit(1, 1000, 8, &window);
        auto* other = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::pair<QString, QString> cases[] = {
            {"0", "1"}, {"5000", "1000"}, {"-2", "1"}, {"abc", "abc"}, {"", ""}, {"77", "77"}};
        for (const auto& [typed, after] : cases) {
            spin->editor()->setFocus();
            spin->setText(typed);
            other->setFocus();
            QCOMPARE(spin->text(), after);
        }
    }

    void windowOpensAsLaidOut()
    {
        FormUnderTest t;
        TForm1& f = *t.form;
        QVERIFY(f.windowTitle().startsWith(QStringLiteral("『朔禾传真搜索』 V2.5  —主页: ")));
        const char* buttons[] = {"SpeedButton4", "SpeedButton2", "SpeedButton3", "SpeedButton5", "SpeedButton8",
                                 "SpeedButton1", "SpeedButton6", "SpeedButton9", "SpeedButton10"};
        const char* captions[] = {"导入", "搜索", "终止", "保存", "进程", "合并", "主页", "关于", "退出"};
        for (int i = 0; i < 9; ++i) {
            const QToolButton& shown = button(f, buttons[i]);
            QCOMPARE(shown.text(), QString::fromUtf8(captions[i]));
            QVERIFY(shown.isEnabled());
            QCOMPARE(shown.geometry(), QRect(2 + i * 56, 2, 55, 23));
        }
        const auto& list = control<ResultListView>(f, "ListView1");
        QCOMPARE(list.headerText(), QStringLiteral("Fax"));
        QCOMPARE(list.width(), 161);
        QCOMPARE(f.focusWidget(), static_cast<const QWidget*>(&list));
        const char* panels[] = {"总数：", "", "进程：", "", "传真：", ""};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(panel(f, i), QString::fromUtf8(panels[i]));
        QVERIFY(!pageTimer(f).isActive());
        QCOMPARE(pageTimer(f).interval(), 8000);
    }

    void resultListFollowsEveryAppend()
    {
        ResultList results;
        ResultListView view(results);
        view.resize(161, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 500; ++i)
            results.append("0512-" + std::to_string(10000000 + i));
        QCoreApplication::processEvents();
        QCOMPARE(view.rowCount(), 500);
        QCOMPARE(view.topRow() + view.visibleRows(), 500); // the last entry is in view
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.currentRow(), 0);
        QCOMPARE(view.topRow(), 0);
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(view.currentRow(), 499);
        results.clear();
        QCOMPARE(view.rowCount(), 0);
        QCOMPARE(view.currentRow(), -1);
    }

    void resultListTooltipTellsRegionAndKind()
    {
        ResultList results;
        ResultListView view(results);
        view.resize(161, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (const char* number : {"0512-87654321", "013912345678", "0000-0000000"})
            results.append(number);
        QCoreApplication::processEvents();

        const auto hover = [&](int row) {
            const QPoint at(20, row * view.rowHeight() + view.rowHeight() / 2);
            QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(view.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(hover(0), QStringLiteral("江苏省苏州市 · 固定电话"));
        QCOMPARE(hover(1), QStringLiteral("江苏省常州市 · 手机"));
        QCOMPARE(hover(2), QStringLiteral("无效号码"));
        hover(3); // below the last number: the tip goes
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void closeQuestionOutcomes()
    {
        FormUnderTest t;
        t.form->show();
        t.dialogs->confirmAnswers.push_back(false);
        QVERIFY(!t.form->close());
        QCOMPARE(t.dialogs->texts("confirm"), QStringList{QStringLiteral("确认退出朔禾传真搜索吗?")});
        QVERIFY(t.form->isVisible());

        t.dialogs->confirmAnswers.push_back(true);
        button(*t.form, "SpeedButton10").click();
        QVERIFY(!t.form->isVisible());
    }

    void fileDialogsSpeakChinese()
    {
        FormUnderTest t;
        QtDialogs dialogs(t.form.get());
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                shown << label->text().remove(QLatin1Char('&'));
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                shown << button->text().remove(QLatin1Char('&'));
            dialog->reject();
        });
        dialogs.openFile({QStringLiteral("导入关键字列表"), {QStringLiteral("文本文件(*.txt)")}, "txt", t.folder.path(), {}});
        for (const char* english : {"Look in:", "File name:", "Files of type:", "Open", "Cancel"})
            QVERIFY2(!shown.contains(QLatin1String(english)), english);
        QVERIFY(shown.contains(QStringLiteral("取消")));
        // The question before a file is replaced.
        const QString question = QStringLiteral("%1 already exists.\nDo you want to replace it?");
        QVERIFY(QCoreApplication::translate("QFileDialog", question.toUtf8().constData()) != question);
    }
};

VELLUMAX_TEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
