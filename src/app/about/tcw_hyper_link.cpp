#include "app/about/tcw_hyper_link.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace vellumax {

TcwHyperLink::TcwHyperLink(QWidget* parent, Opener open) : QWidget(parent), open_(std::move(open))
{
    if (!open_)
        open_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    url_ = kDefaultUrl;
    caption_ = url_;
    resize(100, 10);
    // Without a face of its own the link draws in the application's face,
    // 11 pixels high.
    font_ = QFont();
    font_.setPixelSize(11);
    font_.setBold(true);
    font_.setUnderline(true);
    linkColor_ = QColor(kLinkBlue);
    textColor_ = linkColor_;
    color_ = palette().color(QPalette::Button);
    setCursor(Qt::PointingHandCursor);
    update();
}

void TcwHyperLink::setURL(const QString& url)
{
    if (url != url_)
        url_ = url;
}

void TcwHyperLink::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TcwHyperLink::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void TcwHyperLink::setFontName(const QString& name)
{
    if (name == fontName_)
        return;
    fontName_ = name;
    font_.setFamily(name);
    update();
}

QSize TcwHyperLink::captionSize() const
{
    const QFontMetrics metrics(font_);
    return {metrics.horizontalAdvance(caption_) + 6, metrics.height() + 2};
}

void TcwHyperLink::paintEvent(QPaintEvent* event)
{
    // Growing here asks for one more paint of the new area.
    const QSize wanted = captionSize();
    if (size() != wanted)
        resize(wanted);

    QPainter painter(this);
    painter.fillRect(event->rect(), color_);
    painter.setFont(font_);
    painter.setPen(textColor_);
    const QFontMetrics metrics(font_);
    painter.drawText(3, 1 + metrics.ascent(), caption_);
}

void TcwHyperLink::enterEvent(QEnterEvent* event)
{
    textColor_ = QColor(kHoverRed);
    update();
    QWidget::enterEvent(event);
}

void TcwHyperLink::leaveEvent(QEvent* event)
{
    textColor_ = linkColor_;
    update();
    QWidget::leaveEvent(event);
}

void TcwHyperLink::mousePressEvent(QMouseEvent* event)
{
    // Opens on the press itself, not on the release; the text keeps the
    // hover colour until the mouse leaves.
    if (event->button() == Qt::LeftButton) {
        open_(QUrl(url_));
        linkColor_ = QColor(kVisitedFuchsia);
    }
    QWidget::mousePressEvent(event);
}

} // namespace vellumax
