#include "widgets/picture.h"
#include "widgets/timagebutton.h"
#include "widget_pixels.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct ImageButtonFixture : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TImageButton *button = new TImageButton(window.get());
    QSignalSpy clicked{button, &TImageButton::clicked};

    void SetUp() override
    {
        window->resize(200, 100);
        button->setGeometry(10, 10, 40, 20);
        window->show();
    }
    // A picture of one colour with a black top-left pixel, to see it move.
    static QPixmap marked(QSize size, const QColor &fill)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(fill);
        img.setPixel(0, 0, qRgb(0, 0, 0));
        return QPixmap::fromImage(img);
    }
};

TEST_F(ImageButtonFixture, ALeftPressReleasedOverItClicksOnce)
{
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);

    // Right button, or a release away from the button, or a release without a
    // press on it: no click.
    QTest::mouseClick(button, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(60, 5));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);

    // A right press while the left is held does not lose the left press.
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mousePress(button, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(ImageButtonFixture, ADisabledButtonNeverClicks)
{
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    button->click();
    EXPECT_EQ(clicked.count(), 0);
    button->setEnabled(true);
    button->click();
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ImageButtonFixture, WithoutAPictureTheStandInIsAFrameWithItsText)
{
    const QColor frame(128, 0, 128);
    button->setGeometry(10, 10, 126, 40);
    button->setStandIn(QStringLiteral("Done"), frame);
    const QImage img = shot(button);
    const QColor ground = pixel(img, 5, 3);
    EXPECT_EQ(pixel(img, 0, 0), frame);
    EXPECT_EQ(pixel(img, 125, 39), frame);
    EXPECT_EQ(pixel(img, 60, 0), frame);
    // The text sits inside, centred.
    const QRect ink = inkBox(img, QRect(2, 2, 122, 36), ground);
    ASSERT_TRUE(ink.isValid());
    EXPECT_NEAR(ink.center().x(), 63, 3);
    EXPECT_NEAR(ink.center().y(), 20, 3);

    // A picture replaces the stand-in.
    button->setPixmap(marked(QSize(126, 40), Qt::green));
    EXPECT_EQ(pixel(shot(button), 60, 0), QColor(Qt::green));
}

TEST_F(ImageButtonFixture, ASinkingButtonDrawsItsPictureAPixelLowerWhileHeld)
{
    button->setGeometry(10, 10, 126, 40);
    button->setPixmap(marked(QSize(63, 20), Qt::green)); // drawn at twice its size
    button->setSinksWhenDown(true);
    EXPECT_EQ(pixel(shot(button), 0, 0), QColor(Qt::black));
    EXPECT_EQ(pixel(shot(button), 125, 39), QColor(Qt::green));

    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(button->isDown());
    QImage down = shot(button);
    EXPECT_NE(pixel(down, 0, 0), QColor(Qt::black));
    EXPECT_EQ(pixel(down, 1, 1), QColor(Qt::black));

    // Dragged off it rises, back on it sinks again; released, it rises and clicks.
    QMouseEvent off(QEvent::MouseMove, QPointF(150, 5), button->mapToGlobal(QPointF(150, 5)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &off);
    EXPECT_FALSE(button->isDown());
    QMouseEvent on(QEvent::MouseMove, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &on);
    EXPECT_TRUE(button->isDown());
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(pixel(shot(button), 0, 0), QColor(Qt::black));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(Picture, AMissingPictureIsNullOrAPlainStandIn)
{
    EXPECT_TRUE(ballwick::loadPicture(QStringLiteral(":/no/such.png")).isNull());
    const QPixmap stand = ballwick::picture(QStringLiteral(":/no/such.png"), QSize(30, 12), Qt::red);
    ASSERT_EQ(stand.size(), QSize(30, 12));
    EXPECT_EQ(stand.toImage().pixelColor(29, 11), QColor(Qt::red));
}

} // namespace
