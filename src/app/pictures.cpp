#include "app/pictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vellumax {
namespace {

// The sixteen colours of the classic VGA palette.
const QRgb kVgaPalette[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

QPixmap blank16()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawPicture(QPainter& p, ToolbarPicture which)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case ToolbarPicture::Import: // an open folder
        p.setPen(QColor(128, 96, 0));
        p.setBrush(QColor(255, 208, 64));
        p.drawRect(1, 4, 13, 10);
        p.drawRect(1, 2, 5, 2);
        break;
    case ToolbarPicture::Search: // a magnifying glass
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(2, 2, 8, 8);
        p.drawLine(9, 9, 14, 14);
        break;
    case ToolbarPicture::Stop: // a red octagon
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(2, 2, 12, 12);
        p.setBrush(Qt::white);
        p.drawRect(5, 7, 6, 2);
        break;
    case ToolbarPicture::Save: // a diskette
        p.setPen(QColor(0, 0, 96));
        p.setBrush(QColor(64, 96, 200));
        p.drawRect(2, 2, 12, 12);
        p.setBrush(Qt::white);
        p.drawRect(4, 2, 8, 5);
        break;
    case ToolbarPicture::Progress: // a flag
        p.setPen(QPen(QColor(64, 64, 64), 1.5));
        p.drawLine(3, 2, 3, 15);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 160, 0));
        p.drawRect(4, 2, 9, 6);
        break;
    case ToolbarPicture::Merge: // two sheets becoming one
        p.setPen(QColor(64, 64, 64));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 7, 9);
        p.drawRect(8, 6, 7, 9);
        break;
    case ToolbarPicture::Homepage: { // a house
        QPainterPath roof;
        roof.moveTo(1, 8);
        roof.lineTo(8, 1);
        roof.lineTo(15, 8);
        roof.closeSubpath();
        p.setPen(QColor(128, 0, 0));
        p.setBrush(QColor(200, 40, 40));
        p.drawPath(roof);
        p.setBrush(QColor(240, 220, 160));
        p.drawRect(3, 8, 10, 7);
        break;
    }
    case ToolbarPicture::About: // an "i" in a blue disc
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 64, 192));
        p.drawEllipse(1, 1, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(7, 7, 2, 6);
        p.drawEllipse(7, 3, 2, 2);
        break;
    case ToolbarPicture::Exit: // a door with an arrow
        p.setPen(QColor(64, 32, 0));
        p.setBrush(QColor(160, 100, 40));
        p.drawRect(2, 1, 8, 14);
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawLine(8, 8, 15, 8);
        p.drawLine(12, 5, 15, 8);
        p.drawLine(12, 11, 15, 8);
        break;
    }
}

} // namespace

QIcon toolbarPicture(ToolbarPicture which)
{
    QPixmap pixmap = blank16();
    QPainter painter(&pixmap);
    drawPicture(painter, which);
    painter.end();
    return QIcon(pixmap);
}

QImage programIconImage()
{
    // A fax machine: grey body, white sheet, dark keys, a green light.
    QImage image(32, 32, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(kVgaPalette), std::end(kVgaPalette)));
    image.fill(7);
    auto rect = [&](int x, int y, int w, int h, int colour) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                image.setPixel(i, j, static_cast<uint>(colour));
    };
    rect(0, 0, 32, 32, 12);     // blue ground
    rect(3, 14, 26, 15, 8);     // body
    rect(4, 15, 24, 13, 7);
    rect(8, 3, 16, 12, 15);     // the sheet coming out
    for (int line = 5; line < 13; line += 2)
        rect(10, line, 12, 1, 0);
    rect(6, 18, 10, 2, 0);      // slot
    for (int k = 0; k < 3; ++k) // keys
        for (int m = 0; m < 3; ++m)
            rect(18 + m * 3, 18 + k * 3, 2, 2, 0);
    rect(7, 23, 3, 2, 10);      // light
    return image;
}

QIcon programIcon() { return QIcon(QPixmap::fromImage(programIconImage())); }

} // namespace vellumax
