#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>

#include <ballwick_config.h>

#include "screens/tmultiplayer.h"
#include "screentest.h"
#include "widgets/tselbutton.h"

using MultiplayerWindow = ScreenTest;

TEST_F(MultiplayerWindow, BothSentencesAndThePictureOpenTheSamePage)
{
    Tmultiplayer window(&mainWindow, links);
    window.show();
    for (const char *name : {"Label6", "Label1", "Image1"}) {
        auto *w = window.findChild<QLabel *>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor) << name;
        click(w);
    }
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.at(0), QUrl(QStringLiteral(BALLWICK_MULTIPLAYER_URL)));
    EXPECT_EQ(opened.at(1), opened.at(0));
    EXPECT_EQ(opened.at(2), opened.at(0));
}

TEST_F(MultiplayerWindow, ShowsThe400By300PictureInItsPlace)
{
    Tmultiplayer window(&mainWindow, links);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Ballwick Solo - Multiplayer"));
    EXPECT_TRUE(window.windowFlags() & Qt::Tool);
    EXPECT_EQ(window.minimumSize(), QSize(569, 431));
    EXPECT_EQ(window.maximumSize(), QSize(569, 431));
    auto *image = window.findChild<QLabel *>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->geometry(), QRect(80, 96, 400, 300));
    EXPECT_EQ(image->pixmap().size(), QSize(400, 300));
    EXPECT_EQ(window.picture().size(), QSize(400, 300));
}

TEST_F(MultiplayerWindow, DamagedPictureLeavesAnEmptyPictureAndAWorkingWindow)
{
    Tmultiplayer window(&mainWindow, links);
    window.show();
    QFile file(QStringLiteral(":/screens/multiplayer.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();

    EXPECT_FALSE(window.loadPicture(good.left(good.size() / 3)));
    auto *image = window.findChild<QLabel *>(QStringLiteral("Image1"));
    EXPECT_TRUE(window.picture().isNull());
    EXPECT_TRUE(image->pixmap().isNull());
    window.repaint();
    click(image);
    EXPECT_EQ(opened.size(), 1);

    EXPECT_TRUE(window.loadPicture(good));
    EXPECT_EQ(image->pixmap().size(), QSize(400, 300));
}

TEST_F(MultiplayerWindow, DoneHidesAndTheWindowReopensWhereItWasLeft)
{
    Tmultiplayer window(&mainWindow, links);
    window.show();
    const QPoint offset = window.frameGeometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 40);
    window.move(60, 70);
    click(window.findChild<TSelButton *>(QStringLiteral("button_done")));
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(window.pos(), QPoint(60, 70));
}

TEST_F(MultiplayerWindow, TheDoubleSizePictureIsTheSameScene)
{
    const QImage small = Tmultiplayer::defaultPicture();
    const QImage large = Tmultiplayer::defaultLargePicture();
    ASSERT_EQ(large.size(), QSize(800, 600));
    const QImage shrunk = large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(small.format());
    // Mean difference per channel over the picture: the same drawing, only sharper.
    qint64 difference = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QRgb a = small.pixel(x, y), b = shrunk.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(difference / (3.0 * small.width() * small.height()), 12.0);
}

TEST_F(MultiplayerWindow, AtDoubleDensityShowsTheDoubleSizePicture)
{
    if (qApp->devicePixelRatio() < 2)
        GTEST_SKIP() << "run with QT_SCALE_FACTOR=2";
    Tmultiplayer window(&mainWindow, links);
    window.show();
    auto *image = window.findChild<QLabel *>(QStringLiteral("Image1"));
    EXPECT_EQ(window.picture().size(), QSize(800, 600));
    EXPECT_EQ(image->pixmap().devicePixelRatio(), 2.0);
    EXPECT_EQ(image->pixmap().deviceIndependentSize(), QSizeF(400, 300));
    EXPECT_EQ(image->geometry(), QRect(80, 96, 400, 300));
}
