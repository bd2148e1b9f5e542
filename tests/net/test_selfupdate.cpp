// The self-update's file steps against a local server: a temporary program
// directory, a fake installer script that records its arguments, and the process
// end replaced so the test can watch it.
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
#include <gtest/gtest.h>

namespace {

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
    QList<int> exits;

    void SetUp() override
    {
        writeFile(program, "old program");
        writeFile(backup, "stale backup");
        reply = "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(script.size()) + "\r\n\r\n" + script;
    }

    ballwick::SelfUpdate make()
    {
        ballwick::SelfUpdate u(&http, program, dir.path());
        u.onStatus = [this](const QString &t) { statuses << t; };
        u.endProcess = [this](int code) { exits << code; };
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
    u.moveProgramAside();
    EXPECT_FALSE(QFile::exists(program));
    EXPECT_EQ(readAll(backup), "old program"); // the stale backup was replaced

    EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::Started);
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
        u.startInstaller = [&](const QString &, const QStringList &) { return started = true; };
        u.moveProgramAside();
        EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::DownloadAborted) << c.constData();
        EXPECT_EQ(statuses.value(statuses.size() - 1), "Download Aborted");
        EXPECT_FALSE(started);
        EXPECT_TRUE(exits.isEmpty());
        EXPECT_EQ(readAll(program), "old program");
        EXPECT_FALSE(QFile::exists(backup));
        EXPECT_EQ(readAll(installer), "previous installer"); // an incomplete one never replaces it
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    }
}

TEST_F(SelfUpdateTest, WithoutAnHttpClientTheDownloadIsAbortedAndTheGameKept)
{
    // The network module could not be loaded: nothing is fetched or started.
    ballwick::SelfUpdate u(nullptr, program, dir.path());
    u.onStatus = [this](const QString &t) { statuses << t; };
    u.endProcess = [this](int code) { exits << code; };
    writeFile(installer, "previous installer");
    u.moveProgramAside();
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
    u.moveProgramAside();
    EXPECT_EQ(u.downloadAndStart(url()), ballwick::SelfUpdate::Outcome::StartFailed);
    EXPECT_EQ(statuses.value(statuses.size() - 1), "Installing");
    EXPECT_TRUE(exits.isEmpty());
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_FALSE(QFile::exists(backup));
}

TEST_F(SelfUpdateTest, UnwritableInstallerPlaceThrowsAndRestores)
{
    ballwick::SelfUpdate u(&http, program, dir.filePath("no/such/dir"));
    u.endProcess = [this](int code) { exits << code; };
    u.moveProgramAside();
    EXPECT_THROW(u.downloadAndStart(url()), std::runtime_error);
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_TRUE(srv.requests.isEmpty());
}

TEST(SelfUpdateNames, BackupAndInstallerNames)
{
    using ballwick::SelfUpdate;
    EXPECT_EQ(SelfUpdate::backupName("/opt/game/ballwick"), "/opt/game/ballwick.BAK");
    EXPECT_EQ(SelfUpdate::backupName("/opt/game/ballwick.exe"), "/opt/game/ballwick.BAK");
    EXPECT_EQ(SelfUpdate::backupName("/opt/my.dir/ballwick"), "/opt/my.dir/ballwick.BAK");
    SelfUpdate u(nullptr, "/opt/game/ballwick", "/home/p/.local/share/ballwick");
    EXPECT_EQ(u.installerFile("http://h:81/ballwick/moxsetup.exe"), "/home/p/.local/share/ballwick/moxsetup.exe");
}

} // namespace
