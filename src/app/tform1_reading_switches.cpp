// The switches of wide reading and of reading each result's own site, in
// the result list's context menu. They live in the program's own options
// file, so vellumax.ini keeps its four lines.
#include "app/program_options.h"
#include "app/tform1.h"
#include "browser/web_site_loader.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace vellumax {

void TForm1::buildWideReadingSwitch(QMenu* listMenu)
{
    options_ = std::make_unique<ProgramOptions>(QString::fromStdString(services_.optionsFile));
    auto* wide = new QAction(QStringLiteral("宽松识别（更多传真写法与翻页）"), listMenu);
    wide->setObjectName(QStringLiteral("wideReading"));
    auto* sites = new QAction(QStringLiteral("读取各结果的网站（含宽松识别）"), listMenu);
    sites->setObjectName(QStringLiteral("siteReading"));
    for (QAction* action : {wide, sites})
        action->setCheckable(true);
    wide->setChecked(options_->wideReading());
    sites->setChecked(options_->siteReading());
    listMenu->addSeparator();
    listMenu->addAction(wide);
    listMenu->addAction(sites);

    // From the next page read on, also during a run. The sites are read with
    // the wide reading, and so are the engine's pages then.
    const auto apply = [this, wide, sites] {
        session_.run().setWideReading(wide->isChecked() || sites->isChecked());
        if (sites->isChecked() && !siteLoader_)
            siteLoader_ = services_.siteLoader
                              ? services_.siteLoader(session_.engineHost(), services_.loopbackSites)
                              : std::make_unique<WebSiteLoader>(session_.engineHost(), services_.loopbackSites);
        session_.readSites(sites->isChecked() ? siteLoader_.get() : nullptr, services_.loopbackSites);
    };
    apply();
    const auto keep = [this, apply](QAction* action, void (ProgramOptions::*set)(bool)) {
        connect(action, &QAction::toggled, this, [this, action, set, apply](bool on) {
            runCommand([&] {
                try {
                    (options_.get()->*set)(on);
                } catch (...) {
                    // Not written: the switch shows what the program still does.
                    const QSignalBlocker quiet(action);
                    action->setChecked(!on);
                    throw;
                }
                apply();
            });
        });
    };
    keep(wide, &ProgramOptions::setWideReading);
    keep(sites, &ProgramOptions::setSiteReading);
}

} // namespace vellumax
