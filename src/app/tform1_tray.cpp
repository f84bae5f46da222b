// The main window's side of the tray icon: the icon, its menu, and the
// commands that hide the window to the tray and bring it back.
#include "app/app_texts.h"
#include "app/gbk_qt.h"
#include "app/pictures.h"
#include "app/tform1.h"
#include "app/tray/ant_taskbar_icon.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

namespace vellumax {

void TForm1::buildTray()
{
    // PopupMenu1, the tray menu. The chosen item's command runs from the
    // event loop once the menu has closed.
    PopupMenu1 = new QMenu(this);
    auto item = [this](const QString& caption, void (TForm1::*command)()) {
        QAction* action = PopupMenu1->addAction(caption);
        connect(
            action, &QAction::triggered, this, [this, command] { runCommand([this, command] { (this->*command)(); }); },
            Qt::QueuedConnection);
        return action;
    };
    N17 = item(QStringLiteral("显示主程序(&S)"), &TForm1::N17Click);
    N17->setEnabled(false);
    N18 = item(QStringLiteral("最小化显示(&M)"), &TForm1::N18Click);
    N19 = item(QStringLiteral("与我们联系(&L)"), &TForm1::N14Click);
    N20 = item(QStringLiteral("访问曜帆主页(&V)"), &TForm1::N20Click);
    N21 = item(QStringLiteral("关于本软件(&A)"), &TForm1::N15Click);
    N22 = PopupMenu1->addSeparator();
    N23 = item(QStringLiteral("退 出(&Exit)"), &TForm1::N23Click);

    // antTaskbarIcon1 enters the notification area here, with the window.
    antTaskbarIcon1 = new TantTaskbarIcon(services_.notificationArea(), this);
    antTaskbarIcon1->setObjectName(QStringLiteral("antTaskbarIcon1"));
    runCommand([this] {
        antTaskbarIcon1->SetIcon(programIcon());
        antTaskbarIcon1->SetVisible(true);
        antTaskbarIcon1->SetHint(gbkFromQString(texts::kApplicationTitle));
        antTaskbarIcon1->setPopupMenu(PopupMenu1);
        antTaskbarIcon1->OnClick = [this](QObject*) { runCommand([this] { N17Click(); }); };
        antTaskbarIcon1->Loaded();
    });
}

void TForm1::N17Click()
{
    N17->setEnabled(false);
    N18->setEnabled(true);
    // Shown again, restored when it had been minimised, and in front.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TForm1::N18Click()
{
    N18->setEnabled(false);
    N17->setEnabled(true);
    // A hidden window has no taskbar button either.
    hide();
}

void TForm1::N23Click() { close(); }

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimising hides the window to the tray, once the minimise is done.
    if (minimiseToTray_ && event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(
            this, [this] { runCommand([this] { N18Click(); }); }, Qt::QueuedConnection);
}

} // namespace vellumax
