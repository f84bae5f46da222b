#pragma once

#include <functional>

class QMenu;

namespace vellumax {

class ResultListView;

// The result list's context menu: 复制 (Ctrl+C) and 全选 (Ctrl+A) over the
// view's selection, then 导出号码表…, which runs `exportTable`, and 号码统计…,
// which runs `showStats`. Each action carries an object name (copyNumbers,
// selectAllNumbers, exportTable, harvestStats) and the menu is
// resultListMenu. The view shows the menu on a right click; it is the view's
// child.
QMenu* makeResultListMenu(ResultListView* view, std::function<void()> exportTable, std::function<void()> showStats);

} // namespace vellumax
