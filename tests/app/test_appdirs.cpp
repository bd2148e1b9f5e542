#include "app/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ballwick_config.h>

namespace {

// Points HOME and the XDG folders into a temporary folder for one test and puts
// the old values back afterwards.
class AppDirsPlaces : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString home = tmp.filePath("home");
    QString config = tmp.filePath("config");
    QString data = tmp.filePath("data");

    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_TRUE(QDir().mkpath(home));
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        setenv("HOME", home);
        setenv("XDG_CONFIG_HOME", config);
        setenv("XDG_DATA_HOME", data);
    }
    void TearDown() override
    {
        for (const Saved &s : saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    static void setenv(const char *name, const QString &value) { qputenv(name, QFile::encodeName(value)); }

    static void write(const QString &path, const QByteArray &content)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A prefix/bin folder as `cmake --install` leaves it.
    QString installTree(const QString &prefix)
    {
        const QString bin = tmp.filePath(prefix + "/bin");
        EXPECT_TRUE(QDir().mkpath(bin));
        write(tmp.filePath(prefix + "/share/applications/" BALLWICK_APP_ID ".desktop"), "[Desktop Entry]\n");
        return bin;
    }

private:
    struct Saved {
        const char *name;
        QByteArray value;
        bool set;
    };
    std::vector<Saved> saved;
};

} // namespace

TEST(AppDirs, TheRunningProgramInItsBuildFolderKeepsItsFilesBesideItself)
{
    // The test binary sits in a writable build folder, not an installed bin/.
    EXPECT_TRUE(ballwick::programDir().endsWith('/'));
    const ballwick::FilePlaces &places = ballwick::runningPlaces();
    EXPECT_TRUE(places.portable);
    EXPECT_EQ(places.data, ballwick::programDir());
    EXPECT_EQ(places.config, ballwick::programDir());
}

TEST_F(AppDirsPlaces, APortableCopyKeepsEverythingBesideItselfAndMakesNoUserFolders)
{
    const QString prog = tmp.filePath("games/ballwick");
    ASSERT_TRUE(QDir().mkpath(prog));
    const ballwick::FilePlaces p = ballwick::filePlacesFor(prog, tmp.filePath("usr/bin"));
    EXPECT_TRUE(p.portable);
    EXPECT_EQ(p.config, prog + '/');
    EXPECT_EQ(p.data, prog + '/');
    EXPECT_FALSE(QFileInfo::exists(config));
    EXPECT_FALSE(QFileInfo::exists(data));

    // A folder named bin is portable too, unless it belongs to an install tree.
    const QString bin = tmp.filePath("unpacked/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_TRUE(ballwick::filePlacesFor(bin, {}).portable);
}

TEST_F(AppDirsPlaces, AnInstalledCopyUsesTheXdgFoldersEvenWhenItsBinFolderIsWritable)
{
    // The configured bin/ folder, reached through a link: paths compare canonically.
    const QString bin = tmp.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QFile::link(tmp.filePath("usr"), tmp.filePath("usr-link")));
    const ballwick::FilePlaces p = ballwick::filePlacesFor(tmp.filePath("usr-link/bin"), bin + '/');
    EXPECT_FALSE(p.portable);
    EXPECT_EQ(p.config, config + "/ballwick/");
    EXPECT_EQ(p.data, data + "/ballwick/");
    EXPECT_TRUE(QFileInfo(p.config).isDir());
    EXPECT_TRUE(QFileInfo(p.data).isDir());
    EXPECT_TRUE(QDir(bin).isEmpty());

    // Installed under another prefix than the configured one (a staging folder,
    // DESTDIR): recognised by the tree's desktop entry.
    EXPECT_FALSE(ballwick::filePlacesFor(installTree("stage/usr"), bin).portable);
}

TEST_F(AppDirsPlaces, AnUnwritableProgramFolderUsesTheXdgFolders)
{
    // Tests may run as root, for whom no mode bits stop a write: a folder whose
    // path runs through a regular file is unwritable for everyone.
    write(tmp.filePath("file"), "");
    const ballwick::FilePlaces p = ballwick::filePlacesFor(tmp.filePath("file/bin"), {});
    EXPECT_FALSE(p.portable);
    EXPECT_EQ(p.config, config + "/ballwick/");
    EXPECT_EQ(p.data, data + "/ballwick/");
}

TEST_F(AppDirsPlaces, UnsetOrRelativeXdgVariablesFallBackToTheHomeFolder)
{
    qunsetenv("XDG_DATA_HOME");
    setenv("XDG_CONFIG_HOME", "relative/config");
    const ballwick::FilePlaces p = ballwick::filePlacesFor(installTree("usr"), {});
    EXPECT_EQ(p.config, home + "/.config/ballwick/");
    EXPECT_EQ(p.data, home + "/.local/share/ballwick/");
}

TEST_F(AppDirsPlaces, TheOlderSettingsFileMovesToTheConfigFolderOnce)
{
    const QString bin = installTree("usr");
    // Earlier versions kept both files in the data folder.
    write(data + "/ballwick/ballwick.ini", "[ballwick]\nName=Old\n");
    write(data + "/ballwick/ballwicktally.tld", "tally");
    ballwick::filePlacesFor(bin, {});
    EXPECT_EQ(read(config + "/ballwick/ballwick.ini"), "[ballwick]\nName=Old\n");
    EXPECT_FALSE(QFileInfo::exists(data + "/ballwick/ballwick.ini"));
    EXPECT_EQ(read(data + "/ballwick/ballwicktally.tld"), "tally");

    // A settings file in the new place is never replaced by an older one.
    write(config + "/ballwick/ballwick.ini", "[ballwick]\nName=New\n");
    write(data + "/ballwick/ballwick.ini", "[ballwick]\nName=Stray\n");
    ballwick::filePlacesFor(bin, {});
    EXPECT_EQ(read(config + "/ballwick/ballwick.ini"), "[ballwick]\nName=New\n");
    EXPECT_EQ(read(data + "/ballwick/ballwick.ini"), "[ballwick]\nName=Stray\n");
}

TEST_F(AppDirsPlaces, FilesInTheOldHomeFolderPlaceMoveWhenXdgDataHomeIsElsewhere)
{
    write(home + "/.local/share/ballwick/ballwick.ini", "ini");
    write(home + "/.local/share/ballwick/ballwicktally.tld", "tally");
    ballwick::filePlacesFor(installTree("usr"), {});
    EXPECT_EQ(read(config + "/ballwick/ballwick.ini"), "ini");
    EXPECT_EQ(read(data + "/ballwick/ballwicktally.tld"), "tally");
    EXPECT_TRUE(QDir(home + "/.local/share/ballwick").isEmpty());
}

TEST_F(AppDirsPlaces, APortableCopyLeavesOlderFilesAlone)
{
    write(data + "/ballwick/ballwick.ini", "ini");
    const QString prog = tmp.filePath("portable");
    ASSERT_TRUE(QDir().mkpath(prog));
    ballwick::filePlacesFor(prog, {});
    EXPECT_EQ(read(data + "/ballwick/ballwick.ini"), "ini");
    EXPECT_FALSE(QFileInfo::exists(config));
}
