// The update offer and the self-update through the main window: the version check
// at the first showing, panel_update, and the download and start of the installer,
// with the program file and the process end replaced so that the test survives.
#include "app/appdirs.h"
#include "app/pictures.h"
#include "app/tmain.h"
#include "mainwindowtest.h"
#include "net/selfupdate.h"
#include "online/serverbase.h"
#include "online/thttpget.h"
#include "screens/tabout.h"
#include "scriptserver.h"
#include "widgets/tflatpanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <ballwick_config.h>
#include <gtest/gtest.h>

using ballwick::test::part;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class TmainUpdate : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString program = dir.filePath("ballwick");
    QByteArray version = "1.0.3";
    QByteArray installer = "#!/bin/sh\nexit 0\n";
    int installerStatus = 200;
    bool programThereWhileDownloading = false;
    ScriptServer srv{[this](QTcpSocket *s, const QByteArray &req, int) {
        if (req.startsWith("GET /ballwick/ballwickversion.txt "))
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\n\r\n" + version);
        else if (req.startsWith("GET /ballwick/moxsetup.exe ") && installerStatus == 0) {
            // Part of the installer, then silence.
            programThereWhileDownloading = readAll(program) == "old program";
            s->write("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(1000, 'x'));
        } else if (req.startsWith("GET /ballwick/moxsetup.exe ") && installerStatus == 200)
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(installer.size())
                                               + "\r\n\r\n" + installer);
        else
            ScriptServer::replyAndClose(s, "HTTP/1.0 404 Not Found\r\nContent-Length: 4\r\n\r\nnone");
    }};
    ballwick::test::TestServices fakes;
    QStringList &errors = fakes.dialogs.errors;
    QList<QStringList> &starts = fakes.program.starts;
    QList<int> &exits = fakes.program.exits;
    bool &startWorks = fakes.program.startWorks;
    ballwick::MainServices services;

    void SetUp() override
    {
        services = fakes.in(dir.path());
        services.server = ballwick::ServerAddresses(srv.url("/"));
        services.downloadStallMs = 300;
        services.downloadDeadlineMs = 3000;
        fakes.program.file = program;
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old program");
        f.close();
    }

    // Shows a main window with its about window, as the program does, and waits
    // until the version check has been answered and handled.
    void showAndWaitForCheck(Tmain &w, Tabout &about)
    {
        w.setwindows(nullptr, &about, nullptr, nullptr, nullptr);
        w.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !srv.requests.isEmpty(); }, 5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !part<THTTPGet>(w, "checkupdate")->running(); }, 5000));
        QCoreApplication::processEvents();
    }
};

TEST_F(TmainUpdate, OnlyAVersionTextOtherThanOursByteForByteOffersTheUpdate)
{
    struct Case {
        QByteArray served;
        bool offered;
    };
    for (const Case &c : {Case{"1.0.2", false}, Case{"1.0.3", true}, Case{"1.0.2\n", true}, Case{"1.0.2 ", true}}) {
        version = c.served;
        srv.requests.clear();
        Tmain w(services);
        Tabout about(&w, fakes.links);
        showAndWaitForCheck(w, about);
        EXPECT_EQ(!part<TFlatPanel>(w, "panel_update")->isHidden(), c.offered) << c.served.constData();
        EXPECT_TRUE(srv.requests[0].startsWith("GET /ballwick/ballwickversion.txt "));
    }
}

TEST_F(TmainUpdate, UntickedCheckMakesNoRequest)
{
    QFile ini(dir.filePath("ballwick.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ballwick]\nUpdate=false\n");
    ini.close();
    Tmain w(services);
    EXPECT_FALSE(part<QAction>(w, "updatecheck")->isChecked());
    w.show();
    QTest::qWait(1000);
    EXPECT_TRUE(srv.requests.isEmpty());
    EXPECT_TRUE(part<TFlatPanel>(w, "panel_update")->isHidden());
}

TEST_F(TmainUpdate, OkDownloadsStartsTheInstallerAndEnds)
{
    if (!BALLWICK_SELF_UPDATE)
        GTEST_SKIP() << "a packaged build never runs the self-update";
    Tmain w(services);
    Tabout about(&w, fakes.links);
    showAndWaitForCheck(w, about);
    ASSERT_FALSE(part<TFlatPanel>(w, "panel_update")->isHidden());
    EXPECT_EQ(part<QLabel>(w, "Label15")->text(), "Update Available");
    EXPECT_EQ(part<QLabel>(w, "Label17")->text(), "Would you like to update now?");
    EXPECT_TRUE(part<QLabel>(w, "label_update")->text().isEmpty());
    EXPECT_EQ(part<TImageButton>(w, "button_updateyes")->geometry(), QRect(27, 90, 126, 40));
    EXPECT_EQ(part<TImageButton>(w, "button_updatecancel")->geometry(), QRect(171, 90, 126, 40));

    emit part<TImageButton>(w, "button_updateyes")->clicked();
    EXPECT_TRUE(part<TImageButton>(w, "button_updateyes")->isHidden());
    EXPECT_TRUE(part<TImageButton>(w, "button_updatecancel")->isHidden());
    const QString installed = dir.filePath("moxsetup.exe");
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts[0], QStringList({installed, "/SP-", "/silent", "/noicons"}));
    EXPECT_EQ(exits, QList<int>{0});
    EXPECT_EQ(readAll(installed), installer);
    EXPECT_EQ(readAll(program + ".BAK"), "old program");
    EXPECT_EQ(part<QLabel>(w, "label_update")->text(), "Installing");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TmainUpdate, FailuresLeaveTheGameInPlace)
{
    if (!BALLWICK_SELF_UPDATE)
        GTEST_SKIP() << "a packaged build never runs the self-update";
    // The installer is missing on the server.
    {
        installerStatus = 404;
        Tmain w(services);
        Tabout about(&w, fakes.links);
        showAndWaitForCheck(w, about);
        emit part<TImageButton>(w, "button_updateyes")->clicked();
        EXPECT_EQ(part<QLabel>(w, "label_update")->text(), "Download Aborted");
        EXPECT_TRUE(part<TImageButton>(w, "button_updateyes")->isHidden());
        EXPECT_TRUE(starts.isEmpty());
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_EQ(readAll(program), "old program");
    }
    // The installer cannot be started.
    {
        installerStatus = 200;
        startWorks = false;
        srv.requests.clear();
        Tmain w(services);
        Tabout about(&w, fakes.links);
        showAndWaitForCheck(w, about);
        emit part<TImageButton>(w, "button_updateyes")->clicked();
        EXPECT_EQ(part<QLabel>(w, "label_update")->text(), "Installing");
        EXPECT_TRUE(exits.isEmpty());
        // The maker's site named there is the server the update came from.
        QString site = srv.url("/");
        site.chop(1);
        EXPECT_EQ(errors, QStringList{"There was an error in the update process. Please download BALLWICK manually from "
                                      + site + "."});
        EXPECT_EQ(readAll(program), "old program");
        EXPECT_FALSE(QFile::exists(program + ".BAK"));
    }
}

// The program keeps its own name while the installer downloads; a server that falls
// silent midway ends the update with "Download Aborted" and nothing else changed.
TEST_F(TmainUpdate, ASilentServerAbortsTheDownloadAndTheGameStays)
{
    if (!BALLWICK_SELF_UPDATE)
        GTEST_SKIP() << "a packaged build never runs the self-update";
    installerStatus = 0;
    Tmain w(services);
    Tabout about(&w, fakes.links);
    showAndWaitForCheck(w, about);
    emit part<TImageButton>(w, "button_updateyes")->clicked();
    EXPECT_TRUE(programThereWhileDownloading);
    EXPECT_EQ(part<QLabel>(w, "label_update")->text(), "Download Aborted");
    EXPECT_TRUE(part<TImageButton>(w, "button_updateyes")->isHidden());
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_TRUE(exits.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(readAll(program), "old program");
    EXPECT_FALSE(QFile::exists(program + ".BAK"));
    EXPECT_FALSE(QFile::exists(dir.filePath("moxsetup.exe")));
    const QStringList left = QDir(dir.path()).entryList({"moxsetup*"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(TmainUpdate, CancelHidesTheOffer)
{
    Tmain w(services);
    Tabout about(&w, fakes.links);
    showAndWaitForCheck(w, about);
    ASSERT_FALSE(part<TFlatPanel>(w, "panel_update")->isHidden());
    emit part<TImageButton>(w, "button_updatecancel")->clicked();
    EXPECT_TRUE(part<TFlatPanel>(w, "panel_update")->isHidden());
    EXPECT_EQ(srv.requests.size(), 1); // nothing downloaded
}

} // namespace
