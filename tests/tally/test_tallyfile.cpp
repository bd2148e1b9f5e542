// The tally file on disk: its form, damaged files at start, and that a kill
// during the save never costs the player the tally.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <sys/stat.h>

#include <sstream>
#include <thread>

#include "tallytest.h"

#include "tallylisttest.h"

using tallylisttest::TallyTest;

namespace {

std::string unpackbytes(const QByteArray &packed)
{
    std::istringstream in(packed.toStdString());
    std::ostringstream out;
    ballwick::Tlzrw1 doit;
    doit.UseStream = true;
    doit.InputStream = &in;
    doit.OutputStream = &out;
    doit.Decompress();
    return out.str();
}

// Sets the process's current directory for one scope.
struct CurrentDir
{
    QString old = QDir::currentPath();
    explicit CurrentDir(const QString &dir) { QDir::setCurrent(dir); }
    ~CurrentDir() { QDir::setCurrent(old); }
};

} // namespace

TEST_F(TallyTest, SavedFileIsALzrw1ContainerOfTheGridTextAndNothingLandsInTheCurrentDirectory)
{
    QTemporaryDir cwd;
    {
        CurrentDir here(cwd.path());
        start();
        window->addtomineincrease(1);
        window->checkscore(77, "Zed");
        const ballwick::StringGrid saved = window->scores();
        stop();
        start();
        EXPECT_EQ(window->scores(), saved);
        stop();
    }
    EXPECT_TRUE(QDir(cwd.path()).isEmpty()) << QDir(cwd.path()).entryList().join(' ').toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ballwicktally.tld"});

    const QByteArray packed = tallylisttest::filebytes(tallyfile());
    ASSERT_GE(packed.size(), 10);
    EXPECT_EQ(packed.left(4), QByteArray("\x57\x52\x5A\x4C", 4));
    const std::string text = unpackbytes(packed);
    const QStringList lines = QString::fromStdString(text).split("\r\n");
    ASSERT_EQ(lines.size(), 171); // 170 lines, each ending in CR LF
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(lines[0], "14");
    EXPECT_EQ(lines[1], "12");
    EXPECT_EQ(lines[2 + 12 + 0], "1");   // counter 1
    EXPECT_EQ(lines[2 + 12 + 1], "77");  // rank 1's score
    EXPECT_EQ(lines[2 + 24 + 1], "Zed"); // rank 1's name
    EXPECT_EQ(lines[2 + 12 + 2], "-1000");

    // The command-line tool reads it too.
    const QString out = dir.path() + "/unpacked.txt";
    QProcess pack;
    pack.start(QStringLiteral(BALLWICK_PACK_TOOL), {"unpack", tallyfile(), out});
    ASSERT_TRUE(pack.waitForFinished(10000));
    EXPECT_EQ(pack.exitCode(), 0) << pack.readAllStandardError().toStdString();
    EXPECT_EQ(tallylisttest::filebytes(out).toStdString(), text);
}

TEST_F(TallyTest, UnreadableTallyFilesAreReportedAndKeptAside)
{
    const QByteArray garbage("this is no tally file at all");
    QFile f(tallyfile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(garbage);
    f.close();

    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(" : Lzrw1 decompression : this file has no valid header !"))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.errors[0].contains("ballwicktally.tld.bad"));
    EXPECT_EQ(tallylisttest::filebytes(tallyfile() + ".bad"), garbage);
    EXPECT_EQ(caption("mylabel_1"), "0");
    window->addtomineincrease(1);
    stop();
    EXPECT_EQ(tallylisttest::readtally(tallyfile()).cell(1, 0), "1");
    EXPECT_EQ(tallylisttest::filebytes(tallyfile() + ".bad"), garbage);

    // A container cut short: the reading error. An earlier .bad stays.
    QByteArray packed = tallylisttest::filebytes(tallyfile());
    packed.chop(5);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(packed);
    f.close();
    dialogs.errors.clear();
    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("Lzrw1 : Error reading from input file : ")) << dialogs.errors[0].toStdString();
    EXPECT_EQ(tallylisttest::filebytes(tallyfile() + ".bad"), garbage);
    EXPECT_EQ(tallylisttest::filebytes(tallyfile() + ".bad.2"), packed);
    EXPECT_FALSE(QFile::exists(tallyfile()));
}

TEST_F(TallyTest, ACounterThatIsNoNumberIsReportedAndTheRestStillLoads)
{
    ballwick::StringGrid grid = tallylisttest::sampletally(4);
    grid.setCell(3, 0, "abc");
    tallylisttest::writetally(grid, tallyfile());

    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("'abc' is not a valid integer value")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(QFile::exists(tallyfile() + ".bad"));
    EXPECT_EQ(tallylisttest::readtally(tallyfile() + ".bad"), grid);
    EXPECT_EQ(caption("mylabel_2"), "402");
    EXPECT_EQ(caption("mylabel_3"), "0");
    EXPECT_EQ(caption("mylabel_4"), "404");
    EXPECT_EQ(caption("label_name1"), "player4-1");
    EXPECT_EQ(window->bestcovered(), 402);
    window->addtomineincrease(3);
    EXPECT_EQ(caption("mylabel_3"), "1");
}

TEST_F(TallyTest, NoTemporaryFileIsNeededToLoadOrSave)
{
    tallylisttest::writetally(tallylisttest::sampletally(5), tallyfile());
    const QByteArray oldTmp = qgetenv("TMPDIR");
    // A TMPDIR that is a plain file: no temporary file can be made in it.
    QFile plain(dir.path() + "/notadir");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    qputenv("TMPDIR", QFile::encodeName(plain.fileName()));
    start();
    EXPECT_EQ(caption("mylabel_1"), "501");
    window->addtomineincrease(1);
    stop();
    if (oldTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(tallylisttest::readtally(tallyfile()).cell(1, 0), "502");
    EXPECT_FALSE(QFile::exists(tallyfile() + ".bad"));
}

// A tally that claims 2 GB is refused from its header, before anything is
// expanded, and kept aside like any damaged tally.
TEST_F(TallyTest, AClaimedSizeAboveOneMebibyteIsRefusedBeforeExpanding)
{
    // 0x7F000000 bytes stated, one full stored block following.
    const QByteArray claim = QByteArray("WRZL\x00\x00\x00\x7F\x01\x80\x80", 11) + QByteArray(32768, 'a');
    QFile f(tallyfile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(claim);
    f.close();

    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"))
        << dialogs.errors[0].toStdString();
    EXPECT_EQ(tallylisttest::filebytes(tallyfile() + ".bad"), claim);
    EXPECT_EQ(caption("mylabel_1"), "0");
}

// A FIFO, a directory or a device in the tally's place: refused at once
// (never opened blocking), reported, and left as it is at exit.
TEST_F(TallyTest, ATallyThatIsNoRegularFileIsRefusedAtOnceAndLeftAlone)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(tallyfile()).constData(), 0600), 0);
    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("is not a regular file")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.errors[0].contains("will not be saved")) << dialogs.errors[0].toStdString();
    window->addtomineincrease(1);
    stop();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(QFileInfo(tallyfile()).isFile(), false);
    QFile::remove(tallyfile());

    ASSERT_TRUE(QDir(dir.path()).mkdir("ballwicktally.tld"));
    dialogs.errors.clear();
    start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("is not a regular file")) << dialogs.errors[0].toStdString();
    stop();
    EXPECT_TRUE(QFileInfo(tallyfile()).isDir());
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"ballwicktally.tld"});
}

// A full disk at exit: the earlier tally stays byte for byte, and the player
// is told once. The size limit makes every write of this process past a few
// bytes fail, as a full disk does.
TEST_F(TallyTest, AFullDiskAtExitKeepsTheEarlierTallyAndSaysSo)
{
    tallylisttest::writetally(tallylisttest::sampletally(6), tallyfile());
    const QByteArray before = tallylisttest::filebytes(tallyfile());
    start();
    window->addtomineincrease(1);
    window->checkscore(9999, "Full");
    {
        tallytest::FileSizeLimit full(16);
        stop();
    }
    EXPECT_EQ(tallylisttest::filebytes(tallyfile()), before);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("The tally could not be saved to ")) << dialogs.errors[0].toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ballwicktally.tld"});

    // With room again the next exit saves.
    dialogs.errors.clear();
    start();
    window->addtomineincrease(1);
    stop();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(tallylisttest::readtally(tallyfile()).cell(1, 0), "602");
}

TEST_F(TallyTest, AKilledSavesLeftoverIsRemovedAtTheNextSave)
{
    const QString leftover = tallyfile() + ".Ab3dE9";
    QFile f(leftover);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("half a tally");
    f.flush();
    f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    f.close();
    const QString young = tallyfile() + ".Zz9yY8";
    QFile g(young);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.close();
    start();
    stop();
    EXPECT_FALSE(QFile::exists(leftover));
    // One a minute old or less may belong to a save still running.
    EXPECT_TRUE(QFile::exists(young));
}

// A child process saves two different tallies in turn as fast as it can and is
// killed with SIGKILL at a random moment, 200 times. Each time the file on disk
// must read back as one of the two tallies, whole.
TEST_F(TallyTest, KilledWhileSavingLeavesTheOldOrTheNewTally)
{
    const ballwick::StringGrid tallies[2] = {tallylisttest::sampletally(1), tallylisttest::sampletally(2)};
    const QString file = tallyfile();
    tallylisttest::writetally(tallies[1], file);

    QRandomGenerator random(20261207);
    int seen[2] = {0, 0};
    QElapsedTimer clock;
    clock.start();
    const int rounds = 200;
    for (int i = 0; i < rounds; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--tally-save-child", file});
        ASSERT_TRUE(child.waitForStarted(10000));
        // "ready" follows the first complete save; from then on it saves non-stop.
        ASSERT_TRUE(child.waitForReadyRead(10000)) << "round " << i;
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(20000)));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child ended by itself in round " << i;

        ballwick::StringGrid ondisk;
        try {
            ondisk = tallylisttest::readtally(file);
        } catch (const std::exception &e) {
            FAIL() << "round " << i << ": " << e.what();
        }
        const bool isOld = ondisk == tallies[0];
        const bool isNew = ondisk == tallies[1];
        ASSERT_TRUE(isOld || isNew) << "round " << i << ": the file holds neither tally";
        ++seen[isOld ? 0 : 1];
    }
    // The kills landed at different points of the save loop.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    // A kill in the middle of writing leaves the half-written file beside the
    // tally, never in its place.
    const int interrupted = QDir(dir.path()).entryList({"ballwicktally.tld.*"}, QDir::Files).size();
    std::printf("%d kills in %lld ms: tally A %d times, tally B %d times, %d during a write\n", rounds,
                static_cast<long long>(clock.elapsed()), seen[0], seen[1], interrupted);
}
