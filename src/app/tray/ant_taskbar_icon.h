#pragma once

// TantTaskbarIcon: an icon in the notification area, with a tooltip, mouse
// events and a pop-up menu on a right click.

#include "app/tray/notification_area.h"
#include "text/error.h"

#include <QIcon>
#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;

namespace vellumax {

class EantTaskbarIcon : public Error {
public:
    using Error::Error;
};

enum class MouseButton { Left, Right, Middle };

// A list of pictures an icon can take its picture from.
using TImageList = std::vector<QIcon>;

class TantTaskbarIcon : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TMouseEvent = std::function<void(QObject* sender, MouseButton button, ShiftState shift, int x, int y)>;

    // Removal notification: what happens to a component the icon refers to.
    enum class Operation { Insert, Remove };

    static constexpr int kMaxHintBytes = tray::kTipBytes - 1;

    explicit TantTaskbarIcon(std::unique_ptr<NotificationArea> area, QObject* owner = nullptr);
    ~TantTaskbarIcon() override;

    // Published properties, in their order, with their defaults. PopupMenu
    // and the events are plain assignments; the others go through setters.
    const QIcon& Icon() const { return icon_; }                 // empty
    const TImageList* ImageList() const { return imageList_; }  // none
    int ImageIndex() const { return imageIndex_; }              // 0
    int IconID() const { return iconID_; }                      // 0
    bool Visible() const { return visible_; }                   // false
    bool Enabled() const { return enabled_; }                   // true
    const std::string& Hint() const { return hint_; }           // empty, GBK, at most 63 bytes
    QMenu* PopupMenu() const { return popupMenu_; }             // none
    void setPopupMenu(QMenu* menu);

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnPopupMenu;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    // End of loading: once the owner has set the properties.
    virtual void Loaded();
    // Removal notification: `component` is being destroyed.
    virtual void Notification(QObject* component, Operation operation);

    // The overridable operations.
    virtual std::intptr_t MessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    virtual void FillNotifyData();
    virtual void AddToTaskbar();
    virtual void DeleteFromTaskbar();
    virtual void ApplyImageListIcon();
    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void SetIcon(const QIcon& icon);
    virtual void SetImageList(const TImageList* list);
    virtual void SetImageIndex(int index);
    virtual void SetIconID(int id);
    virtual void SetVisible(bool visible);
    virtual void SetEnabled(bool enabled);
    virtual void SetHint(const std::string& hint);
    virtual void UpDate();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void PopupAtCursor();

    // The record as last filled, and the hidden window it names.
    const NotifyIconData& notifyData() const { return data_; }
    WindowHandle hiddenWindow() const { return window_; }

private:
    // Runs one call to the area; a failure in it becomes "<name>.<what> failed".
    void callArea(const char* what, bool (NotificationArea::*call)(const NotifyIconData&));

    std::unique_ptr<NotificationArea> area_;
    WindowHandle window_ = 0;
    NotifyIconData data_;
    QIcon icon_;
    const TImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    int iconID_ = 0;
    std::uint32_t flags_ = tray::kFlagMessage | tray::kFlagTip;
    bool visible_ = false;
    bool enabled_ = true;
    std::string hint_;
    QMenu* popupMenu_ = nullptr;
    QMetaObject::Connection menuGone_;
    bool clickPending_ = false;
};

} // namespace vellumax
