#pragma once

#include "search/result_list.h"

#include <QAbstractScrollArea>

#include <memory>

namespace vellumax {

class NumberClassifier;

// The result list on screen: a read-only list under the one column header
// "Fax". It paints the rows it shows straight from the ResultList, so an
// append costs the same at the millionth number as at the first, and each
// number is scrolled into view the moment it is found. Hovering a number
// shows its region and kind; it is classified only then, never on append.
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
    // "江苏省苏州市 · 固定电话", or "无效号码".
    QString rowToolTip(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
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

    ResultList& results_;
    QWidget* header_;
    int current_ = -1;
    int lastAppended_ = -1;
    bool refreshPending_ = false;
    // Made on the first hover: the phone-number library sets itself up then.
    mutable std::unique_ptr<NumberClassifier> classifier_;
};

} // namespace vellumax
