#pragma once

// A notification area that only writes down what it is asked to do, and
// answers like the desktop would: it refuses a second add and changes or
// deletes of icons it does not have.

#include "app/tray/notification_area.h"
#include "text/error.h"

#include <QMenu>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vellumax::test {

// Shared between the area and the test, so that it outlives the icon.
struct FakeTray {
    std::vector<std::string> log;          // area calls and, from the tests' handlers, events
    std::vector<NotifyIconData> records;   // every record handed to add, modify or delete
    std::set<std::pair<WindowHandle, std::uint32_t>> icons; // what the area shows
    std::map<WindowHandle, NotificationArea::MessageSink> windows;
    std::vector<std::uint32_t> posted;
    QPoint cursor{100, 200};
    ShiftState keys = 0;
    std::optional<std::string> failure;   // every record call throws this
    std::function<void(QMenu*)> onMenu;   // what the user does while the menu is up

    void note(std::string entry) { log.push_back(std::move(entry)); }
};

class FakeNotificationArea : public NotificationArea {
public:
    explicit FakeNotificationArea(std::shared_ptr<FakeTray> tray) : tray_(std::move(tray)) {}

    bool add(const NotifyIconData& data) override
    {
        failIfAsked();
        return record("add", data, tray_->icons.insert(key(data)).second);
    }
    bool modify(const NotifyIconData& data) override
    {
        failIfAsked();
        return record("modify", data, tray_->icons.count(key(data)) > 0);
    }
    bool remove(const NotifyIconData& data) override
    {
        failIfAsked();
        return record("delete", data, tray_->icons.erase(key(data)) > 0);
    }

    WindowHandle createWindow(MessageSink sink) override
    {
        const WindowHandle window = 0x51 + tray_->windows.size();
        tray_->windows[window] = std::move(sink);
        return window;
    }
    void destroyWindow(WindowHandle window) override
    {
        tray_->windows.erase(window);
        tray_->note("window gone");
    }
    void postMessage(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) override
    {
        tray_->posted.push_back(message);
        tray_->note("post " + std::to_string(message));
    }
    std::intptr_t defaultHandling(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) override
    {
        tray_->note("default " + std::to_string(message));
        return 7;
    }
    QPoint cursorPos() override { return tray_->cursor; }
    ShiftState keyState() override { return tray_->keys; }
    void bringToForeground(WindowHandle) override { tray_->note("front hidden"); }
    void bringProgramToForeground() override { tray_->note("front program"); }
    void popupMenu(QMenu* menu, QPoint at) override
    {
        tray_->note("menu " + std::to_string(at.x()) + "," + std::to_string(at.y()));
        if (tray_->onMenu)
            tray_->onMenu(menu);
    }

private:
    static std::pair<WindowHandle, std::uint32_t> key(const NotifyIconData& d) { return {d.hWnd, d.uID}; }

    void failIfAsked()
    {
        if (tray_->failure)
            throw Error(*tray_->failure);
    }

    bool record(const char* what, const NotifyIconData& data, bool done)
    {
        tray_->records.push_back(data);
        tray_->note(std::string(what) + (done ? "" : " refused"));
        return done;
    }

    std::shared_ptr<FakeTray> tray_;
};

} // namespace vellumax::test
