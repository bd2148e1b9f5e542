// The self-update's file steps against a local server: a temporary program
// directory, a fake installer script that records its arguments, and the process
// end recorded so the test can watch it.
#include "net/selfupdate.h"
#include "net/thttpclidownload.h"
#include "scriptserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>

namespace {

// A disk that fills up after `room` bytes: later writes store nothing.
class FullDisk : public QIODevice
{
public:
    FullDisk(QIODevice *file, qint64 room) : m_file(file), m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 n) override
    {
        const qint64 take = std::min(n, m_room);
        m_room -= take;
        return take > 0 ? m_file->write(data, take) : 0;
    }

private:
    QIODevice *m_file;
    qint64 m_room;
};

// Ends the connection with a reset instead of an orderly close.
void resetConnection(QTcpSocket *s)
{
    s->flush();
    const linger hard{1, 0};
    ::setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    s->abort();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The running program as the tests see it: its file in the test's folder, the
// installer really started (detached) unless `start` says otherwise, and the
// process end recorded instead of done.
class RecordingProgram : public ballwick::RunningProgram
{
public:
    QString file;
    std::function<bool(const QString &file, const QStringList &args)> start;
    QList<int> exits;

    QString programFile() const override { return file; }
    bool startInstaller(const QString &f, const QStringList &args) override
    {
        return start ? start(f, args) : RunningProgram::startInstaller(f, args);
    }
    void endProcess(int code) override { exits << code; }
};

class SelfUpdateTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString program = dir.filePath("ballwick");
    QString backup = dir.filePath("ballwick.BAK");
    QString installer = dir.filePath("moxsetup.exe");
    QString argsFile = dir.filePath("args.txt");
    QByteArray script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + argsFile.toLocal8Bit() + "'\n";
    // What the server answers for the installer.
    QByteArray reply;
    ScriptServer srv{[this](QTcpSocket *s, const QByteArray &, int) { ScriptServer::replyAndClose(s, reply); }};
    ballwick::THttpCliDownload http;
    QStringList statuses;
    RecordingProgram process;
    QList<int> &exits = process.exits;

    void SetUp() override
    {
        process.file = program;
        writeFile(program, "old program");
        writeFile(backup, "stale backup");
        reply = "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(script.size()) + "\r\n\r\n" + script;
    }

    ballwick::SelfUpdate make()
    {
        ballwick::SelfUpdate u(&http, process, dir.path());
        u.onStatus = [this](const QString &t) { statuses << t; };
        return u;
    }
    QString url() const { return srv.url("/ballwick/moxsetup.exe"); }

    // Only the program (under one of its names) and what the test put there:
    // no half-written download is left behind.
    QStringList leftovers() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files);
        names.removeAll("ballwick");
        names.removeAll("ballwick.BAK");
        names.removeAll("moxsetup.exe");
        names.removeAll("args.txt");
        return names;
    }
};

TEST_F(SelfUpdateTest, AcceptedUpdateBacksUpDownloadsStartsAndEnds)
{
    writeFile(installer, "an older installer, longer than the new one ................................");
    auto u = make();
    bool programThereWhileDownloading = false;
    srv.handler = [&](QTcpSocket *s, const QByteArray &, int) {
        programThereWhileDownloading = readAll(program) == "old program";
        ScriptServer::replyAndClose(s, reply);
    };
    EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::Started);
    EXPECT_TRUE(programThereWhileDownloading);
    EXPECT_FALSE(QFile::exists(program));
    EXPECT_EQ(readAll(backup), "old program"); // the stale backup was replaced
    EXPECT_EQ(statuses, QStringList({QStringLiteral("Received %1 bytes").arg(script.size()), "Installing"}));
    EXPECT_EQ(exits, QList<int>{0});
    EXPECT_EQ(readAll(installer), script);
    EXPECT_TRUE(QFileInfo(installer).isExecutable());
    EXPECT_TRUE(srv.requests[0].startsWith("GET /ballwick/moxsetup.exe HTTP/1.0\r\n"));
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();

    // The installer was really spawned, detached, with the three parameters.
    QDeadlineTimer deadline(5000);
    while (!QFile::exists(argsFile) && !deadline.hasExpired())
        QThread::msleep(20);
    QThread::msleep(50);
    EXPECT_EQ(readAll(argsFile), "/SP-\n/silent\n/noicons\n");
    // The new version's installer puts the program in place; the old one stays as backup.
    EXPECT_FALSE(QFile::exists(program));
}

TEST_F(SelfUpdateTest, FailedDownloadsKeepTheGameAndStartNothing)
{
    const QByteArray cases[] = {
        "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
        "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + script, // cut short
        "<html>an error page without a header</html>",              // no status at all
    };
    for (const QByteArray &c : cases) {
        reply = c;
        statuses.clear();
        writeFile(installer, "previous installer");
        auto u = make();
        bool started = false;
        process.start = [&](const QString &, const QStringList &) { return started = true; };
        EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::DownloadAborted) << c.constData();
        EXPECT_EQ(statuses.value(statuses.size() - 1), "Download Aborted");
        EXPECT_FALSE(started);
        EXPECT_TRUE(exits.isEmpty());
        EXPECT_EQ(readAll(program), "old program");
        EXPECT_EQ(readAll(backup), "stale backup"); // nothing was moved
        EXPECT_EQ(readAll(installer), "previous installer"); // an incomplete one never replaces it
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    }
}

TEST_F(SelfUpdateTest, WithoutAnHttpClientTheDownloadIsAbortedAndTheGameKept)
{
    // The network module could not be loaded: nothing is fetched or started.
    ballwick::SelfUpdate u(nullptr, process, dir.path());
    u.onStatus = [this](const QString &t) { statuses << t; };
    writeFile(installer, "previous installer");
    EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::DownloadAborted);
    EXPECT_EQ(statuses, QStringList{"Download Aborted"});
    EXPECT_TRUE(exits.isEmpty());
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_EQ(readAll(installer), "previous installer");
    EXPECT_TRUE(srv.requests.isEmpty());
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

TEST_F(SelfUpdateTest, UnstartableInstallerIsReportedAndTheGameRestored)
{
    // Neither a program nor a script: the system refuses to run it.
    const QByteArray junk("\x01\x02\x03 not a program");
    reply = "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(junk.size()) + "\r\n\r\n" + junk;
    auto u = make();
    EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::StartFailed);
    EXPECT_EQ(statuses.value(statuses.size() - 1), "Installing");
    EXPECT_TRUE(exits.isEmpty());
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_FALSE(QFile::exists(backup));
}

TEST_F(SelfUpdateTest, UnwritableInstallerPlaceThrowsAndRestores)
{
    ballwick::SelfUpdate u(&http, process, dir.filePath("no/such/dir"));
    EXPECT_THROW(u.downloadAndStart(url()), std::runtime_error);
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_TRUE(srv.requests.isEmpty());
}

// Servers that are dead, slow, hostile or cut off, and a disk that fills up: every
// one ends in "Download Aborted" for the reason it deserves, with the program under
// its own name, no backup made and no part of a download left.
TEST_F(SelfUpdateTest, HostileServersAndAFullDiskAbortAndKeepTheGame)
{
    THttpCli &cli = http.client();
    cli.StallTimeoutMs = 300;
    cli.DeadlineMs = 2000;
    const QByteArray ok200 = "HTTP/1.0 200 OK\r\n";
    QTimer drip;
    struct Case {
        const char *name;
        std::function<void(QTcpSocket *)> serve;
        int error; // the client's failure number; 0: a connection failure (status 404); -1: none
        qint64 diskRoom = -1;
    };
    const QByteArray body(1000, 'x');
    const Case cases[] = {
        {"silent server", [](QTcpSocket *) {}, httperrTimeout},
        {"dripping server",
         [&](QTcpSocket *s) {
             s->write(ok200 + "Content-Length: 100000\r\n\r\n");
             QObject::connect(&drip, &QTimer::timeout, s, [s] { s->write("x"); });
             drip.start(50);
         },
         httperrTimeout},
        {"endless 100 Continue",
         [](QTcpSocket *s) {
             for (int i = 0; i < 1000; ++i)
                 s->write("HTTP/1.1 100 Continue\r\n\r\n");
         },
         httperrProtocol},
        {"huge header",
         [&](QTcpSocket *s) {
             s->write(ok200);
             const QByteArray lines = QByteArray("X-Pad: 1\r\n").repeated(200000);
             s->write(lines);
         },
         httperrTooLarge},
        {"one huge header line", [&](QTcpSocket *s) { s->write(ok200 + "X-Pad: " + QByteArray(100000, 'p')); },
         httperrLineTooLong},
        {"reset after 1000 bytes", [&](QTcpSocket *s) {
             s->write(ok200 + "\r\n" + body);
             s->waitForBytesWritten(1000);
             QTimer::singleShot(100, s, [s] { resetConnection(s); });
         }, 0},
        {"Content-Length abc", [&](QTcpSocket *s) { s->write(ok200 + "Content-Length: abc\r\n\r\n" + body); },
         httperrProtocol},
        {"Content-Length -1", [&](QTcpSocket *s) { s->write(ok200 + "Content-Length: -1\r\n\r\n" + body); },
         httperrProtocol},
        {"two Content-Lengths",
         [&](QTcpSocket *s) { s->write(ok200 + "Content-Length: 1000\r\nContent-Length: 999\r\n\r\n" + body); },
         httperrProtocol},
        {"installer over the size limit",
         [&](QTcpSocket *s) {
             s->write(ok200 + "Content-Length: " + QByteArray::number(ballwick::SelfUpdate::MaxInstallerBytes + 1)
                      + "\r\n\r\n" + body);
         },
         httperrTooLarge},
        {"empty installer", [&](QTcpSocket *s) { ScriptServer::replyAndClose(s, ok200 + "Content-Length: 0\r\n\r\n"); },
         -1},
        {"full disk at 0 bytes", [&](QTcpSocket *s) { ScriptServer::replyAndClose(s, reply); }, httperrStreamWrite, 0},
        {"full disk midway", [&](QTcpSocket *s) { ScriptServer::replyAndClose(s, reply); }, httperrStreamWrite, 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        statuses.clear();
        drip.stop();
        writeFile(installer, "previous installer");
        srv.handler = [&](QTcpSocket *s, const QByteArray &, int) { c.serve(s); };
        auto u = make();
        if (c.diskRoom >= 0)
            u.wrapOutput = [&](QIODevice *file) { return std::make_unique<FullDisk>(file, c.diskRoom); };
        bool started = false;
        process.start = [&](const QString &, const QStringList &) { return started = true; };
        EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::DownloadAborted);
        EXPECT_EQ(statuses.value(statuses.size() - 1), "Download Aborted");
        if (c.error > 0) {
            EXPECT_EQ(cli.ErrorNumber(), c.error) << cli.ErrorText().toStdString();
        } else if (c.error == 0) {
            EXPECT_EQ(cli.StatusCode(), 404) << cli.ReasonPhrase().toStdString();
        }
        EXPECT_FALSE(started);
        EXPECT_TRUE(exits.isEmpty());
        EXPECT_EQ(readAll(program), "old program");
        EXPECT_EQ(readAll(backup), "stale backup");
        EXPECT_EQ(readAll(installer), "previous installer");
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    }
}

// The same 1000 bytes ended by an orderly close, and one Content-Length given twice
// alike, are whole installers.
TEST_F(SelfUpdateTest, OrderlyCloseWithoutLengthAndARepeatedEqualLengthAreWhole)
{
    const QByteArray cases[] = {
        "HTTP/1.0 200 OK\r\n\r\n" + script,
        "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(script.size()) + "\r\nContent-Length:  "
            + QByteArray::number(script.size()) + " \r\n\r\n" + script,
    };
    for (const QByteArray &c : cases) {
        reply = c;
        exits.clear();
        writeFile(program, "old program");
        auto u = make();
        process.start = [](const QString &, const QStringList &) { return true; };
        EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::Started) << c.constData();
        EXPECT_EQ(readAll(installer), script);
        EXPECT_EQ(readAll(backup), "old program");
    }
}

TEST(SelfUpdateNames, BackupAndInstallerNames)
{
    using ballwick::SelfUpdate;
    EXPECT_EQ(SelfUpdate::backupName("/opt/game/ballwick"), "/opt/game/ballwick.BAK");
    EXPECT_EQ(SelfUpdate::backupName("/opt/game/ballwick.exe"), "/opt/game/ballwick.BAK");
    EXPECT_EQ(SelfUpdate::backupName("/opt/my.dir/ballwick"), "/opt/my.dir/ballwick.BAK");
    RecordingProgram process;
    process.file = "/opt/game/ballwick";
    SelfUpdate u(nullptr, process, "/home/p/.local/share/ballwick");
    EXPECT_EQ(u.installerFile("http://h:81/ballwick/moxsetup.exe"), "/home/p/.local/share/ballwick/moxsetup.exe");
}

} // namespace
