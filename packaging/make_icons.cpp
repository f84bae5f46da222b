// Writes the program icon at the sizes desktops look for, as
// OUT/<n>x<n>/apps/vellumax.png.
#include "app/pictures.h"

#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_icons OUTDIR\n", stderr);
        return 2;
    }
    const QImage icon = vellumax::programIconImage().convertToFormat(QImage::Format_ARGB32);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QDir().mkpath(folder);
        // The picture is drawn for 32 x 32: enlarge it pixel for pixel, and
        // smooth it only when it shrinks.
        const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio,
                                          size < 32 ? Qt::SmoothTransformation : Qt::FastTransformation);
        if (!scaled.save(folder + QStringLiteral("/vellumax.png"))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
