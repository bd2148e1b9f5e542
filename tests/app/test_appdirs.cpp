#include "app/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(AppDirs, FilesLiveInTheWritableProgramDirectoryOrTheOverride)
{
    // The test binary sits in a writable build directory: that is where files go.
    EXPECT_EQ(ballwick::dataDir(), ballwick::programDir());
    EXPECT_TRUE(ballwick::programDir().endsWith('/'));
    EXPECT_EQ(ballwick::dataFile("ballwick.ini"), ballwick::programDir() + "ballwick.ini");

    QTemporaryDir tmp;
    ballwick::setDataDirOverride(tmp.path());
    EXPECT_EQ(ballwick::dataFile("x"), tmp.path() + "/x");
    ballwick::setDataDirOverride({});
    EXPECT_EQ(ballwick::dataDir(), ballwick::programDir());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
