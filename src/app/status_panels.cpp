#include "app/status_panels.h"

#include "app/app_texts.h"

#include <QLabel>

namespace vellumax {
namespace {

struct PanelLayout {
    int width; // 0: takes the rest of the bar
    const char* initialText;
};

const PanelLayout kPanels[] = {
    {39, "总数："}, {50, ""}, {39, "进程："}, {50, ""}, {39, "传真："}, {50, ""}, {0, nullptr},
};

} // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    setFixedHeight(19);
    for (const PanelLayout& layout : kPanels) {
        auto* label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setText(layout.initialText ? QString::fromUtf8(layout.initialText) : texts::kMakerContactLine);
        if (layout.width > 0) {
            label->setFixedWidth(layout.width);
            addWidget(label);
        } else {
            label->setMinimumWidth(50);
            addWidget(label, 1);
        }
        panels_.push_back(label);
    }
}

QString StatusPanels::text(int panel) const { return panels_.at(panel)->text(); }

void StatusPanels::setText(int panel, const QString& text) { panels_.at(panel)->setText(text); }

} // namespace vellumax
