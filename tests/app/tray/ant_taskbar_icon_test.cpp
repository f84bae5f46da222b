// The tray icon component against a fake notification area: the mouse
// messages it turns into events, the records it hands over, and its setters.
#include "app/tray/ant_taskbar_icon.h"
#include "app/tray/desktop_notification_area.h"
#include "fake_notification_area.h"
#include "test_main.h"
#include "text/gbk_codec.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstring>
#include <tuple>

using namespace vellumax;
using namespace vellumax::test;

namespace {

using Log = std::vector<std::string>;

QIcon filledIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// An icon in a fake area whose event handlers write to the area's log.
struct Rig {
    std::shared_ptr<FakeTray> tray = std::make_shared<FakeTray>();
    std::unique_ptr<TantTaskbarIcon> icon;
    QObject* self = nullptr; // the icon, also while it is being destroyed

    Rig()
    {
        icon = std::make_unique<TantTaskbarIcon>(std::make_unique<FakeNotificationArea>(tray));
        self = icon.get();
        icon->setObjectName(QStringLiteral("antTaskbarIcon1"));
        auto mouse = [this](std::string name) {
            return [this, name](QObject* sender, MouseButton button, ShiftState keys, int x, int y) {
                tray->note(name + (sender == self ? "" : " (stranger)") +
                           (button == MouseButton::Left ? " left " : " right ") + std::to_string(keys) + " " +
                           std::to_string(x) + "," + std::to_string(y));
            };
        };
        auto plain = [this](std::string name) {
            return [this, name](QObject* sender) { tray->note(name + (sender == self ? "" : " (stranger)")); };
        };
        icon->OnMouseDown = mouse("OnMouseDown");
        icon->OnMouseUp = mouse("OnMouseUp");
        icon->OnClick = plain("OnClick");
        icon->OnDblClick = plain("OnDblClick");
        icon->OnPopupMenu = plain("OnPopupMenu");
        icon->OnShow = plain("OnShow");
        icon->OnHide = plain("OnHide");
    }

    std::intptr_t send(std::uint32_t mouse) { return icon->MessageHandler(tray::kCallbackMessage, 0, mouse); }
    void clear()
    {
        tray->log.clear();
        tray->records.clear();
    }
};

std::string failureOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const EantTaskbarIcon& e) {
        return e.what();
    }
    return "no failure";
}

std::string chinese(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += gbk("传"); // B4 AB: its second byte could pass for a first one
    return text;
}

} // namespace

class AntTaskbarIconTest : public QObject {
    Q_OBJECT
private slots:
    void leftClicksRaiseTheirEventsInOrder()
    {
        Rig rig;
        rig.tray->keys = shift::Ctrl;
        QCOMPARE(rig.send(tray::kLeftButtonDown), std::intptr_t(0));
        QCOMPARE(rig.send(tray::kLeftButtonUp), std::intptr_t(0));
        QCOMPARE(rig.tray->log, (Log{"OnMouseDown left 12 100,200", "front program", "OnMouseUp left 12 100,200",
                                     "OnClick"}));

        // A double click: one OnClick on the first release, then OnDblClick.
        rig.clear();
        rig.tray->keys = 0;
        for (std::uint32_t m : {tray::kLeftButtonDown, tray::kLeftButtonUp, tray::kLeftButtonDblClk, tray::kLeftButtonUp})
            rig.send(m);
        QCOMPARE(rig.tray->log, (Log{"OnMouseDown left 8 100,200", "front program", "OnMouseUp left 8 100,200",
                                     "OnClick", "OnDblClick", "front program", "OnMouseUp left 8 100,200"}));

        // A release whose press happened elsewhere is no click.
        rig.clear();
        rig.send(tray::kLeftButtonUp);
        QCOMPARE(rig.tray->log, (Log{"front program", "OnMouseUp left 8 100,200"}));

        // Mouse moves and the middle button do nothing.
        rig.clear();
        rig.send(tray::kMouseMove);
        rig.send(tray::kMiddleButtonDown);
        rig.send(tray::kMiddleButtonUp);
        QVERIFY(rig.tray->log.empty());
    }

    void rightClickShowsTheMenuBeforeTheRelease()
    {
        Rig rig;
        QMenu menu;
        QMenu* shown = nullptr;
        rig.tray->onMenu = [&](QMenu* m) { shown = m; };
        rig.icon->setPopupMenu(&menu);
        rig.tray->keys = shift::Shift | shift::Alt;
        rig.send(tray::kRightButtonDown);
        rig.send(tray::kRightButtonUp);
        QCOMPARE(shown, &menu);
        QCOMPARE(rig.tray->log, (Log{"front hidden", "OnMouseDown right 19 100,200", "menu 100,200", "post 0",
                                     "OnPopupMenu", "front program", "OnMouseUp right 19 100,200"}));
        // The null message that wakes the hidden window is passed on.
        rig.clear();
        QCOMPARE(rig.icon->MessageHandler(tray::kNullMessage, 0, 0), std::intptr_t(7));
        QCOMPARE(rig.tray->log, (Log{"default 0"}));
    }

    void rightClickWithoutMenuShowsNothing()
    {
        Rig rig;
        {
            QMenu menu;
            rig.icon->setPopupMenu(&menu);
        }
        // The menu went first: the icon forgot it.
        QCOMPARE(rig.icon->PopupMenu(), nullptr);
        rig.send(tray::kRightButtonDown);
        rig.send(tray::kRightButtonUp);
        QCOMPARE(rig.tray->log, (Log{"front hidden", "OnMouseDown right 16 100,200", "front program",
                                     "OnMouseUp right 16 100,200"}));
    }

    void disabledIconPassesEveryMessageOn()
    {
        Rig rig;
        rig.icon->SetVisible(true);
        rig.icon->SetEnabled(false);
        rig.clear();
        for (std::uint32_t m : {tray::kLeftButtonDown, tray::kLeftButtonUp, tray::kLeftButtonDblClk,
                                tray::kRightButtonDown, tray::kRightButtonUp})
            QCOMPARE(rig.send(m), std::intptr_t(7));
        QCOMPARE(rig.tray->log, Log(5, "default 1025"));
        QCOMPARE(rig.tray->icons.size(), size_t(1)); // still in the tray

        rig.clear();
        rig.icon->SetEnabled(true);
        rig.send(tray::kLeftButtonUp); // the press went unseen while disabled
        QCOMPARE(rig.tray->log, (Log{"front program", "OnMouseUp left 8 100,200"}));
    }

    void visibleAndIconIdChangeOnlyWhenDifferent()
    {
        Rig rig;
        rig.icon->SetVisible(false);
        QVERIFY(rig.tray->log.empty());
        rig.icon->SetVisible(true);
        QCOMPARE(rig.tray->log, (Log{"add", "OnShow"}));
        rig.clear();
        rig.icon->SetVisible(true);
        rig.icon->SetIconID(0);
        QVERIFY(rig.tray->log.empty());

        // Shown: out under the old identifier, in under the new one.
        const WindowHandle window = rig.icon->hiddenWindow();
        rig.icon->SetIconID(5);
        QCOMPARE(rig.tray->log, (Log{"delete", "OnHide", "add", "OnShow"}));
        QCOMPARE(rig.tray->records[0].uID, 0u);
        QCOMPARE(rig.tray->records[1].uID, 5u);
        QCOMPARE(rig.tray->icons, (std::set<std::pair<WindowHandle, std::uint32_t>>{{window, 5}}));

        // Hidden: the identifier is only stored.
        rig.icon->SetVisible(false);
        rig.clear();
        rig.icon->SetIconID(9);
        QVERIFY(rig.tray->log.empty());
        QCOMPARE(rig.icon->IconID(), 9);
        QVERIFY(rig.tray->icons.empty());
    }

    void recordsCarryTheIconAsItIs()
    {
        Rig rig;
        const QIcon picture = filledIcon(Qt::red);
        rig.icon->SetIcon(picture); // not in the area yet: refused, and that is fine
        rig.icon->SetHint(gbk("传真"));
        rig.icon->SetVisible(true);
        QCOMPARE(rig.tray->log, (Log{"modify refused", "modify refused", "add", "OnShow"}));
        const NotifyIconData& hidden = rig.tray->records[1];
        const NotifyIconData& shown = rig.tray->records[2];
        QCOMPARE(shown.cbSize, 88u);
        QCOMPARE(shown.hWnd, rig.icon->hiddenWindow());
        QVERIFY(shown.hWnd != 0);
        QCOMPARE(shown.uID, 0u);
        QCOMPARE(hidden.uFlags, 5u);
        QCOMPARE(shown.uFlags, 7u);
        QCOMPARE(shown.uCallbackMessage, 1025u);
        QCOMPARE(shown.hIcon.cacheKey(), picture.cacheKey());
        QCOMPARE(shown.tip(), gbk("传真"));
        QCOMPARE(shown.szTip[4], '\0');

        rig.icon->SetVisible(false);
        QCOMPARE(rig.tray->records.back().uFlags, 5u);

        // A picture taken from an image list; a missing one leaves it empty.
        Rig listed;
        const TImageList list{filledIcon(Qt::green), filledIcon(Qt::blue)};
        listed.icon->SetImageIndex(1);
        QVERIFY(listed.icon->Icon().isNull());
        listed.icon->SetImageList(&list);
        QCOMPARE(listed.icon->Icon().cacheKey(), list[1].cacheKey());
        listed.icon->SetImageIndex(0);
        QCOMPARE(listed.tray->records.back().hIcon.cacheKey(), list[0].cacheKey());
        listed.icon->SetImageIndex(2);
        QVERIFY(listed.icon->Icon().isNull());
        QVERIFY(listed.tray->records.back().hIcon.isNull());
        QCOMPARE(listed.tray->log, (Log(3, "modify refused")));
    }

    void hintIsCutWithoutBreakingACharacter()
    {
        const std::pair<std::string, std::string> cases[] = {
            {std::string(63, 'a'), std::string(63, 'a')},
            {std::string(70, 'a'), std::string(63, 'a')},
            {"a" + chinese(31), "a" + chinese(31)},            // exactly 63 bytes
            {chinese(32), chinese(31)},                        // the last character would be split
            {"a" + chinese(32), "a" + chinese(31)},            // byte 62 is a second byte: kept
            {chinese(31) + "x" + chinese(1), chinese(31) + "x"},
        };
        for (const auto& [hint, expected] : cases) {
            Rig rig;
            rig.icon->SetVisible(true);
            rig.clear();
            rig.icon->SetHint(hint);
            QCOMPARE(rig.icon->Hint(), expected);
            QCOMPARE(rig.tray->log, (Log{"modify"}));
            QCOMPARE(rig.tray->records.back().tip(), expected);
            QCOMPARE(utf8FromGbk(rig.tray->records.back().tip()).find("\xEF\xBF\xBD"), std::string::npos);
        }
    }

    void loadingShowsTheIconAgain()
    {
        Rig rig;
        rig.icon->Loaded();
        QVERIFY(rig.tray->log.empty());
        rig.icon->SetVisible(true);
        rig.icon->Loaded(); // the area refuses the second add; the icon carries on
        QCOMPARE(rig.tray->log, (Log{"add", "OnShow", "add refused", "OnShow"}));
        QCOMPARE(rig.tray->icons.size(), size_t(1));
        QVERIFY(rig.icon->Visible());
    }

    void failuresNameTheIconAndTheStep()
    {
        Rig rig;
        rig.tray->failure = "no tray";
        QCOMPARE(failureOf([&] { rig.icon->SetVisible(true); }), std::string("antTaskbarIcon1.AddToTaskbar failed"));
        QCOMPARE(failureOf([&] { rig.icon->SetHint("x"); }), std::string("antTaskbarIcon1.UpDate failed"));
        rig.tray->failure.reset();
        rig.icon->ShowIcon();
        rig.tray->failure = "no tray";
        QCOMPARE(failureOf([&] { rig.icon->SetVisible(false); }),
                 std::string("antTaskbarIcon1.DeleteFromTaskbar failed"));
        rig.icon.reset(); // a failing removal does not escape the destructor
        QCOMPARE(rig.tray->log.back(), std::string("window gone"));
    }

    void destructionTakesTheIconOut()
    {
        Rig rig;
        rig.icon->SetVisible(true);
        rig.clear();
        rig.icon.reset();
        QCOMPARE(rig.tray->log, (Log{"delete", "OnHide", "window gone"}));
        QVERIFY(rig.tray->icons.empty());
        QVERIFY(rig.tray->windows.empty());
    }

    void desktopAreaRefusesWhatTheDesktopWould()
    {
        DesktopNotificationArea area;
        const WindowHandle window = area.createWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
        NotifyIconData data;
        data.hWnd = window;
        data.uID = 3;
        data.uFlags = 7;
        QVERIFY(!area.modify(data));
        QVERIFY(!area.remove(data));
        QVERIFY(area.add(data));
        QVERIFY(!area.add(data));
        QVERIFY(area.modify(data));
        data.uID = 4;
        QVERIFY(!area.remove(data)); // another icon of the same window
        data.uID = 3;
        QVERIFY(area.remove(data));
        QVERIFY(!area.remove(data));
    }

    void desktopAreaReportsClicksAsMouseMessages()
    {
        DesktopNotificationArea area;
        std::vector<std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>> received;
        const WindowHandle window = area.createWindow([&](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
            received.emplace_back(m, w, l);
            return 0;
        });
        NotifyIconData data;
        data.hWnd = window;
        data.uID = 2;
        data.uFlags = 7;
        data.uCallbackMessage = tray::kCallbackMessage;
        std::memcpy(data.szTip.data(), gbk("传真").c_str(), 5);
        QVERIFY(area.add(data));
        auto* shown = area.icons()->findChild<QSystemTrayIcon*>();
        QVERIFY(shown);
        QCOMPARE(shown->toolTip(), QStringLiteral("传真"));

        using M = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;
        const std::pair<QSystemTrayIcon::ActivationReason, std::vector<M>> cases[] = {
            {QSystemTrayIcon::Trigger, {M{1025, 2, 513}, M{1025, 2, 514}}},
            {QSystemTrayIcon::DoubleClick, {M{1025, 2, 515}}},
            {QSystemTrayIcon::Context, {M{1025, 2, 516}, M{1025, 2, 517}}},
        };
        for (const auto& [reason, expected] : cases) {
            received.clear();
            emit shown->activated(reason);
            QVERIFY(received.empty()); // they come from the event loop, like posted messages
            QTRY_COMPARE(received.size(), expected.size());
            QCOMPARE(received, expected);
        }
        // Once the window is gone, nothing more reaches it.
        received.clear();
        emit shown->activated(QSystemTrayIcon::Trigger);
        area.destroyWindow(window);
        QTest::qWait(10);
        QVERIFY(received.empty());
    }
};

VELLUMAX_TEST_MAIN(AntTaskbarIconTest)
#include "ant_taskbar_icon_test.moc"
