#include <QLabel>

#include <ballwick_config.h>

#include "screens/tmultiplayer.h"
#include "screentest.h"
#include "widgets/tselbutton.h"

using MultiplayerWindow = ScreenTest;

TEST_F(MultiplayerWindow, BothSentencesAndThePictureOpenTheSamePage)
{
    Tmultiplayer window(&mainWindow);
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
    Tmultiplayer window(&mainWindow);
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
    Tmultiplayer window(&mainWindow);
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
    Tmultiplayer window(&mainWindow);
    window.show();
    const QPoint offset = window.frameGeometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 40);
    window.move(60, 70);
    click(window.findChild<TSelButton *>(QStringLiteral("button_done")));
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(window.pos(), QPoint(60, 70));
}
