#pragma once

// The desktop's notification area through QSystemTrayIcon: one tray icon per
// record, its clicks reported to the hidden window as the mouse messages the
// tray icon component expects.

#include "app/tray/notification_area.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <map>
#include <utility>

namespace vellumax {

class DesktopNotificationArea : public NotificationArea {
public:
    DesktopNotificationArea();
    ~DesktopNotificationArea() override;

    bool add(const NotifyIconData& data) override;
    bool modify(const NotifyIconData& data) override;
    bool remove(const NotifyIconData& data) override;

    WindowHandle createWindow(MessageSink sink) override;
    void destroyWindow(WindowHandle window) override;
    void postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    std::intptr_t defaultHandling(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;

    QPoint cursorPos() override;
    ShiftState keyState() override;
    void bringToForeground(WindowHandle window) override;
    void bringProgramToForeground() override;
    void popupMenu(QMenu* menu, QPoint at) override;

    // The tray icons shown, children of this object (for tests).
    QObject* icons() { return &owner_; }

private:
    struct Shown {
        QSystemTrayIcon* icon = nullptr;
        std::uint32_t callbackMessage = 0;
        bool reports = false; // the record asked for mouse messages
    };
    using Key = std::pair<WindowHandle, std::uint32_t>;

    void apply(Shown& shown, const NotifyIconData& data);
    void report(const Key& key, QSystemTrayIcon::ActivationReason reason);

    QObject owner_; // parent of the tray icons and context of the posted messages
    std::map<WindowHandle, MessageSink> windows_;
    std::map<Key, Shown> shown_;
    WindowHandle nextWindow_ = 0x1000;
};

} // namespace vellumax
