#pragma once

#include "app/about/tcw_hyper_link.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace vellumax {

// The about box: the maker's logo, the product name and version, a credit
// banner, three links and "确 定". Made once, hidden; shown modally.
// Closes by "确 定", Enter or its close box, not by Esc.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    // `open` is how the links open their addresses; empty takes the
    // desktop's "open".
    explicit TForm2(QWidget* parent = nullptr, TcwHyperLink::Opener open = {});

    void OKButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Controls, named as the program has always named them; each carries its
    // name as its object name too.
    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Image1;
    TcwHyperLink* cwHyperLink1;
    TcwHyperLink* cwHyperLink3;
    TcwHyperLink* cwHyperLink2;
    QPushButton* OKButton;

    TcwHyperLink* addLink(int left, int top, const QString& caption, const QString& url,
                          const TcwHyperLink::Opener& open);
    void centreOnScreen();
};

} // namespace vellumax
