// The menu bar's overflow arrow is drawn by the program, so that building a
// menu bar loads none of Qt's image-format plugins.
#include "widgets/menustyle.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <link.h>

namespace {

bool imagePluginLoaded()
{
    bool found = false;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *data) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "/imageformats/"))
                *static_cast<bool *>(data) = true;
            return 0;
        },
        &found);
    return found;
}

// In a fresh process (the death-test child runs only this test), whether a
// menu bar built under the given style loads an image-format plugin.
void expectPluginsAfterMenuBar(bool ownStyle, int expectedExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (ownStyle)
                QApplication::setStyle(new ballwick::MenuStyle);
            QMenuBar bar;
            bar.addMenu(QStringLiteral("&Game"));
            std::exit(imagePluginLoaded() ? 1 : 0);
        },
        ::testing::ExitedWithCode(expectedExit), "");
}

} // namespace

TEST(MenuStyle, AMenuBarLoadsNoImagePlugins)
{
    expectPluginsAfterMenuBar(true, 0);
    // Where plugins are installed, Qt's own arrow does load them: the check
    // above sees what it should.
    if (!QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/imageformats"))
             .entryList({QStringLiteral("*.so")})
             .isEmpty())
        expectPluginsAfterMenuBar(false, 1);
}

TEST(MenuStyle, OverflowArrowsAreDrawnAndOtherIconsComeFromTheStyle)
{
    ballwick::MenuStyle style;
    for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QImage arrow = style.standardIcon(which).pixmap(QSize(16, 16)).toImage();
        ASSERT_EQ(arrow.size(), QSize(16, 16));
        int inked = 0;
        for (int y = 0; y < arrow.height(); ++y)
            for (int x = 0; x < arrow.width(); ++x)
                inked += qAlpha(arrow.pixel(x, y)) > 128;
        EXPECT_GT(inked, 10) << which;
        EXPECT_LT(inked, 16 * 16 / 2) << which;
        // The corners stay clear.
        EXPECT_EQ(qAlpha(arrow.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(arrow.pixel(15, 15)), 0);
    }
    // Pointing right and pointing down are different pictures.
    EXPECT_NE(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(QSize(16, 16)).toImage(),
              style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton).pixmap(QSize(16, 16)).toImage());
    EXPECT_FALSE(style.standardIcon(QStyle::SP_DialogOkButton).isNull());
}
