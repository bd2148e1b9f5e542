#include "app/inisettings.h"
#include "app/profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <limits>

using namespace ballwick;

namespace {

class ProfileFile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("ballwick.ini");

    void put(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString read(const QString &key, const QString &fallback = "DEF", const QString &section = "ballwick")
    {
        return profile::readString(path, section, key, fallback);
    }
    void write(const QString &key, const QString &value, const QString &section = "ballwick")
    {
        profile::writeString(path, section, key, value);
    }
};

// A path that can never be created, even by root: its parent is a regular file.
QString uncreatable(const QTemporaryDir &dir)
{
    QFile blocker(dir.filePath("blocker"));
    blocker.open(QIODevice::WriteOnly);
    return dir.filePath("blocker/ballwick.ini");
}

} // namespace

TEST_F(ProfileFile, ReadsMatchSectionAndKeyWithoutCaseAndStripBlanksAndOneQuotePair)
{
    put("; settings\r\n"
        "[other]\r\n"
        "Top=99\r\n"
        "[BallWick]\r\n"
        "  tOP  =   12  \r\n"
        "Name=\"  Joe Q \"\r\n"
        "Alt='x'\r\n"
        "Both=\"'inner'\"\r\n"
        "Odd=\"half\r\n"
        "Mixed=\"a'\r\n"
        "Empty=\r\n"
        "Top=13\r\n"
        "[ballwick]\r\n"
        "Late=1\r\n");
    EXPECT_EQ(read("Top"), "12");            // first match, other section ignored
    EXPECT_EQ(read("Name"), "  Joe Q ");     // quotes keep the blanks inside
    EXPECT_EQ(read("Alt"), "x");
    EXPECT_EQ(read("Both"), "'inner'");      // only one pair comes off
    EXPECT_EQ(read("Odd"), "\"half");
    EXPECT_EQ(read("Mixed"), "\"a'");
    EXPECT_EQ(read("Empty"), "");            // present and empty is not missing
    EXPECT_EQ(read("Missing"), "DEF");
    EXPECT_EQ(read("Late"), "DEF");          // a repeated section is not searched
    EXPECT_EQ(read("Top", "DEF", "nosuch"), "DEF");
    EXPECT_EQ(read("Top", "DEF", "other"), "99");
}

TEST_F(ProfileFile, MissingOrUnreadableFileGivesTheFallback)
{
    EXPECT_EQ(read("Top", "3"), "3");
    QDir(dir.path()).mkdir("ballwick.ini"); // a directory where the file should be
    EXPECT_EQ(read("Top", "3"), "3");
}

TEST_F(ProfileFile, LongValuesAreCutAt2047Characters)
{
    put("[ballwick]\nName=" + QByteArray(5000, 'a') + "\n");
    EXPECT_EQ(read("Name").size(), 2047);
}

TEST_F(ProfileFile, WritingCreatesFileAndSectionAndKeepsTheOrderOfFirstWrites)
{
    write("Quick", "n");
    write("Top", "3");
    write("Name", "Guest");
    write("top", "4"); // replaced in place, spelled as the file has it
    EXPECT_EQ(contents(), "[ballwick]\nQuick=n\nTop=4\nName=Guest\n");
}

TEST_F(ProfileFile, WritingKeepsEveryOtherLineByteForByte)
{
    const QByteArray before =
        "; Ballwick settings\r\n"
        "\r\n"
        "[Ballwick]\r\n"
        "Top = 10 ; old\r\n"
        "# kept\r\n"
        "Colour=blue\r\n"
        "\r\n"
        "; about the next section\r\n"
        "[fonts]\r\n"
        "Size=8";
    put(before);
    write("TOP", "20");
    write("Width", "1024");
    write("Size", "9", "Other");
    EXPECT_EQ(contents(), "; Ballwick settings\r\n"
                          "\r\n"
                          "[Ballwick]\r\n"
                          "Top =20\r\n"
                          "# kept\r\n"
                          "Colour=blue\r\n"
                          "Width=1024\r\n"
                          "\r\n"
                          "; about the next section\r\n"
                          "[fonts]\r\n"
                          "Size=8\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "Size=9\r\n");
}

TEST_F(ProfileFile, SeveralKeysAtOnceGiveWhatOneAtATimeGives)
{
    const QList<std::pair<QString, QString>> values{
        {"TOP", "20"}, {"Width", "1024"}, {"Name", "\"quoted\""}, {"width", "800"}};
    for (const QByteArray &before : {QByteArray(), QByteArray("\xEF\xBB\xBF[ballwick]\r\nTop = 1\r\n[x]\r\nA=1"),
                                     QByteArray("; only a comment")}) {
        put(before);
        for (const auto &[key, value] : values)
            write(key, value);
        const QByteArray oneAtATime = contents();
        put(before);
        profile::writeStrings(path, "ballwick", values);
        EXPECT_EQ(contents(), oneAtATime) << before.constData();
    }
}

TEST_F(ProfileFile, AByteOrderMarkIsReadPastAndKept)
{
    put("\xEF\xBB\xBF[ballwick]\nTop=5\n");
    EXPECT_EQ(read("Top"), "5");
    write("Top", "6");
    EXPECT_EQ(contents(), "\xEF\xBB\xBF[ballwick]\nTop=6\n");
}

TEST_F(ProfileFile, WrittenValuesReadBackUnchanged)
{
    for (const QString &v : {QString(" padded "), QString("\"quoted\""), QString("'q'"), QString(""),
                             QString("Zoë"), QString("a=b;c")}) {
        write("Name", v);
        EXPECT_EQ(read("Name"), v);
    }
    // A line break cannot smuggle in a key or a section of its own.
    write("Name", "Bob\n[ballwick]\nSounds=no");
    EXPECT_EQ(read("Sounds"), "DEF");
    EXPECT_EQ(read("Name"), "Bob [ballwick] Sounds=no");
}

TEST_F(ProfileFile, RefusedWriteNamesTheFullPathAndLeavesNothingBehind)
{
    const QString bad = uncreatable(dir);
    try {
        profile::writeString(bad, "ballwick", "Quick", "n");
        FAIL() << "write succeeded";
    } catch (const ProfileWriteError &e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Unable to write to " + bad);
        EXPECT_EQ(e.path(), bad);
    }
    // A directory in the file's place: refused, and the directory is untouched.
    QDir(dir.path()).mkdir("ballwick.ini");
    EXPECT_THROW(write("Quick", "n"), ProfileWriteError);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(IniInteger, ReadsDecimalDollarHexAndLongZeroXHexOnly)
{
    EXPECT_EQ(parseIniInteger("0x400"), 1024);
    EXPECT_EQ(parseIniInteger("0X1f"), 31);
    EXPECT_EQ(parseIniInteger("$400"), 1024);
    EXPECT_EQ(parseIniInteger("-$10"), -16);
    EXPECT_EQ(parseIniInteger("-25"), -25);
    EXPECT_EQ(parseIniInteger("+7"), 7);
    EXPECT_EQ(parseIniInteger("0"), 0);
    EXPECT_EQ(parseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseIniInteger("0xFFFFFFFF"), -1);
    for (const char *bad : {"", "0x", "0X", "0x-5", "0x+5", "0xg", "abc", "12px", "1 2", "-", "$", "$-1",
                            "2147483648", "0x100000000", "99999999999", "1.5"})
        EXPECT_EQ(parseIniInteger(bad), std::nullopt) << bad;
    // Leading zeros never make a value too long.
    EXPECT_EQ(parseIniInteger("00000000100"), 100);
    EXPECT_EQ(parseIniInteger("-000000000000025"), -25);
    EXPECT_EQ(parseIniInteger("0x0000000400"), 1024);
    EXPECT_EQ(parseIniInteger("$00000000010"), 16);
    EXPECT_EQ(parseIniInteger("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(parseIniInteger("000002147483648"), std::nullopt);
}

// A FIFO in the file's place: every read gives the fallback at once (no open
// that waits for a writer), and a write is refused, leaving the FIFO.
TEST_F(ProfileFile, AFileThatIsNoRegularFileIsNeverOpenedBlocking)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(read("Name", "Guest"), "Guest");
    EXPECT_EQ(readIniSettings(path, "ballwick", 780, 491).width, 780);
    try {
        write("Quick", "n");
        FAIL() << "write succeeded";
    } catch (const ProfileWriteError &e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Unable to write to " + path + ": it is not a regular file");
    }
    EXPECT_FALSE(QFileInfo(path).isFile());
    EXPECT_TRUE(QFileInfo::exists(path));
}

// A full disk (a file size limit in a child process, where the limit cannot
// reach anything else): the write is refused and the old file stays byte for
// byte, with no copy left beside it.
TEST_F(ProfileFile, AFullDiskLeavesTheOldFileWhole)
{
    QByteArray old = "[ballwick]\r\nQuick=n\r\nName=Keeper\r\n";
    old += "; " + QByteArray(400, 'x') + "\r\n";
    put(old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            writeIniSettings(path, "ballwick", IniSettings{});
        } catch (const ProfileWriteError &) {
            _exit(7);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7) << "the write was not refused";
    EXPECT_EQ(contents(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ballwick.ini"});
}

TEST_F(ProfileFile, SettingsDefaultsWhenThereIsNoFile)
{
    const IniSettings s = readIniSettings(path, "ballwick", 780, 491);
    EXPECT_EQ(s.top, 3);
    EXPECT_EQ(s.left, 3);
    EXPECT_EQ(s.width, 780);
    EXPECT_EQ(s.height, 491);
    EXPECT_TRUE(s.sounds);
    EXPECT_TRUE(s.update);
    EXPECT_EQ(s.name, "Guest");
    EXPECT_TRUE(s.quick);
}

TEST_F(ProfileFile, SettingsTextValuesCompareExactlyAndWithCase)
{
    put("[ballwick]\nSounds=No\nUpdate=FALSE\nQuick=Y\nName=\nWidth=0x400\nHeight=big\nTop=-40\n");
    IniSettings s = readIniSettings(path, "ballwick", 780, 491);
    EXPECT_TRUE(s.sounds);
    EXPECT_TRUE(s.update);
    EXPECT_FALSE(s.quick);
    EXPECT_EQ(s.name, "");
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.height, 491);
    EXPECT_EQ(s.top, -40);

    put("[ballwick]\nSounds=no\nUpdate=false\nQuick=y\nSounds=yes\n");
    s = readIniSettings(path, "ballwick", 780, 491);
    EXPECT_FALSE(s.sounds);
    EXPECT_FALSE(s.update);
    EXPECT_TRUE(s.quick);
}

TEST_F(ProfileFile, SettingsSaveWritesAllKeysInOrderAfterQuickAndStopsAtARefusal)
{
    IniSettings s;
    s.top = 10;
    s.left = 20;
    s.width = 1024;
    s.height = 600;
    s.name = "A long player name";
    s.sounds = false;
    writeQuickSeen(path, "ballwick");
    writeIniSettings(path, "ballwick", s);
    EXPECT_EQ(contents(), "[ballwick]\nQuick=n\nTop=10\nLeft=20\nWidth=1024\nHeight=600\n"
                          "Name=A long player name\nSounds=no\nUpdate=true\n");
    const IniSettings back = readIniSettings(path, "ballwick", 780, 491);
    EXPECT_EQ(back.name, s.name);
    EXPECT_FALSE(back.sounds);
    EXPECT_FALSE(back.quick);

    EXPECT_THROW(writeIniSettings(uncreatable(dir), "ballwick", s), ProfileWriteError);
}

TEST_F(ProfileFile, AWriteThatChangesNothingLeavesTheFileAsItIs)
{
    put("[ballwick]\r\nQuick=n\r\nTop=5\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    write("Quick", "n");
    profile::writeStrings(path, "ballwick", {{"Top", "5"}, {"quick", "n"}});
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    // Not replaced: a replacement would be a new file.
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(contents(), "[ballwick]\r\nQuick=n\r\nTop=5\r\n");

    write("Top", "6");
    EXPECT_EQ(contents(), "[ballwick]\r\nQuick=n\r\nTop=6\r\n");
}
