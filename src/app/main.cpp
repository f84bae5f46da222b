#include "app/app_texts.h"
#include "app/fonts.h"
#include "app/tform1.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    // The browser pane shares its drawing contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vellumax"));
    QApplication::setApplicationDisplayName(vellumax::texts::kApplicationTitle);
    vellumax::installChineseFonts();

    vellumax::TForm1 form;
    form.show();
    return app.exec();
}
