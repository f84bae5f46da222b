#pragma once

// The edge between the program's GBK byte strings and Qt's QString, and the
// platform's spelling of file names.

#include "browser/gbk_qt.h"

#include <QString>
#include <string>

namespace vellumax {

// File names go to the file layer as the platform spells them.
inline std::string localPath(const QString& path) { return path.toStdString(); }

} // namespace vellumax
