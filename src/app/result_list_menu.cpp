#include "app/result_list_menu.h"

#include "app/result_list_view.h"

#include <QAction>
#include <QMenu>

namespace vellumax {

QMenu* makeResultListMenu(ResultListView* view, std::function<void()> exportTable, std::function<void()> showStats)
{
    auto* menu = new QMenu(view);
    menu->setObjectName(QStringLiteral("resultListMenu"));
    // A pop-up takes the application's font, not its owner's: the window's
    // Song face, in solid strokes, is set on it too.
    menu->setFont(view->font());

    QAction* copy = menu->addAction(QStringLiteral("复制"), view, [view] { view->copySelection(); });
    copy->setObjectName(QStringLiteral("copyNumbers"));
    // The keys themselves are the view's; the menu shows them beside the
    // captions, and takes them while it is open.
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);

    QAction* selectAll = menu->addAction(QStringLiteral("全选"), view, [view] { view->selectAll(); });
    selectAll->setObjectName(QStringLiteral("selectAllNumbers"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);

    menu->addSeparator();
    QAction* exportAction = menu->addAction(QStringLiteral("导出号码表…"), view, std::move(exportTable));
    exportAction->setObjectName(QStringLiteral("exportTable"));
    QAction* stats = menu->addAction(QStringLiteral("号码统计…"), view, std::move(showStats));
    stats->setObjectName(QStringLiteral("harvestStats"));

    QObject::connect(menu, &QMenu::aboutToShow, view, [view, copy, selectAll] {
        copy->setEnabled(view->selectedCount() > 0);
        selectAll->setEnabled(view->rowCount() > 0);
    });
    view->setContextMenu(menu);
    return menu;
}

} // namespace vellumax
