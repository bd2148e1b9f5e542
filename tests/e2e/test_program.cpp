// The installed program as a player runs it: the real executable on an X
// display, against a local server on the port of the built-in server base.
// It offers version 1.0.3; the update is accepted with a click on OK, the
// installer is downloaded and started with its three arguments, and the game
// ends with status 0, its own file moved aside as ballwick.BAK. The window
// titles are read off the display as the desktop sees them.
#include "scriptserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <ballwick_config.h>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Runs a command to its end (10 s at most) and gives its standard output.
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The X window of a top-level window with exactly this title, waiting for it
// to be mapped; 0 when none shows within the time.
qulonglong findWindow(const QString &title, int ms = 30000)
{
    qulonglong id = 0;
    (void)QTest::qWaitFor(
        [&] {
            const QString out = run(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"),
                                     QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')});
            id = out.section(QLatin1Char('\n'), 0, 0).toULongLong();
            return id != 0;
        },
        ms);
    return id;
}

// The title the desktop shows: the window's _NET_WM_NAME.
QString netWmName(qulonglong window)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                      QStringLiteral("_NET_WM_NAME")});
    const qsizetype eq = out.indexOf(QLatin1String(" = \""));
    return eq < 0 ? out : out.mid(eq + 4).chopped(1);
}

// A key typed into the window, as the keyboard would (sent events are ignored).
void key(qulonglong window, const QString &keys)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

struct Geometry
{
    int width = 0, height = 0;
};

Geometry geometry(qulonglong window)
{
    Geometry g;
    const QString out = run(QStringLiteral("xdotool"),
                            {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)});
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("WIDTH=")))
            g.width = line.mid(6).toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            g.height = line.mid(7).toInt();
    }
    return g;
}

} // namespace

class Program : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (the test command runs this under xvfb-run)";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::copy(QStringLiteral(BALLWICK_EXE), program));
        ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner));
        // Sounds on, the update check on, the quick instructions seen.
        ASSERT_TRUE(writeFile(dir.filePath("ballwick.ini"), "[ballwick]\nQuick=n\nSounds=yes\nUpdate=true\n"));
        const int port = QUrl(QStringLiteral(BALLWICK_SERVER_BASE)).port(80);
        srv.server.close();
        if (!srv.server.listen(QHostAddress::LocalHost, quint16(port)))
            GTEST_SKIP() << "port " << port << " of the server base is taken";
    }

    void TearDown() override
    {
        if (game.state() != QProcess::NotRunning) {
            game.kill();
            game.waitForFinished();
        }
    }

    void startGame()
    {
        game.setWorkingDirectory(dir.path());
        game.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        game.setProcessEnvironment(env);
        game.start(program, {});
        ASSERT_TRUE(game.waitForStarted());
    }

    // Waits for the main window; on failure says what the display holds.
    qulonglong mainWindow()
    {
        const qulonglong id = findWindow(QStringLiteral("Ballwick"));
        if (!id)
            ADD_FAILURE() << "no main window; the game is "
                          << (game.state() == QProcess::Running        ? "running"
                              : game.exitStatus() == QProcess::CrashExit ? "crashed"
                                                                         : "ended")
                          << " with status " << game.exitCode() << ", saying: " << game.readAll().toStdString()
                          << "; windows named Ballwick: "
                          << run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                                             QStringLiteral("Ballwick")})
                                 .toStdString();
        return id;
    }

    bool requested(const QByteArray &start) const
    {
        for (const QByteArray &r : srv.requests)
            if (r.startsWith(start))
                return true;
        return false;
    }

    QTemporaryDir dir;
    QString program = dir.filePath(QStringLiteral("ballwick"));
    QByteArray installer =
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/installer-args.txt\"\n";
    ScriptServer srv{[this](QTcpSocket *s, const QByteArray &req, int) {
        if (req.startsWith("GET /ballwick/ballwickversion.txt "))
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n1.0.3");
        else if (req.startsWith("GET /ballwick/moxsetup.exe "))
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(installer.size())
                                               + "\r\n\r\n" + installer);
        else
            ScriptServer::replyAndClose(s, "HTTP/1.0 404 Not Found\r\nContent-Length: 4\r\n\r\nnone");
    }};
    QProcess game;
};

TEST_F(Program, EveryWindowTitleIsTheGamesOwn)
{
    startGame();
    const qulonglong main = mainWindow();
    ASSERT_NE(main, 0u);
    EXPECT_EQ(netWmName(main).toStdString(), "Ballwick");

    // F1 opens the help; the others are opened from the menus by keyboard.
    struct Opened
    {
        QString keys;
        QString title;
    };
    const Opened windows[] = {
        {QStringLiteral("F1"), QStringLiteral("Ballwick - Help File")},
        {QStringLiteral("alt+v Return"), QStringLiteral("Ballwick - Tally List")},
        {QStringLiteral("alt+v Down Return"), QStringLiteral("Ballwick - High Scores")},
        {QStringLiteral("alt+h Up Return"), QStringLiteral("Ballwick - About")},
        {QStringLiteral("alt+h Up Right Return"), QStringLiteral("Ballwick Solo - Multiplayer")},
    };
    for (const Opened &w : windows) {
        SCOPED_TRACE(w.title.toStdString());
        for (const QString &k : w.keys.split(QLatin1Char(' ')))
            key(main, k);
        const qulonglong id = findWindow(w.title);
        ASSERT_NE(id, 0u);
        EXPECT_EQ(netWmName(id).toStdString(), w.title.toStdString());
    }
    game.terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return game.state() == QProcess::NotRunning; }, 10000));
}

TEST_F(Program, AcceptedUpdateDownloadsAndStartsTheInstallerThenEnds)
{
    startGame();
    const qulonglong main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requested("GET /ballwick/ballwickversion.txt "); }, 10000));
    QTest::qWait(1000); // the offer is shown once the reply is in

    // OK on panel_update: the play area is centred in the window's client
    // area, below the menu bar. At the default size the client area has its
    // least height, 493: the rest is the menu bar.
    const Geometry g = geometry(main);
    const int menubar = g.height > 493 ? g.height - 493 : 22;
    const int x = g.width / 2 - 379 + 2 + 140 + 27 + 63;
    const int y = (g.height + menubar) / 2 - 244 + 29 + 26 + 90 + 20;
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(main),
                                    QString::number(x), QString::number(y), QStringLiteral("click"),
                                    QStringLiteral("1")});

    // The server answers from this thread's event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return game.state() == QProcess::NotRunning; }, 30000))
        << "the game did not end after the update was accepted";
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_TRUE(requested("GET /ballwick/moxsetup.exe HTTP/1.0\r\n"));

    const QString args = dir.filePath(QStringLiteral("installer-args.txt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(args); }, 10000)) << "the installer did not run";
    QTest::qWait(200); // written whole
    EXPECT_EQ(readAll(args), "/SP-\n/silent\n/noicons\n");
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("moxsetup.exe"))), installer);
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("ballwick.BAK"))), readAll(QStringLiteral(BALLWICK_EXE)));
}

// The welcome cue of a start with sounds on reaches the audio device: the
// sound server's null sink, recorded through its monitor.
TEST_F(Program, TheWelcomeCueSoundsOnTheAudioDevice)
{
    const QString sink = qEnvironmentVariable("BALLWICK_E2E_SINK");
    if (sink.isEmpty())
        GTEST_SKIP() << "no sound server to record from (the test command starts one where PulseAudio is installed)";
    const QString recording = dir.filePath(QStringLiteral("recording.raw"));
    QProcess recorder;
    recorder.setStandardOutputFile(recording);
    recorder.start(QStringLiteral("parec"), {QStringLiteral("-d"), sink + QStringLiteral(".monitor"),
                                             QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                             QStringLiteral("--channels=1"), QStringLiteral("--rate=8000")});
    ASSERT_TRUE(recorder.waitForStarted());
    QTest::qWait(500);
    startGame();
    ASSERT_NE(mainWindow(), 0u);
    QTest::qWait(2000); // "entered" lasts 0.79 s
    game.terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return game.state() == QProcess::NotRunning; }, 10000));
    recorder.terminate();
    recorder.waitForFinished();

    const QByteArray pcm = readAll(recording);
    int loud = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        const qint16 sample = qint16(quint8(pcm[i]) | (quint8(pcm[i + 1]) << 8));
        if (sample > 1000 || sample < -1000)
            ++loud;
    }
    EXPECT_GT(loud, 800) << "of " << pcm.size() / 2 << " samples at 8 kHz, " << loud << " are not near silence";
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
