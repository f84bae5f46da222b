#pragma once

#include "app/dialogs.h"
#include "run/run_session.h"
#include "search/page_source.h"
#include "search/query_builder.h"
#include "search/result_list.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QMenu;
class QUrl;
class QLineEdit;
class QSessionManager;
class QTimer;
class QToolButton;
class QWebEngineView;

namespace vellumax {

class FormRunView;
class HarvestStatsWindow;
class NotificationArea;
class ProgramOptions;
class QtPageTimer;
class ResultListView;
class TantTaskbarIcon;
class TForm2;
class StatusPanels;
class TSpinEdit;

// What the main window reaches outside itself. The program takes the
// defaults; tests put in their own.
struct FormServices {
    std::string endpoint = std::string(kEngineEndpoint);
    std::function<std::string()> localAddressText;   // default: the host-name lookup
    std::string programFolder;                        // default: the executable's folder, if writable
    std::function<std::unique_ptr<Dialogs>(QWidget* owner)> dialogs;                  // default: Qt's
    std::function<std::unique_ptr<PageSource>(QWebEngineView* view)> pageSource;     // default: the browser pane
    std::function<std::unique_ptr<NotificationArea>()> notificationArea;             // default: the desktop's tray
    std::function<void(const QUrl& url)> openUrl;                                     // default: the desktop's "open"
    std::string optionsFile; // default: options.ini in the user's configuration folder
    // default: the site pages of a browser engine without a view, once the
    // user has each result's own site read
    std::function<std::unique_ptr<SiteLoader>(const std::string& engineHost, LoopbackSites loopback)> siteLoader;
    // The tests' stand-in sites live on this machine's loopback.
    LoopbackSites loopbackSites = LoopbackSites::Refused;
};

// The main window: toolbar, result list, settings row, browser pane and
// status bar, and every command of the program.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(FormServices services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Commands. Each is run through runCommand by its control, so that a
    // failure ends the command and shows in the error box.
    void SpeedButton4Click(); // 导入
    void N2Click();           // 搜索
    void N3Click();           // 终止
    void N5Click();           // 保存
    void SpeedButton8Click(); // 进程
    void SpeedButton1Click(); // 合并
    void SpeedButton10Click(); // 退出
    void Button1Click();
    void Timer1Timer();
    void BitBtn1Click();
    void ReadSettingsFile();
    void WriteSettingsFile();

    // The tray icon and its menu (tform1_tray.cpp).
    void N17Click(); // 显示主程序: back from the tray
    void N18Click(); // 最小化显示: into the tray
    void N23Click(); // 退 出

    // The about box and the maker's addresses (tform1_about.cpp).
    void N14Click(); // 与我们联系
    void N15Click(); // 关于本软件
    void N20Click(); // 访问主页

    // Runs a command and shows any failure that escapes it in the error box.
    void runCommand(const std::function<void()>& command);

    const std::string& programFolder() const { return services_.programFolder; }
    Dialogs& dialogs() { return *dialogs_; }

    // What the window holds besides its controls, to read. The controls
    // themselves carry their names as object names, for findChild.
    struct State {
        const std::vector<std::string>& keywordList;
        const ResultList& results;
        const SearchRun& run;
    };
    State state() const { return {keywordList, results, session_.run()}; }

signals:
    // The close question was answered so that the program ends.
    void closeConfirmed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override; // minimising goes to the tray (tform1_tray.cpp)

private:
    // Controls, named as the program has always named them.
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton8;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton9;
    QToolButton* SpeedButton10;
    ResultListView* ListView1;
    TSpinEdit* SpinEdit1;
    QCheckBox* CheckBox1;
    QLineEdit* Edit5;
    QWebEngineView* WebBrowser1;
    StatusPanels* StatusBar1;
    QTimer* Timer1;
    TantTaskbarIcon* antTaskbarIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N19 = nullptr;
    QAction* N20 = nullptr;
    QAction* N21 = nullptr;
    QAction* N22 = nullptr;
    QAction* N23 = nullptr;
    TForm2* Form2 = nullptr;

    // Lasting state.
    std::vector<std::string> keywordList;
    ResultList results;
    RunSession session_; // the run over the two lists, and each entry's origin

    void buildControls();
    void buildTray();     // tform1_tray.cpp
    void buildAboutBox(); // tform1_about.cpp
    QToolButton* addToolButton(QWidget* strip, int index, const QString& caption, const QString& hint, int picture,
                               void (TForm1::*command)());
    void FormCreate();
    bool FormCloseQuery();
    void commitDataRequest(QSessionManager& manager);
    void buildSearchRun();                        // tform1_search.cpp
    void showHarvestStats();                      // 号码统计…, one window, brought to the front
    void buildWideReadingSwitch(QMenu* listMenu); // and the sites' (tform1_reading_switches.cpp)
    void nameControls();
    void setCommandStates(bool search, bool stop, bool import);
    void repaintNow();

    FormServices services_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<PageSource> pageSource_;
    std::unique_ptr<QtPageTimer> pageTimer_;
    std::unique_ptr<FormRunView> runView_;
    std::unique_ptr<ProgramOptions> options_;
    std::unique_ptr<SiteLoader> siteLoader_; // made when the sites are first read
    HarvestStatsWindow* harvestStats_ = nullptr; // made when first asked for, a child of the window
    bool minimiseToTray_ = false; // set by FormCreate
};

} // namespace vellumax
