#include "app/app_start.h"
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The browser pane shares its drawing contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    vellumax::startApplication(app);

    // The window may be hidden in the tray while a message box or the about
    // box closes: only a confirmed close of the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    vellumax::TForm1 form;
    QObject::connect(&form, &vellumax::TForm1::closeConfirmed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    form.show();
    return app.exec();
}
