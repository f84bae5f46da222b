#pragma once

#include "app/app_texts.h"
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tray/ant_taskbar_icon.h"
#include "numbers/number_table.h"
#include "search/search_driver.h"

#include <QCheckBox>
#include <QTimer>

namespace vellumax {

// The window as the host of a search run: the page timer, the settings row
// and the status bar.
class FormRunHost : public SearchHost {
public:
    explicit FormRunHost(TForm1& form) : form_(form) {}

    void setTimerInterval(int milliseconds) override
    {
        // A new value restarts a running countdown; the same value leaves it.
        if (milliseconds != form_.Timer1->interval())
            form_.Timer1->setInterval(milliseconds);
    }
    void enableTimer() override
    {
        if (!form_.Timer1->isActive())
            form_.Timer1->start();
    }
    void disableTimer() override { form_.Timer1->stop(); }
    int intervalSeconds() override { return form_.SpinEdit1->value(); }
    bool deduplicate() override { return form_.CheckBox1->isChecked(); }
    void showKeywordPosition(int32_t cursor) override
    {
        form_.StatusBar1->setText(StatusPanels::KeywordPosition, QString::number(cursor));
    }
    void numberAdded(const AddedNumber& added) override
    {
        // The driver has just appended the number: it is the last entry.
        form_.resultOrigins.record(form_.results.size() - 1, added.keywordNumber, added.pageOffset, nowUnixMs(),
                                   tableLine(added.line));
    }
    void showFoundCount(int32_t count) override
    {
        form_.StatusBar1->setText(StatusPanels::FoundCount, QString::number(count));
    }
    void showMessage(const std::string& message) override
    {
        form_.StatusBar1->setText(StatusPanels::Message, qstringFromGbk(message));
    }
    void finish() override { form_.BitBtn1Click(); }

    // The pane is there for the user to pass a verification page in; the
    // tray icon's tip tells it too, for a window hidden to the tray.
    bool userCanVerify() override { return true; }
    void showVerificationPending(bool pending) override
    {
        form_.antTaskbarIcon1->SetHint(gbkFromQString(pending ? QStringLiteral("搜索引擎要求验证，请在右侧网页中完成验证")
                                                              : texts::kApplicationTitle));
    }

private:
    TForm1& form_;
};

} // namespace vellumax
