// The picture loader, and pictures decoded ahead on another thread.
#include "widgets/picture.h"
#include "widgets/rawpicture.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QResource>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace {

QImage pixels(const QPixmap &pix)
{
    return pix.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(Picture, DecodedAheadOrNotTheSamePicturesComeOut)
{
    const QString card = QStringLiteral(":/images/card.png");
    const QString tile = QStringLiteral(":/images/tile.png");
    const QString logo = QStringLiteral(":/images/logo.png");
    const QImage expectCard = QImage(card).convertToFormat(QImage::Format_ARGB32);
    const QImage expectTile = QImage(tile).convertToFormat(QImage::Format_ARGB32);
    const QImage expectLogo = QImage(logo).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(expectCard.isNull());

    ballwick::promisePictures({card, tile, QStringLiteral(":/images/nothing-here.png")});
    // The logo was never promised; the tile is taken before the thread gets to
    // it or while it is being decoded, whichever happens.
    std::thread worker([] { ballwick::decodePromisedPictures(); });
    EXPECT_EQ(pixels(ballwick::loadPicture(tile)), expectTile);
    EXPECT_EQ(pixels(ballwick::loadPicture(logo)), expectLogo);
    worker.join();
    EXPECT_EQ(pixels(ballwick::loadPicture(card)), expectCard);
    // Taken again: the same picture, not an empty one.
    EXPECT_EQ(pixels(ballwick::loadPicture(card)), expectCard);
    EXPECT_EQ(pixels(ballwick::loadPicture(tile)), expectTile);

    // A promised picture that does not exist is as missing as an unpromised one.
    EXPECT_TRUE(ballwick::loadPicture(QStringLiteral(":/images/nothing-here.png")).isNull());
    const QPixmap stand = ballwick::picture(QStringLiteral(":/images/nothing-here.png"), QSize(7, 5), Qt::red);
    EXPECT_EQ(stand.size(), QSize(7, 5));
    EXPECT_EQ(stand.toImage().pixelColor(3, 2), QColor(Qt::red));
}

TEST(Picture, APictureWithItsOwnDecoderIsTakenOnceAsAnImage)
{
    static int calls = 0;
    const auto decoder = [](const QString &path) {
        ++calls;
        QImage image(3, 2, QImage::Format_RGB888);
        image.fill(path.endsWith("a") ? Qt::green : Qt::blue);
        return image;
    };
    ballwick::promisePictures({"made:a", "made:b"}, decoder);
    std::thread worker([] { ballwick::decodePromisedPictures(); });
    QImage a, b;
    ASSERT_TRUE(ballwick::takePromisedImage("made:a", a));
    worker.join();
    ASSERT_TRUE(ballwick::takePromisedImage("made:b", b));
    EXPECT_EQ(a.format(), QImage::Format_RGB888); // as the decoder made it
    EXPECT_EQ(a.pixelColor(2, 1), QColor(Qt::green));
    EXPECT_EQ(b.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(calls, 2);
    // Handed out once; never promised at all is the same.
    QImage again;
    EXPECT_FALSE(ballwick::takePromisedImage("made:a", again));
    EXPECT_FALSE(ballwick::takePromisedImage("made:c", again));
}

TEST(Picture, DecodingStoppedHalfWayLeavesTheRestToWhoeverTakesThem)
{
    int asked = 0;
    const auto decoder = [](const QString &path) {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(path.endsWith("1") ? Qt::red : Qt::yellow);
        return image;
    };
    ballwick::promisePictures({"stop:1", "stop:2"}, decoder);
    // Stops before the second picture: the first is decoded, the second
    // still waiting, and taking it decodes it on the spot.
    ballwick::decodePromisedPictures([&asked] { return ++asked > 1; });
    EXPECT_EQ(asked, 2);
    QImage first, second;
    ASSERT_TRUE(ballwick::takePromisedImage("stop:2", second));
    ASSERT_TRUE(ballwick::takePromisedImage("stop:1", first));
    EXPECT_EQ(first.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(second.pixelColor(1, 1), QColor(Qt::yellow));
}

TEST(Picture, OwnPngReaderGivesQtsPixelsAndRefusesDamagedFiles)
{
    // Every embedded picture, with and without alpha, at both densities.
    QDirIterator it(QStringLiteral(":/images"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    int checked = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray data = file.readAll();
        const QImage mine = ballwick::decodePng(data);
        const QImage qts = QImage::fromData(data, "PNG");
        ASSERT_FALSE(mine.isNull()) << path.toStdString();
        EXPECT_EQ(mine.format(), qts.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32)
            << path.toStdString();
        EXPECT_EQ(mine.convertToFormat(QImage::Format_ARGB32), qts.convertToFormat(QImage::Format_ARGB32))
            << path.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 100);

    QFile file(QStringLiteral(":/images/card.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray card = file.readAll();
    EXPECT_TRUE(ballwick::decodePng(card.left(card.size() / 2)).isNull()); // cut short
    EXPECT_TRUE(ballwick::decodePng(card.mid(8)).isNull());               // no signature
    EXPECT_TRUE(ballwick::decodePng(QByteArray()).isNull());
    QByteArray broken = card;
    broken[broken.size() / 2] = char(broken[broken.size() / 2] ^ 0x55); // a damaged data block
    EXPECT_TRUE(ballwick::decodePng(broken).isNull());
}

TEST(Picture, TheFirstFramesPicturesAreEmbeddedAsTheirPixels)
{
    // Each stored picture shows what its PNG shows, and is shown without a
    // copy of its pixels being made.
    QDirIterator it(QStringLiteral(":/images"), {QStringLiteral("*.bgra")}, QDir::Files, QDirIterator::Subdirectories);
    int checked = 0;
    while (it.hasNext()) {
        const QString raw = it.next();
        const QString png = raw.left(raw.size() - 5) + QStringLiteral(".png");
        QResource stored(raw);
        ASSERT_EQ(stored.compressionAlgorithm(), QResource::NoCompression) << raw.toStdString();
        const QImage wrapped = ballwick::wrapRawPicture(stored.data(), stored.size());
        ASSERT_FALSE(wrapped.isNull()) << raw.toStdString();
        EXPECT_EQ(wrapped.constBits(), stored.data() + 20) << raw.toStdString();
        EXPECT_EQ(wrapped.convertToFormat(QImage::Format_ARGB32), QImage(png).convertToFormat(QImage::Format_ARGB32))
            << raw.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 10);
    EXPECT_TRUE(QResource(QStringLiteral(":/images/card.bgra")).isValid());

    // Anything but a whole stored picture of this machine's byte order is refused.
    QImage small(3, 2, QImage::Format_ARGB32_Premultiplied);
    small.fill(Qt::red);
    const QByteArray good = ballwick::rawPicture(small);
    const auto wrap = [](const QByteArray &b) {
        return ballwick::wrapRawPicture(reinterpret_cast<const uchar *>(b.constData()), b.size());
    };
    EXPECT_EQ(wrap(good), small);
    EXPECT_TRUE(wrap(good.left(good.size() - 1)).isNull());
    EXPECT_TRUE(wrap(good + "x").isNull());
    EXPECT_TRUE(wrap(good.left(10)).isNull());
    QByteArray otherOrder = good;
    std::reverse(otherOrder.begin() + 16, otherOrder.begin() + 20);
    EXPECT_TRUE(wrap(otherOrder).isNull());
    QByteArray otherFormat = good;
    otherFormat[12] = char(QImage::Format_Mono);
    EXPECT_TRUE(wrap(otherFormat).isNull());
    EXPECT_TRUE(ballwick::wrapRawPicture(nullptr, 0).isNull());
}
