// The main window's side of a search run: the Search and Stop commands, the
// page timer's tick and the finish.
#include "app/form_run_view.h"
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "browser/qt_page_timer.h"
#include "text/error.h"
#include "text/int_conversion.h"

#include <QCheckBox>
#include <QTimer>
#include <QToolButton>

namespace vellumax {

void TForm1::buildSearchRun()
{
    pageTimer_ = std::make_unique<QtPageTimer>(*Timer1);
    runView_ = std::make_unique<FormRunView>(
        FormRunView::Controls{*SpinEdit1, *CheckBox1, *StatusBar1, *antTaskbarIcon1},
        FormRunView::Handlers{[this] { BitBtn1Click(); },
                              [this](const std::string& message) { runCommand([&] { throw Error(message); }); }});
    session_.attach(*pageSource_, *pageTimer_, *runView_);
}

void TForm1::N2Click()
{
    const RunSession::Refusal refusal = session_.refusal(services_.localAddressText());
    if (refusal == RunSession::Refusal::Offline) {
        dialogs_->informationBox(qstringFromGbk(RunSession::refusalText(refusal)));
        return;
    }
    if (refusal != RunSession::Refusal::None)
        throw Error(RunSession::refusalText(refusal));

    const auto answer =
        dialogs_->inputQuery(QStringLiteral("搜索参数设置"), QStringLiteral("请输入关键字搜索断点位置        "),
                             QString::number(session_.run().keywordCursor()));
    if (!answer)
        return;
    const int32_t position = strToInt(gbkFromQString(*answer));
    if (!session_.setStartPosition(position)) {
        // The answer stands while the box is up: a stopped run's pending
        // tick that finishes meanwhile records it.
        dialogs_->plainMessage(qstringFromGbk(RunSession::startBeyondListText()));
        session_.run().setKeywordCursor(0);
    }

    repaintNow();
    session_.begin();
    setCommandStates(false, true, false);
    Button1Click();
}

void TForm1::Button1Click() { session_.requestStep(); }

void TForm1::Timer1Timer() { session_.tick(); }

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
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("终止搜索..."));
    setCommandStates(true, false, true);
    session_.stop(false);
}

void TForm1::setCommandStates(bool search, bool stop, bool import)
{
    SpeedButton2->setEnabled(search);
    SpeedButton3->setEnabled(stop);
    SpeedButton4->setEnabled(import);
}

} // namespace vellumax
