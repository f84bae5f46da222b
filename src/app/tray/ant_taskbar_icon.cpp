#include "app/tray/ant_taskbar_icon.h"

#include "text/gbk_codec.h"

#include <QMenu>

#include <algorithm>
#include <cstring>

namespace vellumax {
TantTaskbarIcon::TantTaskbarIcon(std::unique_ptr<NotificationArea> area, QObject* owner)
    : QObject(owner), area_(std::move(area))
{
    window_ = area_->createWindow([this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        return MessageHandler(message, wParam, lParam);
    });
}

TantTaskbarIcon::~TantTaskbarIcon()
{
    disconnect(menuGone_);
    // The icon leaves the area with its component. Nobody is left to hear
    // about a failure at this point.
    try {
        SetVisible(false);
    } catch (const std::exception&) {
    }
    area_->destroyWindow(window_);
}

void TantTaskbarIcon::setPopupMenu(QMenu* menu)
{
    disconnect(menuGone_);
    popupMenu_ = menu;
    if (menu)
        menuGone_ = connect(menu, &QObject::destroyed, this,
                            [this](QObject* gone) { Notification(gone, Operation::Remove); });
}

void TantTaskbarIcon::Loaded()
{
    if (visible_)
        ShowIcon();
}

void TantTaskbarIcon::Notification(QObject* component, Operation operation)
{
    if (operation == Operation::Remove && component == popupMenu_) {
        disconnect(menuGone_);
        popupMenu_ = nullptr;
    }
}

std::intptr_t TantTaskbarIcon::MessageHandler(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != tray::kCallbackMessage || !enabled_)
        return area_->defaultHandling(window_, message, wParam, lParam);

    const QPoint at = area_->cursorPos();
    const ShiftState keys = area_->keyState();
    switch (static_cast<std::uint32_t>(lParam)) {
    case tray::kLeftButtonDown:
        clickPending_ = true;
        MouseDown(MouseButton::Left, keys | shift::Left, at.x(), at.y());
        break;
    case tray::kLeftButtonUp:
        MouseUp(MouseButton::Left, keys | shift::Left, at.x(), at.y());
        if (clickPending_)
            Click();
        clickPending_ = false;
        break;
    case tray::kLeftButtonDblClk:
        DblClick();
        break;
    case tray::kRightButtonDown:
        area_->bringToForeground(window_);
        MouseDown(MouseButton::Right, keys | shift::Right, at.x(), at.y());
        break;
    case tray::kRightButtonUp:
        PopupAtCursor();
        MouseUp(MouseButton::Right, keys | shift::Right, at.x(), at.y());
        break;
    default:
        break;
    }
    return 0;
}

void TantTaskbarIcon::FillNotifyData()
{
    data_ = NotifyIconData{};
    data_.cbSize = tray::kRecordSize;
    data_.hWnd = window_;
    data_.uID = static_cast<std::uint32_t>(iconID_);
    data_.uFlags = flags_;
    data_.uCallbackMessage = tray::kCallbackMessage;
    data_.hIcon = icon_;
    const std::size_t length = std::min(hint_.size(), data_.szTip.size() - 1);
    std::memcpy(data_.szTip.data(), hint_.data(), length);
}

void TantTaskbarIcon::callArea(const char* what, bool (NotificationArea::*call)(const NotifyIconData&))
{
    try {
        FillNotifyData();
        // A refusal (the icon already there, or not there) is the area's
        // business; the icon carries on either way.
        (void)(area_.get()->*call)(data_);
    } catch (const std::exception&) {
        throw EantTaskbarIcon(objectName().toStdString() + "." + what + " failed");
    }
}

void TantTaskbarIcon::AddToTaskbar() { callArea("AddToTaskbar", &NotificationArea::add); }

void TantTaskbarIcon::DeleteFromTaskbar() { callArea("DeleteFromTaskbar", &NotificationArea::remove); }

void TantTaskbarIcon::UpDate() { callArea("UpDate", &NotificationArea::modify); }

void TantTaskbarIcon::ApplyImageListIcon()
{
    if (!imageList_)
        return;
    icon_ = QIcon();
    if (imageIndex_ >= 0 && static_cast<std::size_t>(imageIndex_) < imageList_->size())
        icon_ = (*imageList_)[static_cast<std::size_t>(imageIndex_)];
    UpDate();
}

void TantTaskbarIcon::MouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TantTaskbarIcon::MouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    area_->bringProgramToForeground();
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TantTaskbarIcon::Click()
{
    if (OnClick)
        OnClick(this);
}

void TantTaskbarIcon::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TantTaskbarIcon::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    UpDate();
}

void TantTaskbarIcon::SetImageList(const TImageList* list)
{
    imageList_ = list;
    ApplyImageListIcon();
}

void TantTaskbarIcon::SetImageIndex(int index)
{
    imageIndex_ = index;
    ApplyImageListIcon();
}

void TantTaskbarIcon::SetIconID(int id)
{
    if (id == iconID_)
        return;
    const bool wasVisible = visible_;
    SetVisible(false); // leaves under the old identifier
    iconID_ = id;
    SetVisible(wasVisible); // comes back under the new one
}

void TantTaskbarIcon::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible)
        ShowIcon();
    else
        HideIcon();
}

void TantTaskbarIcon::SetEnabled(bool enabled) { enabled_ = enabled; }

void TantTaskbarIcon::SetHint(const std::string& hint)
{
    hint_ = cutGbk(hint, kMaxHintBytes);
    UpDate();
}

void TantTaskbarIcon::ShowIcon()
{
    flags_ |= tray::kFlagIcon;
    AddToTaskbar();
    visible_ = true;
    if (OnShow)
        OnShow(this);
}

void TantTaskbarIcon::HideIcon()
{
    flags_ &= ~tray::kFlagIcon;
    DeleteFromTaskbar();
    visible_ = false;
    if (OnHide)
        OnHide(this);
}

void TantTaskbarIcon::PopupAtCursor()
{
    if (!popupMenu_)
        return;
    area_->popupMenu(popupMenu_, area_->cursorPos());
    area_->postMessage(window_, tray::kNullMessage, 0, 0);
    if (OnPopupMenu)
        OnPopupMenu(this);
}

} // namespace vellumax
