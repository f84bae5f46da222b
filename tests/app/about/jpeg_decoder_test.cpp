// The JPEG decoder on the about box's two pictures and on damaged data.
#include "app/about/about_pictures.h"
#include "app/about/jpeg_decoder.h"
#include "text/error.h"

#include <QTest>
#include <string>
#include <vector>

using namespace vellumax;

namespace {

std::vector<unsigned char> logoBytes() { return {kLogoJpeg, kLogoJpeg + kLogoJpegSize}; }

// The decoder's message for `bytes`, or "" when it decoded them.
std::string failure(const std::vector<unsigned char>& bytes)
{
    try {
        decodeJpeg(bytes.data(), bytes.size());
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

// Offset of the first frame header (SOF0) of a JPEG stream.
std::size_t frameHeader(const std::vector<unsigned char>& bytes)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0)
            return i;
    return bytes.size();
}

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class JpegDecoderTest : public QObject {
    Q_OBJECT
private slots:
    void bothPicturesDecodeAtTheirSizes()
    {
        const QImage logo = logoPicture();
        QCOMPARE(logo.size(), QSize(66, 46));
        // A dark blue plate with a white sheet on its left.
        QVERIFY(near(logo.pixel(40, 40), qRgb(10, 45, 135), 60));
        QVERIFY(near(logo.pixel(16, 18), qRgb(255, 255, 255), 60));

        const QImage banner = creditBannerPicture();
        QCOMPARE(banner.size(), QSize(188, 18));
        // A band from dark blue on the left to light blue on the right.
        QVERIFY(near(banner.pixel(1, 1), qRgb(0, 60, 150)));
        QVERIFY(near(banner.pixel(186, 1), qRgb(120, 170, 240)));
    }

    void damagedPicturesFailWithAClearMessage_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << 0 << "Empty input";
        QTest::newRow("not a JPEG") << 1 << "Not a JPEG file";
        QTest::newRow("cut in half") << 2 << "Premature end of JPEG file";
        QTest::newRow("cut in the header") << 3 << "";
        QTest::newRow("no components") << 4 << "";
        QTest::newRow("huge frame") << 5 << "too large";
    }

    void damagedPicturesFailWithAClearMessage()
    {
        QFETCH(int, damage);
        QFETCH(QString, reason);
        std::vector<unsigned char> bytes = logoBytes();
        const std::size_t sof = frameHeader(bytes);
        QVERIFY(sof + 10 < bytes.size());
        switch (damage) {
        case 0: bytes.clear(); break;
        case 1: bytes[0] = 'G', bytes[1] = 'I', bytes[2] = 'F'; break;
        case 2: bytes.resize(bytes.size() / 2); break;
        case 3: bytes.resize(sof + 6); break;
        case 4: bytes[sof + 9] = 0; break;                                        // component count
        case 5: bytes[sof + 5] = bytes[sof + 6] = bytes[sof + 7] = bytes[sof + 8] = 0xF0; break; // 61680 x 61680
        }
        const std::string message = failure(bytes);
        QVERIFY2(message.rfind("JPEG picture: ", 0) == 0, message.c_str());
        QVERIFY2(message.size() > 20, message.c_str());
        QVERIFY2(message.find(reason.toStdString()) != std::string::npos, message.c_str());
    }

    void everyCutOfAPictureFailsWithoutACrash()
    {
        const std::vector<unsigned char> whole = logoBytes();
        for (std::size_t length = 0; length < whole.size(); length += 7) {
            const std::vector<unsigned char> cut(whole.begin(), whole.begin() + length);
            QVERIFY2(!failure(cut).empty(), qPrintable(QString::number(length)));
        }
    }
};

QTEST_GUILESS_MAIN(JpegDecoderTest)
#include "jpeg_decoder_test.moc"
