// The start-up work on the second core: what it decodes before and after the
// main window is drawn, and that it ends however early the program closes.
#include "app/warmup.h"

#include <QImage>
#include <gtest/gtest.h>

#include "widgets/picture.h"

TEST(StartupWarmup, OtherWindowsPicturesComeOnlyOnceTheMainWindowIsDrawn)
{
    QImage image;
    {
        // Closed before the main window was drawn: the thread ends without
        // the pictures of the other windows (nor the audio module).
        ballwick::StartupWarmup warmup;
        warmup.startPictures();
        warmup.waitForFonts();
    }
    EXPECT_FALSE(ballwick::takePromisedImage(QStringLiteral(":/images/logo.png"), image));

    ballwick::StartupWarmup warmup;
    warmup.startPictures(); // its thread ran already: not started twice
    warmup.mainWindowDrawn();
    warmup.mainWindowDrawn();
    // Promised as the window is drawn, so the other windows take them from
    // the thread (or decode them themselves if it has not got to them yet).
    ASSERT_TRUE(ballwick::takePromisedImage(QStringLiteral(":/images/banner.png"), image));
    EXPECT_FALSE(image.isNull());
    warmup.finish();
    warmup.finish();
}
