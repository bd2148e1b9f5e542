// ballwick-server as the game sees it: started on a free port with a fresh database.
#include <gtest/gtest.h>

#include "serverprocess.h"

#include <httplib.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = dir.filePath("scores.db");
    }

    void launch(const QStringList &extra = {})
    {
        ASSERT_TRUE(server.start(db, extra)) << server.output().toStdString();
        client = std::make_unique<httplib::Client>("127.0.0.1", server.port());
    }

    httplib::Result get(const std::string &target) { return client->Get(target.c_str()); }

    httplib::Result post(const std::string &name, const std::string &date, const std::string &score)
    {
        httplib::Params p{{"name", name}, {"date", date}, {"score", score}};
        return client->Get("/cgi-bin/ballwick.cgi", p, httplib::Headers{});
    }

    long long rows()
    {
        sqlite3 *h = nullptr;
        long long n = -1;
        if (sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt *st = nullptr;
            if (sqlite3_prepare_v2(h, "SELECT COUNT(*) FROM scores", -1, &st, nullptr) == SQLITE_OK
                && sqlite3_step(st) == SQLITE_ROW)
                n = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
        }
        sqlite3_close(h);
        return n;
    }

    // The list page's rows as "rank|name|score|date".
    QStringList listRows()
    {
        auto res = get("/counter/ballwick.shtml");
        if (!res || res->status != 200)
            return {QStringLiteral("no list")};
        static const QRegularExpression row(QStringLiteral(
            "<tr bgcolor=\"#[0-9A-F]+\"><td align=\"right\">(\\d+)</td><td>(.*?)</td><td align=\"right\"><b>(\\d+)</b>"
            "</td><td align=\"center\">(.*?)</td></tr>"));
        QStringList out;
        auto it = row.globalMatch(QString::fromStdString(res->body));
        while (it.hasNext()) {
            const auto m = it.next();
            out << m.captured(1) + "|" + m.captured(2) + "|" + m.captured(3) + "|" + m.captured(4);
        }
        return out;
    }

    QTemporaryDir dir;
    QString db;
    ServerProcess server;
    std::unique_ptr<httplib::Client> client;
};

TEST_F(ServerTest, PostsAreStoredAndListedBestFirstEqualScoresInTheOrderTheyCame)
{
    launch();
    auto empty = get("/counter/ballwick.shtml");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 200);
    EXPECT_NE(empty->body.find("No scores have been posted yet"), std::string::npos);

    for (auto [name, score] : {std::pair{"Ann", "120"}, {"Bob", "300"}, {"Cy", "120"}, {"Di", "0"}, {"Ed", "1250"}}) {
        auto res = post(name, "12/6/26", score);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_FALSE(res->body.empty());
    }
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(listRows(), QStringList({"1|Ed|1250|12/6/26", "2|Bob|300|12/6/26", "3|Ann|120|12/6/26",
                                       "4|Cy|120|12/6/26", "5|Di|0|12/6/26"}));
}

TEST_F(ServerTest, BadPostsGet400WithAReasonAndStoreNothing)
{
    launch();
    const std::string ok64(64, 'n');
    const char *bad[] = {
        "/cgi-bin/ballwick.cgi",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26",
        "/cgi-bin/ballwick.cgi?date=12/6/26&score=5",
        "/cgi-bin/ballwick.cgi?name=&date=12/6/26&score=5",
        "/cgi-bin/ballwick.cgi?name=Ann&date=&score=5",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=-1",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=1251",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=12a",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=1.5",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=%2B5",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6/26&score=99999999999999999999",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12345678901234567&score=5",
        "/cgi-bin/ballwick.cgi?name=Ann&date=12/6%0A/26&score=5",
        "/cgi-bin/ballwick.cgi?name=A%0Ann&date=12/6/26&score=5",
        "/cgi-bin/ballwick.cgi?name=%FF%FE&date=12/6/26&score=5",
    };
    for (const char *target : bad) {
        auto res = get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 400) << target;
        EXPECT_NE(res->body.find("Score not posted: "), std::string::npos) << target;
    }
    auto tooLong = post(ok64 + "x", "12/6/26", "5");
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->status, 400);
    EXPECT_EQ(rows(), 0);

    // The limits themselves are accepted.
    EXPECT_EQ(post(ok64, "1234567890123456", "1250")->status, 200);
    EXPECT_EQ(post(std::string(16, '\xC3').replace(1, 1, "\xA9"), "1.2.26", "0")->status, 400); // broken UTF-8
    EXPECT_EQ(post("Zoë", "6-12-26", "0")->status, 200);
    EXPECT_EQ(rows(), 2);
}

TEST_F(ServerTest, StoredTextsAreEscapedSoANameCannotCarryMarkup)
{
    launch();
    ASSERT_EQ(post("<a href=\"http://x/\">me</a>", "<b>", "10")->status, 200);
    ASSERT_EQ(post("Tom & 'Jo'", "12/6/26", "9")->status, 200);
    auto res = get("/counter/ballwick.shtml");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(res->body.find("<a "), std::string::npos);
    EXPECT_EQ(res->body.find("<b>&lt;"), std::string::npos);
    EXPECT_EQ(listRows(), QStringList({"1|&lt;a href=&quot;http://x/&quot;&gt;me&lt;/a&gt;|10|&lt;b&gt;",
                                       "2|Tom &amp; &#39;Jo&#39;|9|12/6/26"}));
}

TEST_F(ServerTest, TheListShowsTheBestHundred)
{
    launch();
    for (int i = 0; i < 105; ++i)
        ASSERT_EQ(post("P" + std::to_string(i), "1/1/27", std::to_string(i))->status, 200);
    const QStringList list = listRows();
    ASSERT_EQ(list.size(), 100);
    EXPECT_EQ(list.first(), "1|P104|104|1/1/27");
    EXPECT_EQ(list.last(), "100|P5|5|1/1/27");
}

TEST_F(ServerTest, VersionFileAndInstallerComeFromTheNamedFiles)
{
    launch();
    // With nothing to offer, the reply has no body: the game would take any text
    // as a newer version and offer an update that cannot be downloaded.
    auto none = get("/ballwick/ballwickversion.txt");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 404);
    EXPECT_TRUE(none->body.empty());
    EXPECT_EQ(get("/ballwick/moxsetup.exe")->status, 404);
    EXPECT_EQ(get("/somewhere/else")->status, 404);
    server.stop();

    QFile version(dir.filePath("v.txt"));
    ASSERT_TRUE(version.open(QIODevice::WriteOnly));
    version.write("1.0.3");
    version.close();
    QFile installer(dir.filePath("setup.bin"));
    ASSERT_TRUE(installer.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i * 7));
    installer.write(bytes);
    installer.close();
    launch({"--version-file", version.fileName(), "--installer", installer.fileName()});
    auto v = get("/ballwick/ballwickversion.txt");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->status, 200);
    EXPECT_EQ(v->body, "1.0.3"); // exactly the file: no line end added
    auto inst = get("/ballwick/moxsetup.exe");
    ASSERT_TRUE(inst);
    EXPECT_EQ(inst->status, 200);
    EXPECT_EQ(QByteArray::fromStdString(inst->body), bytes);

    ASSERT_TRUE(QFile::remove(installer.fileName()));
    EXPECT_EQ(get("/ballwick/moxsetup.exe")->status, 404);
}

TEST_F(ServerTest, ScoresSurviveARestartAndEachRequestIsLoggedOnce)
{
    launch();
    ASSERT_EQ(post("Keeper", "12/6/26", "77")->status, 200);
    ASSERT_EQ(get("/counter/ballwick.shtml")->status, 200);
    ASSERT_EQ(get("/cgi-bin/ballwick.cgi?score=x")->status, 400);
    EXPECT_EQ(server.stop(), 0);
    const QStringList lines = server.output().split('\n', Qt::SkipEmptyParts);
    const QStringList requests = lines.filter(QRegularExpression(" (GET|POST|HEAD) /"));
    ASSERT_EQ(requests.size(), 3) << server.output().toStdString();
    // Lines may come in any order (each connection has its own worker).
    EXPECT_EQ(requests.filter(QRegularExpression("GET /cgi-bin/ballwick.cgi\\?.*name=Keeper.* 200 \\d+$")).size(), 1);
    EXPECT_EQ(requests.filter(QRegularExpression("GET /counter/ballwick.shtml 200 \\d+$")).size(), 1);
    EXPECT_EQ(requests.filter(QRegularExpression("GET /cgi-bin/ballwick.cgi\\?score=x 400 \\d+$")).size(), 1);

    launch();
    EXPECT_EQ(listRows(), QStringList({"1|Keeper|77|12/6/26"}));
}

TEST(ServerOptions, BadOptionsAreRefused)
{
    for (const QStringList &args : {QStringList{"--port", "70000"}, QStringList{"--port"}, QStringList{"--nonsense", "1"},
                                    QStringList{"--db", "/nonexistent-dir/x/scores.db", "--port", "0"}}) {
        QProcess p;
        p.start(QStringLiteral(BALLWICK_SERVER_EXE), args);
        ASSERT_TRUE(p.waitForFinished(5000)) << args.join(' ').toStdString();
        EXPECT_NE(p.exitCode(), 0) << args.join(' ').toStdString();
    }
}

} // namespace
