// The main window's tray icon and menu, hiding to the tray and coming back.
#include "app/app_texts.h"
#include "app/gbk_qt.h"
#include "app/tray/ant_taskbar_icon.h"
#include "fake_notification_area.h"
#include "fakes.h"
#include "test_main.h"

#include <QAction>
#include <QMenu>

using namespace vellumax;
using namespace vellumax::test;

namespace {

using Log = std::vector<std::string>;

// A window whose tray icon lives in a fake area.
struct TrayForm : FormUnderTest {
    std::shared_ptr<FakeTray> tray;

    explicit TrayForm(std::shared_ptr<FakeTray> t = std::make_shared<FakeTray>())
        : FormUnderTest({}, [t] { return std::make_unique<FakeNotificationArea>(t); }), tray(std::move(t))
    {
    }

    void clickIcon(std::uint32_t down, std::uint32_t up)
    {
        auto& icon = control<TantTaskbarIcon>(*form, "antTaskbarIcon1");
        icon.MessageHandler(tray::kCallbackMessage, 0, down);
        icon.MessageHandler(tray::kCallbackMessage, 0, up);
    }
    bool enabled(const char* item) const { return control<QAction>(*form, item).isEnabled(); }
    // Shown: N18 only; in the tray: N17 only.
    bool menuSaysShown() const { return !enabled("N17") && enabled("N18"); }
    bool menuSaysInTray() const { return enabled("N17") && !enabled("N18"); }
};

} // namespace

class TForm1TrayTest : public QObject {
    Q_OBJECT
private slots:
    void iconAndMenuAreThereWithTheWindow()
    {
        TrayForm t;
        // Icon (not there yet), Visible, Hint; then the end of loading adds again.
        QCOMPARE(t.tray->log, (Log{"modify refused", "add", "modify", "add refused"}));
        QCOMPARE(t.tray->icons.size(), size_t(1));
        const NotifyIconData& added = t.tray->records[1];
        QCOMPARE(added.uFlags, 7u);
        QVERIFY(!added.hIcon.isNull());
        QCOMPARE(added.tip(), std::string());
        QCOMPARE(t.tray->records[2].tip(), gbkFromQString(texts::kApplicationTitle));
        QVERIFY(t.dialogs->shown.empty());

        TantTaskbarIcon* icon = &control<TantTaskbarIcon>(*t.form, "antTaskbarIcon1");
        QCOMPARE(icon->objectName(), QStringLiteral("antTaskbarIcon1"));
        QVERIFY(icon->Visible() && icon->Enabled());
        QCOMPARE(icon->IconID(), 0);
        QCOMPARE(icon->PopupMenu(), &control<QMenu>(*t.form, "PopupMenu1"));

        const QList<QAction*> items = icon->PopupMenu()->actions();
        QList<QAction*> named;
        for (const char* name : {"N17", "N18", "N19", "N20", "N21", "N22", "N23"})
            named << &control<QAction>(*t.form, name);
        QCOMPARE(items, named);
        const QStringList captions = {"显示主程序(&S)", "最小化显示(&M)", "与我们联系(&L)", "访问曜帆主页(&V)",
                                      "关于本软件(&A)", "", "退 出(&Exit)"};
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items[i]->text(), captions[i]);
        QVERIFY(control<QAction>(*t.form, "N22").isSeparator());
        QVERIFY(t.menuSaysShown());
        for (const char* other : {"N19", "N20", "N21", "N23"})
            QVERIFY(t.enabled(other));
    }

    void menuCommandsHideAndShowTheWindow()
    {
        TrayForm t;
        t.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.form.get()));

        t.form->N18Click();
        QVERIFY(!t.form->isVisible());
        QVERIFY(t.menuSaysInTray());
        t.form->N17Click();
        QVERIFY(t.form->isVisible());
        QVERIFY(!t.form->isMinimized());
        QVERIFY(t.menuSaysShown());
        t.form->N17Click(); // already shown: nothing changes
        QVERIFY(t.form->isVisible());
        QVERIFY(t.menuSaysShown());
        // Neither touches the icon.
        QCOMPARE(t.tray->icons.size(), size_t(1));
        QCOMPARE(t.tray->log.size(), size_t(4));
    }

    void minimisingGoesToTheTrayAndAClickBringsItBack()
    {
        TrayForm t;
        t.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.form.get()));
        t.form->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!t.form->isVisible());
        QVERIFY(t.menuSaysInTray());

        t.clickIcon(tray::kLeftButtonDown, tray::kLeftButtonUp);
        QVERIFY(t.form->isVisible());
        QVERIFY(!t.form->isMinimized());
        QVERIFY(t.menuSaysShown());
        // The window restored is not hidden again.
        QTest::qWait(20);
        QVERIFY(t.form->isVisible());
    }

    void chosenItemsRunOnceTheMenuHasClosed()
    {
        TrayForm t;
        t.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.form.get()));
        t.tray->onMenu = [&](QMenu*) { control<QAction>(*t.form, "N18").trigger(); };
        t.clickIcon(tray::kRightButtonDown, tray::kRightButtonUp);
        QVERIFY(t.form->isVisible()); // not yet: the command waits for the event loop
        QTRY_VERIFY(!t.form->isVisible());
        QVERIFY(t.menuSaysInTray());

        // "退 出" asks the close question, also from the tray; No keeps all.
        t.dialogs->confirmAnswers = {false};
        t.tray->onMenu = [&](QMenu*) { control<QAction>(*t.form, "N23").trigger(); };
        t.clickIcon(tray::kRightButtonDown, tray::kRightButtonUp);
        QTRY_COMPARE(t.dialogs->texts(QStringLiteral("confirm")), QStringList{"确认退出朔禾传真搜索吗?"});
        QCOMPARE(t.tray->icons.size(), size_t(1));
        QVERIFY(t.menuSaysInTray());
    }

    void closingTheWindowTakesTheIconOut()
    {
        TrayForm t;
        auto tray = t.tray;
        t.form.reset();
        QCOMPARE(Log(tray->log.end() - 2, tray->log.end()), (Log{"delete", "window gone"}));
        QVERIFY(tray->icons.empty());
    }
};

VELLUMAX_TEST_MAIN(TForm1TrayTest)
#include "tform1_tray_test.moc"
