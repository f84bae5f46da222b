#pragma once

// The notification area of the desktop, as the tray icon sees it: a place
// that takes icon records (add, modify, delete), and the few desktop services
// around it that the icon needs (a hidden message window, the cursor, the
// keys, the foreground window and a pop-up menu at a point).

#include <QIcon>
#include <QPoint>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QMenu;

namespace vellumax {

// Identifies a hidden message window made by the area. 0 is no window.
using WindowHandle = std::uintptr_t;

// Messages and flags of the icon records.
namespace tray {
constexpr std::uint32_t kNullMessage = 0;        // posted to wake the hidden window
constexpr std::uint32_t kUserMessage = 0x0400;
constexpr std::uint32_t kCallbackMessage = kUserMessage + 1; // 1025: the area reports a mouse message
constexpr std::uint32_t kMouseMove = 0x0200;
constexpr std::uint32_t kLeftButtonDown = 0x0201;     // 513
constexpr std::uint32_t kLeftButtonUp = 0x0202;       // 514
constexpr std::uint32_t kLeftButtonDblClk = 0x0203;   // 515
constexpr std::uint32_t kRightButtonDown = 0x0204;    // 516
constexpr std::uint32_t kRightButtonUp = 0x0205;      // 517
constexpr std::uint32_t kMiddleButtonDown = 0x0207;   // 519
constexpr std::uint32_t kMiddleButtonUp = 0x0208;     // 520

constexpr std::uint32_t kFlagMessage = 1; // uCallbackMessage is valid
constexpr std::uint32_t kFlagIcon = 2;    // hIcon is valid
constexpr std::uint32_t kFlagTip = 4;     // szTip is valid

constexpr std::uint32_t kRecordSize = 88; // the first, narrow form of the record
constexpr std::size_t kTipBytes = 64;     // szTip, zero byte included
} // namespace tray

// One icon as it is handed to the area. The area tells icons apart by hWnd
// and uID.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    QIcon hIcon; // the picture itself stands in for an icon handle; null for none
    std::array<char, tray::kTipBytes> szTip{}; // GBK, ended by a zero byte

    std::string tip() const { return std::string(szTip.data()); }
};

// Shift state of a mouse event: keys held and the button concerned.
using ShiftState = unsigned;
namespace shift {
constexpr ShiftState Shift = 1;
constexpr ShiftState Alt = 2;
constexpr ShiftState Ctrl = 4;
constexpr ShiftState Left = 8;
constexpr ShiftState Right = 16;
constexpr ShiftState Middle = 32;
} // namespace shift

class NotificationArea {
public:
    // Receives the messages of a hidden window and answers with a result.
    using MessageSink = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

    virtual ~NotificationArea() = default;

    // The icon records. Each answers false when the area refuses: adding an
    // icon that is already there, changing or deleting one that is not.
    virtual bool add(const NotifyIconData& data) = 0;
    virtual bool modify(const NotifyIconData& data) = 0;
    virtual bool remove(const NotifyIconData& data) = 0;

    // The hidden window: never shown, its messages go to `sink`.
    virtual WindowHandle createWindow(MessageSink sink) = 0;
    virtual void destroyWindow(WindowHandle window) = 0;
    // Queues a message for the window; it arrives from the event loop.
    virtual void postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
    // What a window does with a message it has no use for.
    virtual std::intptr_t defaultHandling(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) = 0;

    // Cursor position in screen coordinates, and the Shift, Ctrl and Alt keys.
    virtual QPoint cursorPos() = 0;
    virtual ShiftState keyState() = 0;

    // Makes the hidden window, or the program itself, the foreground window.
    virtual void bringToForeground(WindowHandle window) = 0;
    virtual void bringProgramToForeground() = 0;

    // Shows `menu` with its top-left corner at `at` and returns once it has
    // closed. The chosen item's command runs later, from the event loop.
    virtual void popupMenu(QMenu* menu, QPoint at) = 0;
};

} // namespace vellumax
