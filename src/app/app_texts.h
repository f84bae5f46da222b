#pragma once

// Fixed texts of the program and the maker's (invented) contact details.

#include "program_info.h"

#include <QString>

namespace vellumax::texts {

inline const QString kApplicationTitle = QStringLiteral("『朔禾传真搜索』 V" VELLUMAX_VERSION);
inline const QString kMakerHomepage = QStringLiteral("http://www.example.com/");
inline const QString kMakerSecondHomepage = QStringLiteral("http://www.example.org/");
inline const QString kMakerPhone = QStringLiteral("0000-00000000");
inline const QString kMakerMail = QStringLiteral("mailto:contact@example.com");
// The maker's instant-messaging numbers, the caption of the about box's
// contact link.
inline const QString kMakerContactNumbers = QStringLiteral("即时通讯: 10000001  10000002");
inline const QString kMakerContactLine = QStringLiteral("联系: contact@example.com");

inline QString mainWindowCaption()
{
    return kApplicationTitle + QStringLiteral("  —主页: ") + kMakerHomepage + QStringLiteral(" 电话: ") + kMakerPhone;
}

} // namespace vellumax::texts
