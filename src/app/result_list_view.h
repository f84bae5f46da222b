#pragma once

#include "search/result_list.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;

namespace vellumax {

class NumberClassifier;

// The result list on screen: a read-only list under the one column header
// "Fax". It paints the rows it shows straight from the ResultList, so an
// append costs the same at the millionth number as at the first, and each
// number is scrolled into view the moment it is found. Hovering a number
// shows its region and kind; it is classified only then, never on append.
// Entries are selected as in every list: a click, Shift and Ctrl clicks, the
// arrow keys with Shift, Ctrl+A; Ctrl+C copies the selected numbers.
class ResultListView : public QAbstractScrollArea, private ResultListObserver {
    Q_OBJECT
public:
    explicit ResultListView(ResultList& results, QWidget* parent = nullptr);
    ~ResultListView() override;

    static constexpr int kColumnWidth = 175;

    QString headerText() const { return QStringLiteral("Fax"); }
    int rowCount() const { return static_cast<int>(results_.size()); }
    QString rowText(int row) const;
    int currentRow() const { return current_; }
    int topRow() const;
    int visibleRows() const;
    int rowHeight() const;
    // The row under a point of the viewport, or -1 below the last row or
    // right of the column.
    int rowAt(QPoint point) const;
    // "江苏省苏州市 · 固定电话", or "无效号码", and on a line of its own the
    // title of the page the number was read on.
    QString rowToolTip(int row) const;

    bool isSelected(int row) const;
    int selectedCount() const;
    void selectAll();
    // The selected numbers, one a line, in list order.
    QString selectedText() const;
    // Puts them on the clipboard; with nothing selected, leaves it.
    void copySelection() const;
    // Shown by a right click on the list.
    void setContextMenu(QMenu* menu) { menu_ = menu; }
    // The title (GBK) of the web page the entry at a row was read on, for
    // its tooltip; "" for none.
    void setRowTitles(std::function<std::string(size_t row)> titles) { rowTitles_ = std::move(titles); }
    QMenu* contextMenu() const { return menu_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void aboutToAppend(size_t) override {}
    void appended(size_t row) override;
    void aboutToClear() override {}
    void cleared() override;

    void refreshAfterAppends();
    void updateScrollRanges();
    void makeVisible(int row);
    void setCurrentRow(int row);
    void selectOnly(int row);
    void selectRange(int from, int to, bool keepOthers);
    void toggleSelected(int row);

    ResultList& results_;
    QWidget* header_;
    int current_ = -1;
    int lastAppended_ = -1;
    bool refreshPending_ = false;
    // One flag a row up to the last row ever selected; rows past it are not.
    std::vector<bool> selected_;
    int anchor_ = -1; // where a Shift click or Shift arrow extends from
    QMenu* menu_ = nullptr;
    std::function<std::string(size_t row)> rowTitles_;
    // Made on the first hover: the phone-number library sets itself up then.
    mutable std::unique_ptr<NumberClassifier> classifier_;
};

} // namespace vellumax
