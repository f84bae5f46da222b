#include "app/program_options.h"

#include "app/gbk_qt.h"
#include "text/error.h"

#include <QSettings>
#include <QStandardPaths>

namespace vellumax {
namespace {

const QString kWideReadingKey = QStringLiteral("search/wideReading");
const QString kSiteReadingKey = QStringLiteral("search/siteReading");

} // namespace

ProgramOptions::ProgramOptions(QString path) : path_(std::move(path))
{
    if (path_.isEmpty())
        path_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/vellumax/options.ini");
}

bool ProgramOptions::wideReading() const { return flag(kWideReadingKey); }
void ProgramOptions::setWideReading(bool wide) { setFlag(kWideReadingKey, wide); }
bool ProgramOptions::siteReading() const { return flag(kSiteReadingKey); }
void ProgramOptions::setSiteReading(bool sites) { setFlag(kSiteReadingKey, sites); }

bool ProgramOptions::flag(const QString& key) const
{
    return QSettings(path_, QSettings::IniFormat).value(key, false).toBool();
}

void ProgramOptions::setFlag(const QString& key, bool on)
{
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(key, on);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Error(gbkFromQString(QStringLiteral("无法保存设置文件 %1").arg(path_)));
}

} // namespace vellumax
