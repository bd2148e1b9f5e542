// The start-up work on the second core: the other windows' pictures come once
// the main window is drawn, and it ends however early the program closes.
#include "app/warmup.h"

#include <QImage>
#include <gtest/gtest.h>

#include "widgets/picture.h"

TEST(StartupWarmup, OtherWindowsPicturesComeOnlyOnceTheMainWindowIsDrawn)
{
    QImage image;
    {
        // Closed before the main window was drawn: nothing but the fonts.
        ballwick::StartupWarmup warmup;
        warmup.waitForFonts();
    }
    EXPECT_FALSE(ballwick::takePromisedImage(QStringLiteral(":/images/logo.png"), image));

    ballwick::StartupWarmup warmup;
    warmup.mainWindowDrawn();
    warmup.mainWindowDrawn(); // its thread runs once
    // Promised as the window is drawn, so the other windows take them from
    // the thread (or decode them themselves if it has not got to them yet).
    ASSERT_TRUE(ballwick::takePromisedImage(QStringLiteral(":/images/banner.png"), image));
    EXPECT_FALSE(image.isNull());
    warmup.windowsBuilt();
    warmup.finish();
    warmup.finish();
}
