#pragma once

#include <functional>

class QMenu;

namespace vellumax {

class ResultListView;

// The result list's context menu: 复制 (Ctrl+C) and 全选 (Ctrl+A) over the
// view's selection, then 导出号码表…, which runs `exportTable`. Each action
// carries an object name (copyNumbers, selectAllNumbers, exportTable) and
// the menu is resultListMenu. The view shows the menu on a right click; it
// is the view's child.
QMenu* makeResultListMenu(ResultListView* view, std::function<void()> exportTable);

} // namespace vellumax
