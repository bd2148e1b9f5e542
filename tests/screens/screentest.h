#pragma once
#include <QList>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

#include "../common/recordinglinks.h"

// Records the addresses the windows open instead of starting a browser, and
// gives them a main window to copy from and centre over.
class ScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mainWindow.setGeometry(17, 30, 766, 537); // inside the 800 x 600 offscreen screen
    }

    RecordingLinks links;
    QList<QUrl> &opened = links.opened;
    QWidget mainWindow;
};

// A left click in the middle of a widget.
inline void click(QWidget *w)
{
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}
