// The main window's side of a search run: the Search and Stop commands, the
// page timer's tick and the finish.
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "search/connectivity.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "text/int_conversion.h"

#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <climits>

namespace vellumax {
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
    if (!run.setStartPosition(position))
        dialogs_->plainMessage(QStringLiteral("搜索断点位置超过关键字文件行数！"));

    repaintNow();
    results.clear();
    run.begin();
    setCommandStates(false, true, false);
    setTimerInterval(kFirstPageWaitMs);
    StatusBar1->setText(StatusPanels::FoundCount, QStringLiteral("0"));
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("启动搜索请稍候..."));
    try {
        Button1Click();
    } catch (const std::exception&) {
        // The first request's failures are not the user's concern: the tick
        // reads whatever the browser pane shows.
    }
}

void TForm1::Button1Click() { requestStep(); }

void TForm1::requestStep()
{
    const std::string url = run.requestStep();
    StatusBar1->setText(StatusPanels::KeywordPosition, QString::number(run.keywordCursor()));
    try {
        pageSource_->RequestPage(url);
    } catch (const std::exception&) {
        // A refused request leaves the previous page in the pane; the tick
        // reads that one.
    }
    enableTimer();
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    // The field's value is not clamped on reading; below 1 counts as 1, and
    // a huge number must not overflow the timer.
    const long long seconds = std::max(1, SpinEdit1->value());
    setTimerInterval(static_cast<int>(std::min<long long>(seconds * 1000, INT_MAX)));
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("正在搜索..."));
    ProcessResultPage();
}

void TForm1::ProcessResultPage()
{
    // A failing read ends the tick here with the timer off: the run halts
    // until the user stops it.
    const std::string pageText = pageSource_->ReadPageText();
    const SearchRun::Next next = run.processPage(
        pageText, [this] { return CheckBox1->isChecked(); },
        [this] { StatusBar1->setText(StatusPanels::FoundCount, QString::number(run.foundCount())); });
    if (next == SearchRun::Next::Finish)
        BitBtn1Click();
    else
        requestStep();
}

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
}

void TForm1::enableTimer()
{
    if (!Timer1->isActive())
        Timer1->start();
}

void TForm1::setTimerInterval(int milliseconds)
{
    // A new value restarts a running countdown; the same value leaves it.
    if (milliseconds != Timer1->interval())
        Timer1->setInterval(milliseconds);
}

void TForm1::setCommandStates(bool search, bool stop, bool import)
{
    SpeedButton2->setEnabled(search);
    SpeedButton3->setEnabled(stop);
    SpeedButton4->setEnabled(import);
}

} // namespace vellumax
