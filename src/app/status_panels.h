#pragma once

#include <QStatusBar>
#include <QVector>

class QLabel;

namespace vellumax {

// The status bar with its seven numbered panels: 0 "总数：", 1 keyword count,
// 2 "进程：", 3 keyword position, 4 "传真：", 5 found count, 6 status message.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    enum Panel { TotalLabel, KeywordCount, ProgressLabel, KeywordPosition, FaxLabel, FoundCount, Message };

    QString text(int panel) const;
    void setText(int panel, const QString& text);

private:
    QVector<QLabel*> panels_;
};

} // namespace vellumax
