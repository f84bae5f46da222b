// The switch of wide reading, in the result list's context menu. It lives in
// the program's own options file, so vellumax.ini keeps its four lines.
#include "app/program_options.h"
#include "app/tform1.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace vellumax {

void TForm1::buildWideReadingSwitch(QMenu* listMenu)
{
    options_ = std::make_unique<ProgramOptions>(QString::fromStdString(services_.optionsFile));
    auto* action = new QAction(QStringLiteral("宽松识别（更多传真写法与翻页）"), listMenu);
    action->setObjectName(QStringLiteral("wideReading"));
    action->setCheckable(true);
    action->setChecked(options_->wideReading());
    session_.run().setWideReading(action->isChecked());
    listMenu->addSeparator();
    listMenu->addAction(action);
    connect(action, &QAction::toggled, this, [this, action](bool wide) {
        runCommand([&] {
            try {
                options_->setWideReading(wide);
            } catch (...) {
                // Not written: the switch shows what the program still does.
                const QSignalBlocker quiet(action);
                action->setChecked(!wide);
                throw;
            }
            // From the next page read on, also during a session_.run().
            session_.run().setWideReading(wide);
        });
    });
}

} // namespace vellumax
