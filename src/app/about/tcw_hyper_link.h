#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

namespace vellumax {

// A hyperlink label: its caption drawn bold and underlined on its parent's
// background, blue, red while the mouse is over it, and fuchsia once it has
// been clicked. A press of the left button opens its URL, on every press.
// It always takes the size of its caption, when it is next painted.
class TcwHyperLink : public QWidget {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl& url)>;

    static inline const QString kDefaultUrl = QStringLiteral("http://www.example.net/");
    static constexpr QRgb kLinkBlue = 0xff0000ff;
    static constexpr QRgb kHoverRed = 0xffff0000;
    static constexpr QRgb kVisitedFuchsia = 0xffff00ff;

    // `open` is how a press opens the URL; empty takes the desktop's "open".
    explicit TcwHyperLink(QWidget* parent = nullptr, Opener open = {});

    const QString& URL() const { return url_; }
    const QString& Caption() const { return caption_; }
    const QColor& Color() const { return color_; }
    const QString& FontName() const { return fontName_; }
    void setURL(const QString& url);
    void setCaption(const QString& caption);
    void setColor(const QColor& color);
    void setFontName(const QString& name);

    // The colour the caption is drawn in now, and the one it returns to when
    // the mouse leaves.
    QColor textColor() const { return textColor_; }
    QColor linkColor() const { return linkColor_; }
    const QFont& drawingFont() const { return font_; }

    // The size the caption asks for: text width + 6, text height + 2.
    QSize captionSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Opener open_;
    QColor linkColor_{kLinkBlue};
    QString url_;
    QString caption_;
    QColor color_;
    QString fontName_;
    QFont font_;
    QColor textColor_{kLinkBlue};
};

} // namespace vellumax
