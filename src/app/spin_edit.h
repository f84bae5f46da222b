#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vellumax {

// The interval field: a text box with a pair of arrow buttons. Unlike a
// spin box it keeps whatever number the user types until it loses the focus:
// - its value is its text read as a whole number, the minimum when the text
//   is not one; reading does not clamp;
// - typing takes only "+", "-", digits and the decimal separator (anything
//   else, Enter included, is refused with a beep); cut and paste work;
// - the arrows and the Up/Down keys add or subtract 1 and clamp;
// - setting the value clamps;
// - losing the focus brings a number outside the range to the nearest bound
//   and leaves a text that is no number alone.
class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    TSpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);
    QString text() const;
    void setText(const QString& text);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    QLineEdit* editor() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);
    void correctOnFocusOut();

    int minimum_;
    int maximum_;
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace vellumax
