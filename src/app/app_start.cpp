#include "app/app_start.h"

#include "app/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vellumax {

bool installToolkitTranslations(QApplication& app)
{
    // The interface is Chinese whatever the user's locale says.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void startApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("vellumax"));
    installChineseFonts();
    installToolkitTranslations(app);
}

} // namespace vellumax
