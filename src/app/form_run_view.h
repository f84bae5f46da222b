#pragma once

#include "app/app_texts.h"
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tray/ant_taskbar_icon.h"
#include "search/search_driver.h"

#include <QCheckBox>
#include <functional>
#include <optional>
#include <utility>

namespace vellumax {

// What the window shows of a search run, and the settings it takes from the
// window's row: the status bar, the tray icon's tip, the interval and the
// duplicate switch.
class FormRunView : public SearchHost {
public:
    struct Controls {
        TSpinEdit& interval;
        QCheckBox& deduplicate;
        StatusPanels& statusBar;
        TantTaskbarIcon& trayIcon;
    };
    // The window's finish, and its error box.
    struct Handlers {
        std::function<void()> finish;
        std::function<void(const std::string& message)> failed;
    };

    FormRunView(Controls controls, Handlers handlers) : controls_(controls), handlers_(std::move(handlers)) {}

    int intervalSeconds() override { return controls_.interval.value(); }
    bool deduplicate() override { return controls_.deduplicate.isChecked(); }
    void showKeywordPosition(int32_t cursor) override
    {
        controls_.statusBar.setText(StatusPanels::KeywordPosition, QString::number(cursor));
    }
    void showStatus(const RunStatus& status) override
    {
        if (status.kind == RunStatus::Kind::Starting) {
            showFoundCount(0);
            sites_.reset();
        }
        status_ = status;
        showMessage();
    }
    // The message panel counts the sites' pages after the run's status.
    void showSites(const SiteReport& report) override
    {
        if (!report.added.empty())
            showFoundCount(report.foundCount);
        sites_ = report.progress;
        showMessage();
    }
    void pageRead(const SearchRun::PageResult& page) override
    {
        if (!page.added.empty())
            showFoundCount(page.foundCount);
    }
    void failed(const std::string& message) override { handlers_.failed(message); }
    void finish() override { handlers_.finish(); }

    // The pane is there for the user to pass a verification page in; the
    // tray icon's tip tells it too, for a window hidden to the tray.
    bool userCanVerify() override { return true; }
    void showVerificationPending(bool pending) override
    {
        controls_.trayIcon.SetHint(gbkFromQString(pending ? QStringLiteral("搜索引擎要求验证，请在右侧网页中完成验证")
                                                          : texts::kApplicationTitle));
    }

private:
    void showMessage()
    {
        QString message = qstringFromGbk(statusText(status_));
        if (sites_)
            message += QStringLiteral("  网站：已读 %1 页，等待 %2 页")
                           .arg(sites_->read)
                           .arg(sites_->waiting + sites_->loading);
        controls_.statusBar.setText(StatusPanels::Message, message);
    }
    void showFoundCount(int32_t count)
    {
        controls_.statusBar.setText(StatusPanels::FoundCount, QString::number(count));
    }

    Controls controls_;
    Handlers handlers_;
    RunStatus status_;
    std::optional<SiteQueue::Progress> sites_; // once the run reads sites
};

} // namespace vellumax
