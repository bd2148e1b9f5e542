// A packaged build (BALLWICK_SELF_UPDATE=OFF): the update check still tells the
// player about a newer version, but the game never moves or replaces itself.
// In a build with the self-update these tests are skipped (test_tmain_update
// covers that build).
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
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <ballwick_config.h>
#include <gtest/gtest.h>

using ballwick::test::part;

namespace {

class PackagedUpdate : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString program = dir.filePath("ballwick");
    ScriptServer srv{[](QTcpSocket *s, const QByteArray &req, int) {
        if (req.startsWith("GET /ballwick/ballwickversion.txt "))
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\n\r\n1.0.3");
        else
            ScriptServer::replyAndClose(s, "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nnew!");
    }};
    ballwick::test::TestServices fakes;
    QList<QStringList> &starts = fakes.program.starts;
    QList<int> &exits = fakes.program.exits;
    ballwick::MainServices services;

    void SetUp() override
    {
        if (BALLWICK_SELF_UPDATE)
            GTEST_SKIP() << "built with the self-update";
        services = fakes.in(dir.path());
        services.server = ballwick::ServerAddresses(srv.url("/"));
        fakes.program.file = program;
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old program");
        f.close();
    }
};

TEST_F(PackagedUpdate, TheOfferPointsAtThePackageManagerAndNothingIsReplaced)
{
    Tmain w(services);
    Tabout about(&w, fakes.links);
    w.setwindows(nullptr, &about, nullptr, nullptr, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !srv.requests.isEmpty(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !part<THTTPGet>(w, "checkupdate")->running(); }, 5000));
    QCoreApplication::processEvents();

    ASSERT_FALSE(part<TFlatPanel>(w, "panel_update")->isHidden());
    EXPECT_EQ(part<QLabel>(w, "Label15")->text(), "Update Available");
    EXPECT_EQ(part<QLabel>(w, "Label17")->text(), "Please update through your package manager.");
    EXPECT_TRUE(part<TImageButton>(w, "button_updateyes")->isHidden());
    EXPECT_FALSE(part<TImageButton>(w, "button_updatecancel")->isHidden());

    // Even a click that reaches the hidden OK button changes nothing.
    emit part<TImageButton>(w, "button_updateyes")->clicked();
    QTest::qWait(200);
    EXPECT_EQ(srv.requests.size(), 1);
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_TRUE(exits.isEmpty());
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old program");
    EXPECT_FALSE(QFile::exists(program + ".BAK"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"ballwick", "ballwick.ini"}));

    emit part<TImageButton>(w, "button_updatecancel")->clicked();
    EXPECT_TRUE(part<TFlatPanel>(w, "panel_update")->isHidden());
}

} // namespace
