#include "app/tray/desktop_notification_area.h"

#include "app/gbk_qt.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPixmap>
#include <QWidget>

#include <vector>

namespace vellumax {
namespace {

// A tray icon needs a picture to be shown at all; an icon without one shows
// as an empty place.
QIcon shownPicture(const QIcon& icon)
{
    if (!icon.isNull())
        return icon;
    QPixmap empty(16, 16);
    empty.fill(Qt::transparent);
    return QIcon(empty);
}

} // namespace

DesktopNotificationArea::DesktopNotificationArea() = default;

// The tray icons go with owner_.
DesktopNotificationArea::~DesktopNotificationArea() = default;

bool DesktopNotificationArea::add(const NotifyIconData& data)
{
    const Key key{data.hWnd, data.uID};
    if (shown_.count(key))
        return false;
    Shown& shown = shown_[key];
    shown.icon = new QSystemTrayIcon(&owner_);
    QObject::connect(shown.icon, &QSystemTrayIcon::activated, &owner_,
                     [this, key](QSystemTrayIcon::ActivationReason reason) { report(key, reason); });
    shown.icon->setIcon(shownPicture(QIcon()));
    apply(shown, data);
    shown.icon->show();
    return true;
}

bool DesktopNotificationArea::modify(const NotifyIconData& data)
{
    auto it = shown_.find(Key{data.hWnd, data.uID});
    if (it == shown_.end())
        return false;
    apply(it->second, data);
    return true;
}

bool DesktopNotificationArea::remove(const NotifyIconData& data)
{
    auto it = shown_.find(Key{data.hWnd, data.uID});
    if (it == shown_.end())
        return false;
    it->second.icon->hide();
    it->second.icon->deleteLater();
    shown_.erase(it);
    return true;
}

void DesktopNotificationArea::apply(Shown& shown, const NotifyIconData& data)
{
    if (data.uFlags & tray::kFlagMessage) {
        shown.reports = true;
        shown.callbackMessage = data.uCallbackMessage;
    }
    if (data.uFlags & tray::kFlagIcon)
        shown.icon->setIcon(shownPicture(data.hIcon));
    if (data.uFlags & tray::kFlagTip)
        shown.icon->setToolTip(qstringFromGbk(data.tip()));
}

void DesktopNotificationArea::report(const Key& key, QSystemTrayIcon::ActivationReason reason)
{
    auto it = shown_.find(key);
    if (it == shown_.end() || !it->second.reports)
        return;
    std::vector<std::uint32_t> mouse;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        mouse = {tray::kLeftButtonDown, tray::kLeftButtonUp};
        break;
    case QSystemTrayIcon::DoubleClick:
        mouse = {tray::kLeftButtonDblClk};
        break;
    case QSystemTrayIcon::Context:
        mouse = {tray::kRightButtonDown, tray::kRightButtonUp};
        break;
    case QSystemTrayIcon::MiddleClick:
        mouse = {tray::kMiddleButtonDown, tray::kMiddleButtonUp};
        break;
    default:
        return;
    }
    for (std::uint32_t m : mouse)
        postMessage(key.first, it->second.callbackMessage, key.second, static_cast<std::intptr_t>(m));
}

WindowHandle DesktopNotificationArea::createWindow(MessageSink sink)
{
    const WindowHandle window = nextWindow_++;
    windows_[window] = std::move(sink);
    return window;
}

void DesktopNotificationArea::destroyWindow(WindowHandle window) { windows_.erase(window); }

void DesktopNotificationArea::postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam)
{
    QMetaObject::invokeMethod(
        &owner_,
        [this, window, message, wParam, lParam] {
            auto it = windows_.find(window);
            if (it != windows_.end()) {
                // The sink may destroy the window (and this area) while it runs.
                MessageSink sink = it->second;
                sink(message, wParam, lParam);
            }
        },
        Qt::QueuedConnection);
}

std::intptr_t DesktopNotificationArea::defaultHandling(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}

QPoint DesktopNotificationArea::cursorPos() { return QCursor::pos(); }

ShiftState DesktopNotificationArea::keyState()
{
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    ShiftState state = 0;
    if (keys & Qt::ShiftModifier)
        state |= shift::Shift;
    if (keys & Qt::ControlModifier)
        state |= shift::Ctrl;
    if (keys & Qt::AltModifier)
        state |= shift::Alt;
    return state;
}

void DesktopNotificationArea::bringToForeground(WindowHandle)
{
    // The hidden window has no place on the screen; the menu that follows
    // takes the input itself.
}

void DesktopNotificationArea::bringProgramToForeground()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window && !window->isMinimized()) {
            window->activateWindow();
            return;
        }
    }
}

void DesktopNotificationArea::popupMenu(QMenu* menu, QPoint at) { menu->exec(at); }

} // namespace vellumax
