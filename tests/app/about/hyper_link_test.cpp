// The hyperlink label: its looks as the mouse comes, goes and presses, its
// size from its caption, and what a press opens.
#include "app/about/tcw_hyper_link.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <vector>

using namespace vellumax;

namespace {

struct Recorder {
    std::vector<QUrl> opened;
    TcwHyperLink::Opener opener()
    {
        return [this](const QUrl& url) { opened.push_back(url); };
    }
};

void enter(TcwHyperLink& link)
{
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), link.mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(&link, &event);
}

void leave(TcwHyperLink& link)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&link, &event);
}

// Paints the link as its parent would and returns what it drew.
QImage painted(TcwHyperLink& link)
{
    link.grab(); // the first paint takes the caption's size
    return link.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool shows(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                return true;
    return false;
}

QSize expectedSize(const TcwHyperLink& link, const QString& caption)
{
    const QFontMetrics metrics(link.drawingFont());
    return {metrics.horizontalAdvance(caption) + 6, metrics.height() + 2};
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT
private slots:
    void looksBlueRedAndFuchsiaAsTheMouseComesPressesAndGoes()
    {
        Recorder recorder;
        TcwHyperLink link(nullptr, recorder.opener());
        link.setColor(QColor(255, 255, 255));
        QVERIFY(shows(painted(link), qRgb(0, 0, 255)));

        enter(link);
        QCOMPARE(link.textColor(), QColor(255, 0, 0));
        QImage image = painted(link);
        QVERIFY(shows(image, qRgb(255, 0, 0)));
        QVERIFY(!shows(image, qRgb(0, 0, 255)));

        leave(link); // not clicked: back to blue
        QCOMPARE(link.textColor(), QColor(0, 0, 255));

        enter(link);
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(link.textColor(), QColor(255, 0, 0)); // still pointed at
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(4, 4));
        leave(link);
        QCOMPARE(link.textColor(), QColor(255, 0, 255));
        image = painted(link);
        QVERIFY(shows(image, qRgb(255, 0, 255)));
        QVERIFY(!shows(image, qRgb(0, 0, 255)));

        enter(link); // a visited link still turns red when pointed at
        QCOMPARE(link.textColor(), QColor(255, 0, 0));
        leave(link);
        QCOMPARE(link.textColor(), QColor(255, 0, 255));
    }

    void opensItsUrlOnEveryPressNotOnRelease()
    {
        Recorder recorder;
        TcwHyperLink link(nullptr, recorder.opener());
        QCOMPARE(link.URL(), TcwHyperLink::kDefaultUrl);
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
        link.setURL(QStringLiteral("mailto:someone@example.com"));

        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(recorder.opened, std::vector<QUrl>{QUrl(QStringLiteral("mailto:someone@example.com"))});
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(recorder.opened.size(), size_t(1));

        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(&link, Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(recorder.opened.size(), size_t(2));

        // The URL is only what a press opens: the caption stays as it was.
        link.setURL(QStringLiteral("http://www.example.com/other"));
        QCOMPARE(link.Caption(), TcwHyperLink::kDefaultUrl);
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(recorder.opened.back(), QUrl(QStringLiteral("http://www.example.com/other")));
    }

    void takesTheSizeOfItsCaptionWhenPainted()
    {
        QWidget parent;
        parent.resize(400, 100);
        TcwHyperLink link(&parent);
        QCOMPARE(link.Caption(), TcwHyperLink::kDefaultUrl);
        QCOMPARE(link.size(), QSize(100, 10)); // until it is first painted
        link.move(16, 20);
        link.setCaption(QStringLiteral("http://www.example.com/"));
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QTRY_COMPARE(link.size(), expectedSize(link, QStringLiteral("http://www.example.com/")));
        QCOMPARE(link.pos(), QPoint(16, 20));

        // A longer caption, then a shorter one in another face: each takes
        // effect at the next paint, whatever size the link was given.
        link.setCaption(QStringLiteral("即时通讯: 10000001  10000002 and more"));
        link.resize(10, 40);
        link.repaint();
        QCOMPARE(link.size(), expectedSize(link, QStringLiteral("即时通讯: 10000001  10000002 and more")));

        link.setFontName(QStringLiteral("DejaVu Serif"));
        QCOMPARE(link.drawingFont().family(), QStringLiteral("DejaVu Serif"));
        link.setCaption(QStringLiteral("ab"));
        link.repaint();
        QCOMPARE(link.size(), expectedSize(link, QStringLiteral("ab")));
        QVERIFY(link.width() < 40);
    }
};

QTEST_MAIN(HyperLinkTest)
#include "hyper_link_test.moc"
