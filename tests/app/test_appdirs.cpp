#include "app/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

TEST(AppDirs, AnUnwritableProgramDirectoryFallsBackToTheUserDataDirectory)
{
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("data")));

    // Tests run as root, for whom no mode bits stop a write: a directory whose
    // path runs through a regular file is unwritable for everyone.
    QFile blocker(tmp.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString expected = tmp.filePath("data") + "/ballwick/";
    EXPECT_EQ(ballwick::dataDirFor(tmp.filePath("file/bin")), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir()); // created on demand

    EXPECT_EQ(ballwick::dataDirFor(tmp.path()), tmp.path() + '/');

    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}
