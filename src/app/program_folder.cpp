#include "app/program_folder.h"

#include "text/executable_folder.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace vellumax {

std::string programFilesFolder()
{
    const std::string own = executableFolder();
    if (::access(own.c_str(), W_OK) == 0)
        return own;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return own;
    return QDir(data).absolutePath().toStdString() + "/";
}

} // namespace vellumax
