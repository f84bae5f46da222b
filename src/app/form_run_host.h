#pragma once

#include "app/app_texts.h"
#include "app/entry_origins.h"
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tray/ant_taskbar_icon.h"
#include "numbers/number_table.h"
#include "search/search_driver.h"

#include <QCheckBox>
#include <QTimer>
#include <functional>
#include <utility>

namespace vellumax {

// The window as the host of a search run: the page timer, the settings row,
// the status bar and the tray icon's tip, and the window's finish.
class FormRunHost : public SearchHost {
public:
    struct Controls {
        QTimer& pageTimer;
        TSpinEdit& interval;
        QCheckBox& deduplicate;
        StatusPanels& statusBar;
        TantTaskbarIcon& trayIcon;
    };
    // Where the window keeps each entry's origin beside its result list.
    struct Entries {
        const ResultList& results;
        EntryOrigins& origins;
    };

    FormRunHost(Controls controls, Entries entries, std::function<void()> finish)
        : controls_(controls), entries_(entries), finish_(std::move(finish))
    {
    }

    void setTimerInterval(int milliseconds) override
    {
        // A new value restarts a running countdown; the same value leaves it.
        if (milliseconds != controls_.pageTimer.interval())
            controls_.pageTimer.setInterval(milliseconds);
    }
    void enableTimer() override
    {
        if (!controls_.pageTimer.isActive())
            controls_.pageTimer.start();
    }
    void disableTimer() override { controls_.pageTimer.stop(); }
    int intervalSeconds() override { return controls_.interval.value(); }
    bool deduplicate() override { return controls_.deduplicate.isChecked(); }
    void showKeywordPosition(int32_t cursor) override
    {
        controls_.statusBar.setText(StatusPanels::KeywordPosition, QString::number(cursor));
    }
    void numberAdded(const AddedNumber& added) override
    {
        // The driver has just appended the number: it is the last entry.
        entries_.origins.record(entries_.results.size() - 1, added.keywordNumber, added.pageOffset, nowUnixMs(),
                                tableLine(added.line));
    }
    void showFoundCount(int32_t count) override
    {
        controls_.statusBar.setText(StatusPanels::FoundCount, QString::number(count));
    }
    void showMessage(const std::string& message) override
    {
        controls_.statusBar.setText(StatusPanels::Message, qstringFromGbk(message));
    }
    void finish() override { finish_(); }

    // The pane is there for the user to pass a verification page in; the
    // tray icon's tip tells it too, for a window hidden to the tray.
    bool userCanVerify() override { return true; }
    void showVerificationPending(bool pending) override
    {
        controls_.trayIcon.SetHint(gbkFromQString(pending ? QStringLiteral("搜索引擎要求验证，请在右侧网页中完成验证")
                                                          : texts::kApplicationTitle));
    }

private:
    Controls controls_;
    Entries entries_;
    std::function<void()> finish_;
};

} // namespace vellumax
