#include "app/spin_edit.h"

#include "app/gbk_qt.h"
#include "text/int_conversion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vellumax {
namespace {

constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 100;

std::optional<int32_t> wholeNumber(const QString& text) { return tryStrToInt(gbkFromQString(text)); }

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatDelayMs);
    button->setAutoRepeatInterval(kRepeatIntervalMs);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(15, 8);
    return button;
}

} // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), edit_(new QLineEdit(this)),
      up_(arrowButton(Qt::UpArrow, this)), down_(arrowButton(Qt::DownArrow, this))
{
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(1);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(edit_);
    row->addLayout(arrows);

    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    setValue(value);
}

int TSpinEdit::value() const { return wholeNumber(edit_->text()).value_or(minimum_); }

void TSpinEdit::setValue(int value) { edit_->setText(QString::number(std::clamp(value, minimum_, maximum_))); }

QString TSpinEdit::text() const { return edit_->text(); }

void TSpinEdit::setText(const QString& text) { edit_->setText(text); }

void TSpinEdit::step(int delta)
{
    // Widen first, so that a value at the 32-bit edge cannot overflow.
    const long long next = static_cast<long long>(value()) + delta;
    setValue(static_cast<int>(std::clamp<long long>(next, minimum_, maximum_)));
}

void TSpinEdit::correctOnFocusOut()
{
    if (const auto number = wholeNumber(edit_->text()); number && (*number < minimum_ || *number > maximum_))
        setValue(*number);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        correctOnFocusOut();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;

    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        step(key->key() == Qt::Key_Up ? +1 : -1);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        QApplication::beep();
        return true;
    }
    // Shortcuts (cut, paste, select all...) and editing keys carry no
    // printable text; let them through.
    const QString typed = key->text();
    if (typed.isEmpty() || !typed.front().isPrint() || (key->modifiers() & Qt::ControlModifier))
        return false;
    const QString decimalSeparator = QLocale().decimalPoint();
    for (const QChar c : typed) {
        const bool allowed = c == QLatin1Char('+') || c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             decimalSeparator.contains(c);
        if (!allowed) {
            QApplication::beep();
            return true;
        }
    }
    return false;
}

} // namespace vellumax
