#pragma once

#include <QIcon>

namespace vellumax {

enum class ToolbarPicture { Import, Search, Stop, Save, Progress, Merge, Homepage, About, Exit };

// The 16 x 16 toolbar pictures (Qt greys them for the disabled state).
QIcon toolbarPicture(ToolbarPicture which);

// The program icon: one 32 x 32 picture in 16 colours, used by the window,
// the tray icon and the about box.
QIcon programIcon();
QImage programIconImage();

} // namespace vellumax
