// The window as the X window system gets it, on a display of the test's
// own: the titles it shows, where dialogs open, and how dark the list's
// numbers are on screen.
#include "app/about/tform2.h"
#include "app/app_texts.h"
#include "app/qt_dialogs.h"
#include "app/result_list_view.h"
#include "fakes.h"
#include "test_main.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <functional>
#include <xcb/xcb.h>

using namespace vellumax;
using namespace vellumax::test;

namespace {

// _NET_WM_NAME, the UTF-8 title a window manager shows.
QString netWmName(const QWidget& window)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return a;
    };
    const xcb_atom_t name = atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    auto cookie = xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()), name, utf8, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    QString title = QStringLiteral("<none>");
    if (reply && reply->type == utf8)
        title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
    free(reply);
    return title;
}

// Runs `check` on the modal dialog `show` opens, once it is on screen, then
// closes the dialog.
void onModal(const std::function<void()>& show, const std::function<void(QWidget&)>& check)
{
    bool checked = false;
    std::function<void()> poll = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->windowHandle() || !modal->windowHandle()->isExposed()) {
            QTimer::singleShot(20, poll);
            return;
        }
        check(*modal);
        checked = true;
        modal->close();
    };
    QTimer::singleShot(0, poll);
    show();
    QVERIFY(checked);
}

// Pictures for people, when VELLUMAX_SHOT_DIR names a folder.
void keepShot(const QImage& shot, const QString& name)
{
    if (const QString dir = qEnvironmentVariable("VELLUMAX_SHOT_DIR"); !dir.isEmpty())
        shot.save(dir + QLatin1Char('/') + name);
}

void showWindow(QWidget& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

} // namespace

class WindowSystemTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (the test runs itself under xvfb-run)");
    }

    void titlesReachTheWindowSystemAsTheyAre()
    {
        FormUnderTest t;
        showWindow(*t.form);
        QTRY_COMPARE(netWmName(*t.form), texts::mainWindowCaption());

        QtDialogs dialogs(t.form.get());
        const std::pair<QString, std::function<void()>> boxes[] = {
            {texts::kApplicationTitle, [&] { dialogs.errorBox(QStringLiteral("出错")); }},
            {QStringLiteral("信息"), [&] { dialogs.informationBox(QStringLiteral("消息")); }},
            {QStringLiteral("确认"), [&] { dialogs.confirmYes(QStringLiteral("问题")); }},
            {QStringLiteral("搜索参数设置"),
             [&] { dialogs.inputQuery(QStringLiteral("搜索参数设置"), QStringLiteral("起始"), QStringLiteral("0")); }},
            {QStringLiteral("导入关键字列表"), [&] { dialogs.openFile({QStringLiteral("导入关键字列表"), {}, {}, {}, {}}); }},
        };
        for (const auto& [title, show] : boxes)
            onModal(show, [&](QWidget& box) { QCOMPARE(netWmName(box), title); });

        auto& about = control<TForm2>(*t.form, "Form2");
        showWindow(about);
        QTRY_COMPARE(netWmName(about), QStringLiteral("关于本软件"));
    }

    void dialogsOpenInTheMiddleOfTheScreen()
    {
        FormUnderTest t;
        t.form->move(0, 0); // well away from the middle
        showWindow(*t.form);
        const QPoint middle = t.form->screen()->availableGeometry().center();

        QtDialogs dialogs(t.form.get());
        FileDialogSettings files{QStringLiteral("导入关键字列表"), {QStringLiteral("文本文件(*.txt)")}, "txt",
                                 t.folder.path(), {}};
        FileDialogSettings saving = files;
        saving.title = QStringLiteral("保存搜索结果");
        const std::function<void()> shows[] = {
            [&] { dialogs.informationBox(QStringLiteral("消息")); },
            [&] { dialogs.confirmYes(QStringLiteral("问题")); },
            [&] { dialogs.inputQuery(QStringLiteral("搜索参数设置"), QStringLiteral("起始"), QStringLiteral("0")); },
            [&] { dialogs.openFile(files); },
            [&] { dialogs.saveFile(saving); },
        };
        for (const auto& show : shows) {
            onModal(show, [&](QWidget& dialog) {
                if (dialog.windowTitle() == files.title)
                    keepShot(dialog.screen()->grabWindow(0).toImage().copy(dialog.frameGeometry()),
                             QStringLiteral("import-dialog.png"));
                const QPoint off = dialog.frameGeometry().center() - middle;
                QVERIFY2(off.manhattanLength() <= 4, qPrintable(QStringLiteral("%1 is %2,%3 off the middle")
                                                                    .arg(dialog.windowTitle())
                                                                    .arg(off.x())
                                                                    .arg(off.y())));
            });
        }
    }

    // A right click on an entry selects it and opens the list's menu where
    // it was clicked.
    void resultListMenuOpensAtTheClick()
    {
        FormUnderTest t;
        t.findNumbers({"021-10000000", "0512-66668888", "010-23456789"});
        showWindow(*t.form);
        auto* view = t.form->findChild<ResultListView*>(QStringLiteral("ListView1"));
        QTest::qWait(100); // the list catches up with the appends when the loop turns
        const QPoint at(40, view->rowHeight() + view->rowHeight() / 2);
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &event);
        QMenu* menu = view->contextMenu();
        QTRY_VERIFY(menu->isVisible() && menu->windowHandle() && menu->windowHandle()->isExposed());
        QTest::qWait(100);
        QCOMPARE(menu->geometry().topLeft(), view->viewport()->mapToGlobal(at));
        QCOMPARE(view->selectedText(), QStringLiteral("0512-66668888"));
        const QRect area = t.form->frameGeometry().united(menu->geometry());
        keepShot(t.form->screen()->grabWindow(0).toImage().copy(area), QStringLiteral("result-list-menu.png"));
        menu->hide();
    }

    void listNumbersAreDrawnInSolidStrokes()
    {
        FormUnderTest t;
        t.findNumbers({"021-10000000", "0512-66668888", "010-23456789"});
        showWindow(*t.form);
        QWidget* rows = control<ResultListView>(*t.form, "ListView1").viewport();
        QTest::qWait(100); // the list catches up with the appends when the loop turns
        const QRect area(rows->mapTo(t.form.get(), QPoint(0, 0)),
                         QSize(rows->width(), 3 * control<ResultListView>(*t.form, "ListView1").rowHeight()));
        const QImage shot = t.form->screen()
                                ->grabWindow(t.form->winId(), area.x(), area.y(), area.width(), area.height())
                                .toImage();
        keepShot(shot, QStringLiteral("result-list.png"));
        // Smoothed, the thin strokes come out grey; drawn solid, every
        // column that carries ink has a black pixel.
        int palest = 0; // the darkest pixel of the palest inked column
        int inked = 0;
        for (int x = 0; x < shot.width(); ++x) {
            int darkest = 255;
            for (int y = 0; y < shot.height(); ++y)
                darkest = std::min(darkest, qGray(shot.pixel(x, y)));
            if (darkest < 250) {
                ++inked;
                palest = std::max(palest, darkest);
            }
        }
        QVERIFY2(inked > 20, "the numbers are not on screen");
        QVERIFY2(palest <= 40, qPrintable(QStringLiteral("a stroke of the numbers is no darker than %1").arg(palest)));
    }
};

VELLUMAX_TEST_MAIN(WindowSystemTest)
#include "window_system_test.moc"
