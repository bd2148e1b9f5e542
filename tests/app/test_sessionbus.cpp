// When the program tells libdbus at start-up that there is no session bus: only
// where looking for one would launch dbus-launch and that launch must fail.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/sessionbus.h"

using ballwick::QuietSessionBus;

namespace {

bool makeFile(const QString &path, bool executable)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\nexit 1\n");
    f.close();
    return !executable || f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

} // namespace

TEST(QuietSessionBus, OnlyALaunchThatMustFailIsSkipped)
{
    if (QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).isExecutable())
        GTEST_SKIP() << "dbus-launch is installed here: a launch would be tried";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray display = ":1";
    const QByteArray emptyDirs = root + "/none:" + root + "/none2";

    // No address, no runtime bus, no launcher anywhere: nothing could answer.
    EXPECT_TRUE(QuietSessionBus::launchWouldFail({}, {}, display, emptyDirs));
    EXPECT_TRUE(QuietSessionBus::launchWouldFail({}, root, display, {}));

    // A bus address given, or no X display to launch one for: left alone.
    EXPECT_FALSE(QuietSessionBus::launchWouldFail("unix:path=/run/user/1000/bus", {}, display, emptyDirs));
    EXPECT_FALSE(QuietSessionBus::launchWouldFail({}, {}, {}, emptyDirs));

    // The session's own bus in the runtime folder is found without a launch.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("run")));
    ASSERT_TRUE(makeFile(dir.path() + QStringLiteral("/run/bus"), false));
    EXPECT_FALSE(QuietSessionBus::launchWouldFail({}, root + "/run", display, emptyDirs));

    // A dbus-launch on the search path could start one; a file of that name
    // that cannot be run could not.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(makeFile(dir.path() + QStringLiteral("/bin/dbus-launch"), false));
    EXPECT_TRUE(QuietSessionBus::launchWouldFail({}, {}, display, emptyDirs + ":" + root + "/bin"));
    ASSERT_TRUE(makeFile(dir.path() + QStringLiteral("/bin/dbus-launch"), true));
    EXPECT_FALSE(QuietSessionBus::launchWouldFail({}, {}, display, emptyDirs + ":" + root + "/bin"));
}

TEST(QuietSessionBus, TheEnvironmentIsPutBackForLaterPrograms)
{
    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const bool hadIt = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
    const QByteArray savedPath = qgetenv("PATH");

    // A bus address of the player's own is never touched.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/tmp/some-bus");
    {
        QuietSessionBus quiet;
        EXPECT_FALSE(quiet.active());
        EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("unix:path=/tmp/some-bus"));
    }
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("unix:path=/tmp/some-bus"));

    if (!QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).isExecutable()) {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DISPLAY", ":1");
        qputenv("PATH", "/nonexistent-ballwick-test");
        {
            QuietSessionBus quiet;
            EXPECT_TRUE(quiet.active());
            EXPECT_FALSE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty());
            quiet.release();
            EXPECT_FALSE(quiet.active());
            EXPECT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
        }
        EXPECT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    }

    if (hadIt)
        qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
    else
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (hadDisplay)
        qputenv("DISPLAY", savedDisplay);
    else
        qunsetenv("DISPLAY");
    qputenv("PATH", savedPath);
}
