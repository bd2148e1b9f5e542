#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include "screens/jpegpicture.h"
#include "screens/tmultiplayer.h"

using ballwick::decodeJpeg;
using ballwick::encodeJpeg;

namespace {

QImage gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return img;
}

} // namespace

TEST(JpegPicture, EmbeddedMultiplayerPictureIs400By300)
{
    const QImage picture = Tmultiplayer::defaultPicture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(400, 300));
}

TEST(JpegPicture, RoundTripKeepsSizeAndColours)
{
    const QImage source = gradient(37, 23); // not a multiple of the 8x8 blocks
    QString error;
    const QByteArray jpeg = encodeJpeg(source, 95, &error);
    ASSERT_FALSE(jpeg.isEmpty()) << error.toStdString();
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));

    const QImage decoded = decodeJpeg(jpeg, &error);
    ASSERT_FALSE(decoded.isNull()) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(decoded.size(), source.size());
    for (QPoint p : {QPoint(0, 0), QPoint(18, 11), QPoint(36, 22)}) {
        const QColor a = source.pixelColor(p), b = decoded.pixelColor(p);
        EXPECT_NEAR(a.red(), b.red(), 12) << p.x() << "," << p.y();
        EXPECT_NEAR(a.green(), b.green(), 12) << p.x() << "," << p.y();
        EXPECT_NEAR(a.blue(), b.blue(), 12) << p.x() << "," << p.y();
    }
}

// libjpeg's default reaction to a fatal error is to end the process, and to
// a truncated picture to pad it with grey and report success. Both must come
// back as an empty picture with a reason.
TEST(JpegPicture, DamagedDataGivesEmptyPictureWithReason)
{
    const QByteArray good = encodeJpeg(gradient(64, 48), 80);
    ASSERT_GT(good.size(), 400);

    QByteArray garbled = good;
    for (qsizetype i = good.size() / 2; i < good.size() - 2; i += 7)
        garbled[i] = char(0xFF); // stray markers in the entropy-coded data
    QByteArray badMarker = good;
    badMarker[3] = char(0x01); // the first marker after SOI is no longer a marker type

    const struct
    {
        const char *what;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"not a JPEG", QByteArray("GIF89a this is something else entirely")},
        {"start marker only", good.left(2)},
        {"cut inside the header", good.left(40)},
        {"cut halfway through the scan", good.left(good.size() / 2)},
        {"missing end marker", good.left(good.size() - 2)},
        {"garbled scan", garbled},
        {"broken marker", badMarker},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        const QImage img = decodeJpeg(c.data, &error);
        EXPECT_TRUE(img.isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(JpegPicture, HeaderClaimingAHugePictureIsRefusedBeforeAllocating)
{
    QByteArray jpeg = encodeJpeg(gradient(16, 16), 80);
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    // SOF0: marker, length (2), precision (1), height (2), width (2).
    // 60000 x 60000: within what libjpeg accepts, far beyond any real picture.
    for (int i : {5, 7}) {
        jpeg[sof + i] = char(0xEA);
        jpeg[sof + i + 1] = char(0x60);
    }
    QString error;
    EXPECT_TRUE(decodeJpeg(jpeg, &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("too large"))) << error.toStdString();
}

TEST(JpegPicture, EncodingNothingFails)
{
    QString error;
    EXPECT_TRUE(encodeJpeg(QImage(), 90, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}
