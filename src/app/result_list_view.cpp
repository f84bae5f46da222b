#include "app/result_list_view.h"

#include "app/gbk_qt.h"
#include "numbers/number_classifier.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>

namespace vellumax {
namespace {

// The column header, drawn in the style's own header look.
class HeaderStrip : public QWidget {
public:
    HeaderStrip(ResultListView* view, QWidget* parent) : QWidget(parent), view_(view) {}
    int offset = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = QRect(-offset, 0, ResultListView::kColumnWidth, height());
        option.text = view_->headerText();
        option.position = QStyleOptionHeader::OnlyOneSection;
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
    }

private:
    ResultListView* view_;
};

} // namespace

ResultListView::ResultListView(ResultList& results, QWidget* parent)
    : QAbstractScrollArea(parent), results_(results), header_(new HeaderStrip(this, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    results_.setObserver(this);
}

ResultListView::~ResultListView() { results_.setObserver(nullptr); }

QString ResultListView::rowText(int row) const { return qstringFromGbk(results_.at(static_cast<size_t>(row))); }

int ResultListView::rowHeight() const { return fontMetrics().height() + 2; }

int ResultListView::visibleRows() const { return std::max(1, viewport()->height() / rowHeight()); }

int ResultListView::topRow() const { return verticalScrollBar()->value(); }

void ResultListView::updateScrollRanges()
{
    const int headerHeight = fontMetrics().height() + 6;
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.x(), area.y() - headerHeight, area.width(), headerHeight);

    verticalScrollBar()->setRange(0, std::max(0, rowCount() - visibleRows()));
    verticalScrollBar()->setPageStep(visibleRows());
    horizontalScrollBar()->setRange(0, std::max(0, kColumnWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void ResultListView::makeVisible(int row)
{
    if (row < topRow())
        verticalScrollBar()->setValue(row);
    else if (row >= topRow() + visibleRows())
        verticalScrollBar()->setValue(row - visibleRows() + 1);
}

void ResultListView::appended(size_t row)
{
    // A page can bring hundreds of numbers within one handler; the view
    // catches up once, when the event loop next turns, before it paints.
    lastAppended_ = static_cast<int>(row);
    if (!refreshPending_) {
        refreshPending_ = true;
        QMetaObject::invokeMethod(this, &ResultListView::refreshAfterAppends, Qt::QueuedConnection);
    }
}

void ResultListView::refreshAfterAppends()
{
    refreshPending_ = false;
    if (lastAppended_ < 0 || lastAppended_ >= rowCount())
        return;
    verticalScrollBar()->setMaximum(std::max(0, rowCount() - visibleRows()));
    makeVisible(lastAppended_);
    viewport()->update();
}

void ResultListView::cleared()
{
    current_ = -1;
    lastAppended_ = -1;
    selected_.clear();
    anchor_ = -1;
    verticalScrollBar()->setRange(0, 0);
    viewport()->update();
}

void ResultListView::setCurrentRow(int row)
{
    if (rowCount() == 0)
        return;
    current_ = std::clamp(row, 0, rowCount() - 1);
    makeVisible(current_);
    viewport()->update();
}

void ResultListView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int first = topRow();
    const int last = std::min(rowCount(), first + visibleRows() + 1);
    const int left = -horizontalScrollBar()->value();
    for (int row = first; row < last; ++row) {
        const QRect line(left, (row - first) * height, kColumnWidth, height);
        if (isSelected(row)) {
            painter.fillRect(line, palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                                   QPalette::Highlight));
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        painter.drawText(line.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, rowText(row));
    }
}

void ResultListView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void ResultListView::scrollContentsBy(int dx, int)
{
    if (dx != 0) {
        static_cast<HeaderStrip*>(header_)->offset = horizontalScrollBar()->value();
        header_->update();
    }
    viewport()->update();
}

void ResultListView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    int row;
    switch (event->key()) {
    case Qt::Key_Up: row = current_ - 1; break;
    case Qt::Key_Down: row = current_ + 1; break;
    case Qt::Key_PageUp: row = current_ - visibleRows(); break;
    case Qt::Key_PageDown: row = current_ + visibleRows(); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = rowCount() - 1; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (rowCount() == 0)
        return;
    row = std::clamp(row, 0, rowCount() - 1);
    if (event->modifiers() & Qt::ShiftModifier)
        selectRange(anchor_ < 0 ? row : anchor_, row, false);
    else
        selectOnly(row);
    setCurrentRow(row);
}

bool ResultListView::isSelected(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < selected_.size() && selected_[static_cast<size_t>(row)];
}

int ResultListView::selectedCount() const
{
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void ResultListView::selectOnly(int row)
{
    selected_.assign(static_cast<size_t>(row) + 1, false);
    selected_[static_cast<size_t>(row)] = true;
    anchor_ = row;
}

void ResultListView::selectRange(int from, int to, bool keepOthers)
{
    const auto [first, last] = std::minmax(from, to);
    if (anchor_ < 0)
        anchor_ = from;
    if (!keepOthers)
        selected_.clear();
    if (selected_.size() <= static_cast<size_t>(last))
        selected_.resize(static_cast<size_t>(last) + 1, false);
    std::fill(selected_.begin() + first, selected_.begin() + last + 1, true);
    viewport()->update();
}

void ResultListView::toggleSelected(int row)
{
    if (selected_.size() <= static_cast<size_t>(row))
        selected_.resize(static_cast<size_t>(row) + 1, false);
    selected_[static_cast<size_t>(row)] = !selected_[static_cast<size_t>(row)];
    anchor_ = row;
}

void ResultListView::selectAll()
{
    // Entries found afterwards are not selected: the user chose these.
    selected_.assign(static_cast<size_t>(rowCount()), true);
    viewport()->update();
}

QString ResultListView::selectedText() const
{
    QString text;
    for (size_t row = 0; row < selected_.size() && row < results_.size(); ++row) {
        if (!selected_[row])
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += qstringFromGbk(results_[row]);
    }
    return text;
}

void ResultListView::copySelection() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

int ResultListView::rowAt(QPoint point) const
{
    const int left = -horizontalScrollBar()->value();
    if (point.y() < 0 || point.x() < left || point.x() >= left + kColumnWidth)
        return -1;
    const int row = topRow() + point.y() / rowHeight();
    return row < rowCount() ? row : -1;
}

QString ResultListView::rowToolTip(int row) const
{
    if (!classifier_)
        classifier_ = std::make_unique<NumberClassifier>();
    QString tip = qstringFromGbk(numberSummary(classifier_->classify(results_.at(static_cast<size_t>(row)))));
    if (const std::string title = rowTitles_ ? rowTitles_(static_cast<size_t>(row)) : std::string(); !title.empty())
        tip += QLatin1Char('\n') + qstringFromGbk(title);
    return tip;
}

bool ResultListView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int row = rowAt(help->pos());
    if (row < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tip stays while the pointer is on the same row.
    const int left = -horizontalScrollBar()->value();
    const QRect line(left, (row - topRow()) * rowHeight(), kColumnWidth, rowHeight());
    QToolTip::showText(help->globalPos(), rowToolTip(row), viewport(), line);
    return true;
}

void ResultListView::mousePressEvent(QMouseEvent* event)
{
    const int row = topRow() + event->position().toPoint().y() / rowHeight();
    if (row >= rowCount())
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->button() == Qt::RightButton) {
        // A right click on a selected entry keeps the selection for the menu.
        if (!isSelected(row))
            selectOnly(row);
    } else if (modifiers & Qt::ShiftModifier) {
        selectRange(anchor_ < 0 ? row : anchor_, row, modifiers & Qt::ControlModifier);
    } else if (modifiers & Qt::ControlModifier) {
        toggleSelected(row);
    } else {
        selectOnly(row);
    }
    setCurrentRow(row);
}

void ResultListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (menu_)
        menu_->popup(event->globalPos());
}

} // namespace vellumax
