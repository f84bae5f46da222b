// The main window: its controls, its start and its close.
#include "app/tform1.h"

#include "app/about/tform2.h"
#include "app/app_texts.h"
#include "app/fonts.h"
#include "app/form_run_view.h"
#include "app/gbk_qt.h"
#include "app/harvest_stats_window.h"
#include "app/pictures.h"
#include "app/program_folder.h"
#include "app/program_options.h"
#include "app/qt_dialogs.h"
#include "app/result_list_menu.h"
#include "app/result_list_view.h"
#include "app/result_table_export.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tray/desktop_notification_area.h"
#include "browser/headless_browser.h"
#include "browser/qt_page_timer.h"
#include "browser/web_page_source.h"
#include "search/connectivity.h"
#include "text/error.h"
#include "text/error_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <utility>

namespace vellumax {
namespace {

QFrame* bevelledPanel(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setLineWidth(1);
    return frame;
}

// The settings row keeps the search-file field at its distance from the
// row's right edge when the window is resized.
class SettingsRow : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* stretched = nullptr;
    int rightGap = 1;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (stretched)
            stretched->resize(std::max(20, width() - stretched->x() - rightGap), stretched->height());
    }
};

FormServices withDefaults(FormServices services)
{
    if (!services.localAddressText)
        services.localAddressText = [] { return LocalAddressText(); };
    if (services.programFolder.empty())
        services.programFolder = programFilesFolder();
    if (!services.dialogs)
        services.dialogs = [](QWidget* owner) { return std::make_unique<QtDialogs>(owner); };
    if (!services.pageSource)
        services.pageSource = [](QWebEngineView* view) { return std::make_unique<WebPageSource>(view->page()); };
    if (!services.notificationArea)
        services.notificationArea = [] { return std::make_unique<DesktopNotificationArea>(); };
    if (!services.openUrl)
        services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return services;
}

} // namespace

TForm1::TForm1(FormServices services, QWidget* parent)
    : QMainWindow(parent), session_(services.endpoint, keywordList, results),
      services_(withDefaults(std::move(services)))
{
    dialogs_ = services_.dialogs(this);
    buildControls();
    buildTray();
    pageSource_ = services_.pageSource(WebBrowser1);
    buildSearchRun();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TForm1::commitDataRequest);
    runCommand([this] { FormCreate(); });
    // The about box is made once, hidden, right after the main window.
    buildAboutBox();
    nameControls();
}

void TForm1::nameControls()
{
    // Each control answers to its own name, so that it is found without
    // reaching into the window. The tray icon has its name from the start:
    // its failures are reported by it.
    const std::pair<QObject*, const char*> controls[] = {
        {SpeedButton4, "SpeedButton4"}, {SpeedButton2, "SpeedButton2"},   {SpeedButton3, "SpeedButton3"},
        {SpeedButton5, "SpeedButton5"}, {SpeedButton8, "SpeedButton8"},   {SpeedButton1, "SpeedButton1"},
        {SpeedButton6, "SpeedButton6"}, {SpeedButton9, "SpeedButton9"},   {SpeedButton10, "SpeedButton10"},
        {ListView1, "ListView1"},       {SpinEdit1, "SpinEdit1"},         {CheckBox1, "CheckBox1"},
        {Edit5, "Edit5"},               {WebBrowser1, "WebBrowser1"},     {StatusBar1, "StatusBar1"},
        {Timer1, "Timer1"},             {PopupMenu1, "PopupMenu1"},
        {N17, "N17"},                   {N18, "N18"},                     {N19, "N19"},
        {N20, "N20"},                   {N21, "N21"},                     {N22, "N22"},
        {N23, "N23"},                   {Form2, "Form2"},
    };
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1String(name));
}

TForm1::~TForm1()
{
    // FormDestroy: the page lines and the keyword list go with the window.
    // The list view lets go of the result list before the list goes.
    Timer1->stop();
    delete ListView1;
}

void TForm1::buildControls()
{
    setWindowTitle(texts::mainWindowCaption());
    setWindowIcon(programIcon());
    setFont(songFont(12));

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // CoolBar1: the toolbar strip.
    auto* strip = new QFrame(body);
    strip->setFixedHeight(30);
    strip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    SpeedButton4 = addToolButton(strip, 0, QStringLiteral("导入"), QStringLiteral("导入关键字列表"),
                                 int(ToolbarPicture::Import), &TForm1::SpeedButton4Click);
    SpeedButton2 = addToolButton(strip, 1, QStringLiteral("搜索"), QStringLiteral("开始传真搜索"),
                                 int(ToolbarPicture::Search), &TForm1::N2Click);
    SpeedButton3 = addToolButton(strip, 2, QStringLiteral("终止"), QStringLiteral("终止传真搜索"),
                                 int(ToolbarPicture::Stop), &TForm1::N3Click);
    SpeedButton5 = addToolButton(strip, 3, QStringLiteral("保存"), QStringLiteral("保存搜索结果"),
                                 int(ToolbarPicture::Save), &TForm1::N5Click);
    SpeedButton8 = addToolButton(strip, 4, QStringLiteral("进程"), QStringLiteral("保存搜索进程"),
                                 int(ToolbarPicture::Progress), &TForm1::SpeedButton8Click);
    SpeedButton1 = addToolButton(strip, 5, QStringLiteral("合并"), QStringLiteral("合并号码列表"),
                                 int(ToolbarPicture::Merge), &TForm1::SpeedButton1Click);
    SpeedButton6 = addToolButton(strip, 6, QStringLiteral("主页"), QStringLiteral("访问软件主页"),
                                 int(ToolbarPicture::Homepage), &TForm1::N20Click);
    SpeedButton9 = addToolButton(strip, 7, QStringLiteral("关于"), QStringLiteral("关于本软件"),
                                 int(ToolbarPicture::About), &TForm1::N15Click);
    SpeedButton10 = addToolButton(strip, 8, QStringLiteral("退出"), QStringLiteral("退出软件系统"),
                                  int(ToolbarPicture::Exit), &TForm1::SpeedButton10Click);
    column->addWidget(strip);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    column->addLayout(middle, 1);

    // ListView1: the result list.
    ListView1 = new ResultListView(results, body);
    ListView1->setRowTitles([this](size_t row) {
        const EntryOrigins::WebPage* page = session_.origins().webPage(row);
        return page ? page->title : std::string();
    });
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setFixedWidth(161);
    auto* tableExport = new ResultTableExport(
        this, *dialogs_, results, session_.origins(), keywordList, QString::fromStdString(services_.programFolder),
        [this](const std::string& message) { runCommand([&] { throw Error(message); }); });
    QMenu* listMenu = makeResultListMenu(
        ListView1, [this, tableExport] { runCommand([tableExport] { tableExport->run(); }); },
        [this] { runCommand([this] { showHarvestStats(); }); });
    buildWideReadingSwitch(listMenu);
    middle->addWidget(ListView1);

    // Panel10: the right-hand pane, with the settings row over the browser.
    QFrame* panel10 = bevelledPanel(body);
    auto* pane = new QVBoxLayout(panel10);
    pane->setContentsMargins(2, 2, 2, 2);
    pane->setSpacing(0);
    middle->addWidget(panel10, 1);

    auto* panel2 = new SettingsRow(panel10);
    panel2->setFixedHeight(28);
    auto* label2 = new QLabel(QStringLiteral("搜索间隔[秒]："), panel2);
    label2->setGeometry(2, 8, 84, 12);
    SpinEdit1 = new TSpinEdit(1, 1000, 8, panel2);
    SpinEdit1->setGeometry(88, 4, 41, 21);
    CheckBox1 = new QCheckBox(QStringLiteral("去重"), panel2);
    CheckBox1->setLayoutDirection(Qt::RightToLeft); // the box to the right of its caption
    CheckBox1->setGeometry(136, 6, 41, 17);
    auto* label1 = new QLabel(QStringLiteral("搜索文件："), panel2);
    label1->setGeometry(184, 8, 60, 12);
    Edit5 = new QLineEdit(panel2);
    Edit5->setReadOnly(true);
    Edit5->setGeometry(248, 4, 165, 20);
    panel2->stretched = Edit5;
    pane->addWidget(panel2);

    QFrame* panel11 = bevelledPanel(panel10);
    auto* browserFrame = new QVBoxLayout(panel11);
    browserFrame->setContentsMargins(1, 1, 1, 1);
    WebBrowser1 = new QWebEngineView(panel11);
    // The engine sees the result-page requests and nothing else.
    turnOffPageIcons(WebBrowser1->page());
    browserFrame->addWidget(WebBrowser1);
    pane->addWidget(panel11, 1);

    setCentralWidget(body);
    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);

    // Timer1 paces the page reads: a repeating timer used as a one-shot,
    // through the run's page timer (tform1_search.cpp).
    Timer1 = new QTimer(this);
    Timer1->setInterval(SearchDriver::kFirstPageWaitMs);
    connect(Timer1, &QTimer::timeout, this, [this] { runCommand([this] { Timer1Timer(); }); });

    resize(579, 398);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ListView1->setFocus();
}

QToolButton* TForm1::addToolButton(QWidget* strip, int index, const QString& caption, const QString& hint,
                                   int picture, void (TForm1::*command)())
{
    auto* button = new QToolButton(strip);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIcon(toolbarPicture(static_cast<ToolbarPicture>(picture)));
    button->setIconSize(QSize(16, 16));
    button->setText(caption);
    button->setToolTip(hint);
    button->setGeometry(2 + index * 56, 2, 55, 23);
    if (command)
        connect(button, &QToolButton::clicked, this, [this, command] { runCommand([this, command] { (this->*command)(); }); });
    return button;
}

void TForm1::FormCreate()
{
    // The page lines and the keyword list are members, empty from the start.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
    QToolTip::setPalette(tips);
    minimiseToTray_ = true;
    ReadSettingsFile();
}

void TForm1::runCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const Error& e) {
        dialogs_->errorBox(qstringFromGbk(errorBoxText(e.what())));
    } catch (const std::bad_alloc&) {
        dialogs_->errorBox(QStringLiteral("Out of memory."));
    } catch (const std::exception& e) {
        dialogs_->errorBox(qstringFromGbk(errorBoxText(e.what())));
    }
}

bool TForm1::FormCloseQuery() { return dialogs_->confirmYes(QStringLiteral("确认退出朔禾传真搜索吗?")); }

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery()) {
        Timer1->stop();
        event->accept();
        emit closeConfirmed();
    } else {
        event->ignore();
    }
}

void TForm1::commitDataRequest(QSessionManager& manager)
{
    // Logging off or shutting down asks the close question too; No refuses.
    if (!manager.allowsInteraction())
        return;
    const bool quit = FormCloseQuery();
    manager.release();
    if (!quit)
        manager.cancel();
}

void TForm1::SpeedButton10Click() { close(); }

void TForm1::repaintNow() { repaint(); }

void TForm1::showHarvestStats()
{
    if (!harvestStats_)
        harvestStats_ = new HarvestStatsWindow(
            this, {results, session_.origins(), keywordList, [this] { return session_.pagesRead(); }});
    harvestStats_->show();
    harvestStats_->raise();
    harvestStats_->activateWindow();
    harvestStats_->refresh();
}

} // namespace vellumax
