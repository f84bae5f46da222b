// The main window's side of a search run: the Search and Stop commands, the
// page timer's tick and the finish.
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/form_run_host.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "search/connectivity.h"
#include "search/search_driver.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "text/int_conversion.h"

#include <QCheckBox>
#include <QTimer>
#include <QToolButton>

namespace vellumax {

void TForm1::buildSearchDriver()
{
    runHost_ = std::make_unique<FormRunHost>(
        FormRunHost::Controls{*Timer1, *SpinEdit1, *CheckBox1, *StatusBar1, *antTaskbarIcon1},
        FormRunHost::Entries{results, resultOrigins}, [this] { BitBtn1Click(); });
    driver_ = std::make_unique<SearchDriver>(run, *pageSource_, *runHost_);
}

void TForm1::N2Click()
{
    if (services_.localAddressText() == kOfflineAddress) {
        dialogs_->informationBox(QStringLiteral("您还没有连接到网上！"));
        return;
    }
    if (keywordList.empty())
        throw Error(gbk("请先导入关键字列表文件"));

    const auto answer = dialogs_->inputQuery(QStringLiteral("搜索参数设置"),
                                             QStringLiteral("请输入关键字搜索断点位置        "),
                                             QString::number(run.keywordCursor()));
    if (!answer)
        return;
    const int32_t position = strToInt(gbkFromQString(*answer));
    if (!run.setStartPosition(position)) {
        // The answer stands while the box is up: a stopped run's pending
        // tick that finishes meanwhile records it.
        dialogs_->plainMessage(QStringLiteral("搜索断点位置超过关键字文件行数！"));
        run.setKeywordCursor(0);
    }

    repaintNow();
    results.clear();
    driver_->begin();
    setCommandStates(false, true, false);
    try {
        Button1Click();
    } catch (const std::exception&) {
        // The first request's failures are not the user's concern: the tick
        // reads whatever the browser pane shows.
    }
}

void TForm1::Button1Click() { driver_->requestStep(); }

void TForm1::Timer1Timer() { driver_->tick(); }

void TForm1::ProcessResultPage() { driver_->processResultPage(); }

void TForm1::BitBtn1Click()
{
    Timer1->stop();
    WriteSettingsFile();
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("搜索已经结束！"));
    repaintNow();
    setCommandStates(true, false, true);
}

void TForm1::N3Click()
{
    run.stop();
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("终止搜索..."));
    setCommandStates(true, false, true);
    // No page is in progress while a failed one waits out its back-off,
    // which may last an hour: the run ends now instead of then.
    if (driver_->retryDue())
        Timer1Timer();
}

void TForm1::setCommandStates(bool search, bool stop, bool import)
{
    SpeedButton2->setEnabled(search);
    SpeedButton3->setEnabled(stop);
    SpeedButton4->setEnabled(import);
}

} // namespace vellumax
