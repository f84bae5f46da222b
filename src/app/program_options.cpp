#include "app/program_options.h"

#include "app/gbk_qt.h"
#include "text/error.h"

#include <QSettings>
#include <QStandardPaths>

namespace vellumax {
namespace {

const QString kWideReadingKey = QStringLiteral("search/wideReading");

} // namespace

ProgramOptions::ProgramOptions(QString path) : path_(std::move(path))
{
    if (path_.isEmpty())
        path_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/vellumax/options.ini");
}

bool ProgramOptions::wideReading() const
{
    return QSettings(path_, QSettings::IniFormat).value(kWideReadingKey, false).toBool();
}

void ProgramOptions::setWideReading(bool wide)
{
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(kWideReadingKey, wide);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Error(gbkFromQString(QStringLiteral("无法保存设置文件 %1").arg(path_)));
}

} // namespace vellumax
