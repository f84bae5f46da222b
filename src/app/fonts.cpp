#include "app/fonts.h"

#include <QFont>
#include <QStringList>

namespace vellumax {

void installChineseFonts()
{
    const QStringList songFaces = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                                   QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), songFaces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), songFaces);
}

QFont songFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace vellumax
