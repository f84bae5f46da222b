#pragma once

// The edge between the program's GBK byte strings and Qt's QString, for the
// page source and the window alike.

#include "text/gbk_codec.h"

#include <QString>
#include <string>
#include <string_view>

namespace vellumax {

inline QString qstringFromGbk(std::string_view gbkText)
{
    const std::u16string utf16 = utf16FromGbk(gbkText);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

inline std::string gbkFromQString(const QString& text)
{
    return gbkFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<size_t>(text.size())));
}

} // namespace vellumax
