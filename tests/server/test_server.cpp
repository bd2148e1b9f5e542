// ballwick-server as the game sees it: started on a free port with a fresh database.
#include <ballwick_config.h>
#include <gtest/gtest.h>

#include "loopclient.h"
#include "serverprocess.h"

#include <httplib.h>
#include <sqlite3.h>

#include <atomic>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>

// Readable failure messages for list comparisons.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

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

    // Runs SQL on the database file beside the server (WAL: the server may be running).
    void sql(const std::string &statement)
    {
        sqlite3 *h = nullptr;
        ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &h), SQLITE_OK);
        sqlite3_busy_timeout(h, 5000);
        char *msg = nullptr;
        EXPECT_EQ(sqlite3_exec(h, statement.c_str(), nullptr, nullptr, &msg), SQLITE_OK) << (msg ? msg : "");
        sqlite3_free(msg);
        sqlite3_close(h);
    }

    // A stored post made `secondsAgo` ago by the server's clock.
    void storedPost(const std::string &name, int score, qint64 secondsAgo, const std::string &address = "10.1.1.1")
    {
        const std::string at =
            QDateTime::currentDateTimeUtc().addSecs(-secondsAgo).toString(Qt::ISODate).toStdString();
        sql("INSERT INTO scores(name, date, score, posted_at, address) VALUES('" + name + "', '1/1/27', "
            + std::to_string(score) + ", '" + at + "', '" + address + "')");
    }

    // The list page's boards, each heading followed by its rows as
    // "rank|name|score|date", a marked row ending in " *".
    std::map<QString, QStringList> boards(const std::string &page)
    {
        static const QRegularExpression heading(QStringLiteral("<h3 align=\"center\"><font color=\"#421D45\">(.*?)</font></h3>"));
        static const QRegularExpression row(QStringLiteral(
            "<tr bgcolor=\"(#[0-9A-F]+)\"><td align=\"right\">(\\d+)</td><td>(.*?)</td><td align=\"right\"><b>(\\d+)</b>"
            "</td><td align=\"center\">(.*?)</td></tr>"));
        std::map<QString, QStringList> out;
        const QString html = QString::fromStdString(page);
        auto h = heading.globalMatch(html);
        QList<QRegularExpressionMatch> heads;
        while (h.hasNext())
            heads << h.next();
        for (int i = 0; i < heads.size(); ++i) {
            const qsizetype from = heads[i].capturedEnd();
            const qsizetype to = i + 1 < heads.size() ? heads[i + 1].capturedStart() : html.size();
            QStringList &rows = out[heads[i].captured(1)];
            auto it = row.globalMatch(html.mid(from, to - from));
            while (it.hasNext()) {
                const auto m = it.next();
                rows << m.captured(2) + "|" + m.captured(3) + "|" + m.captured(4) + "|" + m.captured(5)
                        + (m.captured(1) == "#FFD966" ? " *" : "");
            }
        }
        return out;
    }

    std::string listPage()
    {
        auto res = get("/counter/ballwick.shtml");
        return res && res->status == 200 ? res->body : std::string("no list");
    }

    // The all-time board.
    QStringList listRows() { return boards(listPage())["All Time"]; }

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
    EXPECT_EQ(listRows(), QStringList({"1|Ed|1250|12/6/26 *", "2|Bob|300|12/6/26", "3|Ann|120|12/6/26",
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
                                       "2|Tom &amp; &#39;Jo&#39;|9|12/6/26 *"}));
}

TEST_F(ServerTest, EachBoardShowsItsBestTwentyFive)
{
    launch({"--posts-per-minute", "0"});
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(post("P" + std::to_string(i), "1/1/27", std::to_string(i))->status, 200);
    const auto all = boards(listPage());
    ASSERT_EQ(all.size(), 3u);
    for (const auto &[name, list] : all) {
        ASSERT_EQ(list.size(), 25) << name.toStdString();
        EXPECT_EQ(list.first(), "1|P29|29|1/1/27 *") << name.toStdString(); // the newest post is also the best
        EXPECT_EQ(list.last(), "25|P5|5|1/1/27") << name.toStdString();
    }
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
    EXPECT_EQ(listRows(), QStringList({"1|Keeper|77|12/6/26 *"}));
}

TEST_F(ServerTest, TheQueryIsSplitAndDecodedAsAUrlParserDoes)
{
    launch();
    // Only "&" separates pairs and only the first "=" of a pair ends its key.
    ASSERT_EQ(get("/cgi-bin/ballwick.cgi?name=a;score=1250&date=1/2/26&score=5")->status, 200);
    ASSERT_EQ(get("/cgi-bin/ballwick.cgi?name=b=c%3D%26d&date=1/2/26&score=6")->status, 200);
    ASSERT_EQ(get("/cgi-bin/ballwick.cgi?name=Zo%C3%AB%20K&date=1%2F2%2F26&score=7")->status, 200);
    // A decoded NUL is a character of the value, so it is refused, not cut off.
    EXPECT_EQ(get("/cgi-bin/ballwick.cgi?name=x%00y&date=1/2/26&score=8")->status, 400);
    EXPECT_EQ(listRows(), QStringList({"1|Zoë K|7|1/2/26 *", "2|b=c=&amp;d|6|1/2/26", "3|a;score=1250|5|1/2/26"}));
}

TEST_F(ServerTest, AnAddressPostingTooOftenGets429WhileOthersStillPost)
{
    launch();
    const std::string target = "/cgi-bin/ballwick.cgi?name=Spam&date=1/1/27&score=1";
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(loopclient::get("127.0.0.7", server.port(), target).status, 200) << i;
    const auto refused = loopclient::get("127.0.0.7", server.port(), target);
    EXPECT_EQ(refused.status, 429);
    EXPECT_FALSE(refused.body.empty()); // the game takes any reply as an answer and shows the list
    // Bad posts are not counted, and other addresses are not held back.
    EXPECT_EQ(loopclient::get("127.0.0.7", server.port(), "/cgi-bin/ballwick.cgi?score=x").status, 400);
    EXPECT_EQ(loopclient::get("127.0.0.8", server.port(), target).status, 200);
    EXPECT_EQ(rows(), 11);
}

TEST_F(ServerTest, IdleAndSlowClientsHoldNoOneElseUp)
{
    launch();
    // 300 silent connections and 32 that send a header line now and then, spread
    // over addresses so that each stays under the cap per address.
    std::vector<int> idle, slow;
    for (int i = 0; i < 300; ++i)
        idle.push_back(loopclient::connectFrom("127.0.3." + std::to_string(1 + i / 10), server.port()));
    for (int i = 0; i < 32; ++i) {
        slow.push_back(loopclient::connectFrom("127.0.4." + std::to_string(1 + i / 8), server.port()));
        loopclient::sendAll(slow.back(), "GET /counter/ballwick.shtml HTTP/1.1\r\nX-Slow: 1\r\n");
    }
    for (int round = 0; round < 2; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const auto reply = loopclient::get("127.0.0.1", server.port(), "/counter/ballwick.shtml", 3000);
        EXPECT_EQ(reply.status, 200) << "round " << round;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "round " << round;
        for (int fd : slow)
            loopclient::sendAll(fd, "X-Slow: 2\r\n");
    }
    // The silent ones are cut off after a few seconds without a byte.
    bool closed = false;
    loopclient::readFor(idle.front(), 9000, &closed);
    EXPECT_TRUE(closed);
    for (int fd : idle)
        ::close(fd);
    for (int fd : slow)
        ::close(fd);
}

TEST_F(ServerTest, OneAddressCannotOpenMoreThanItsShareOfConnections)
{
    launch();
    std::vector<int> held;
    for (int i = 0; i < 16; ++i)
        held.push_back(loopclient::connectFrom("127.0.0.50", server.port()));
    const int extra = loopclient::connectFrom("127.0.0.50", server.port());
    bool closed = false;
    loopclient::readFor(extra, 2000, &closed);
    EXPECT_TRUE(closed);
    ::close(extra);
    EXPECT_EQ(loopclient::get("127.0.0.1", server.port(), "/").status, 200);
    for (int fd : held)
        ::close(fd);
}

TEST_F(ServerTest, BoardsRankTodayTheLastSevenDaysAndAllTimeByTheServersClock)
{
    // A table as an earlier server wrote it: no address column.
    sql("CREATE TABLE scores (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, date TEXT NOT NULL,"
        " score INTEGER NOT NULL,"
        " posted_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ','now')));");
    const auto old = [&](const std::string &name, int score, qint64 daysAgo) {
        const std::string at =
            QDateTime::currentDateTimeUtc().addSecs(-daysAgo * 86400 - 60).toString(Qt::ISODate).toStdString();
        sql("INSERT INTO scores(name, date, score, posted_at) VALUES('" + name + "', 'then', " + std::to_string(score)
            + ", '" + at + "')");
    };
    old("Month", 900, 30);
    old("Week", 500, 3);
    old("Yesterday", 300, 1);
    launch();
    EXPECT_EQ(rows(), 3);
    // The date shown is the game's text; the board is chosen by the server's time.
    ASSERT_EQ(post("Now", "1/1/1999", "400")->status, 200);
    ASSERT_EQ(post("Later", "1/1/1999", "100")->status, 200);
    auto b = boards(listPage());
    EXPECT_EQ(b["Today"], QStringList({"1|Now|400|1/1/1999", "2|Later|100|1/1/1999 *"}));
    EXPECT_EQ(b["The Last 7 Days"],
              QStringList({"1|Week|500|then", "2|Now|400|1/1/1999", "3|Yesterday|300|then", "4|Later|100|1/1/1999 *"}));
    EXPECT_EQ(b["All Time"], QStringList({"1|Month|900|then", "2|Week|500|then", "3|Now|400|1/1/1999",
                                          "4|Yesterday|300|then", "5|Later|100|1/1/1999 *"}));
    EXPECT_NE(listPage().find("Your score of 100 is number 2 today, number 4 in the last 7 days and number 5 of all time."),
              std::string::npos);
}

TEST_F(ServerTest, OnlyTheRequestersNewestPostOfTheLastTenMinutesIsMarked)
{
    launch({"--posts-per-minute", "0"});
    storedPost("Old", 50, 11 * 60, "127.0.0.1"); // too long ago to be marked
    EXPECT_EQ(listRows(), QStringList({"1|Old|50|1/1/27"}));
    EXPECT_EQ(listPage().find("Your score"), std::string::npos);

    ASSERT_EQ(loopclient::get("127.0.0.1", server.port(), "/cgi-bin/ballwick.cgi?name=Mine&date=1/1/27&score=20").status,
              200);
    ASSERT_EQ(loopclient::get("127.0.0.1", server.port(), "/cgi-bin/ballwick.cgi?name=Mine&date=1/1/27&score=30").status,
              200);
    ASSERT_EQ(loopclient::get("127.0.0.2", server.port(), "/cgi-bin/ballwick.cgi?name=Other&date=1/1/27&score=40").status,
              200);
    // The list request is the game's, byte for byte: nothing in it names the player.
    const auto mine = loopclient::get("127.0.0.1", server.port(), "/counter/ballwick.shtml");
    EXPECT_EQ(boards(mine.body)["All Time"],
              QStringList({"1|Old|50|1/1/27", "2|Other|40|1/1/27", "3|Mine|30|1/1/27 *", "4|Mine|20|1/1/27"}));
    const auto other = loopclient::get("127.0.0.2", server.port(), "/counter/ballwick.shtml");
    EXPECT_EQ(boards(other.body)["All Time"],
              QStringList({"1|Old|50|1/1/27", "2|Other|40|1/1/27 *", "3|Mine|30|1/1/27", "4|Mine|20|1/1/27"}));
    const auto stranger = loopclient::get("127.0.0.3", server.port(), "/counter/ballwick.shtml");
    EXPECT_EQ(stranger.body.find("#FFD966"), std::string::npos);
}

TEST_F(ServerTest, CaptionsCountInSingularAndPlural)
{
    launch();
    std::string page = listPage();
    EXPECT_NE(page.find("No scores posted today yet."), std::string::npos);
    EXPECT_NE(page.find("No scores posted in the last 7 days yet."), std::string::npos);
    EXPECT_NE(page.find("No scores have been posted yet."), std::string::npos);
    storedPost("Past", 10, 2 * 86400);
    ASSERT_EQ(post("One", "1/1/27", "5")->status, 200);
    page = listPage();
    EXPECT_NE(page.find("The best score posted today."), std::string::npos);
    EXPECT_NE(page.find("The best 2 scores posted in the last 7 days."), std::string::npos);
    EXPECT_NE(page.find("The best 2 scores posted so far."), std::string::npos);
    EXPECT_EQ(page.find("The best 1 score"), std::string::npos);
}

TEST_F(ServerTest, PagesAreSmallSelfContainedAndFlat)
{
    launch();
    // Full boards of the longest names that escaping makes longest.
    for (int i = 0; i < 30; ++i)
        storedPost(std::string(64, '&'), i, 0);
    const auto page = get("/counter/ballwick.shtml");
    const auto home = get("/");
    const auto multi = get("/multiplayer/");
    ASSERT_TRUE(page && home && multi);
    EXPECT_LT(page->body.size(), 48u * 1024);
    for (const auto *res : {&page, &home, &multi}) {
        const std::string &body = (*res)->body;
        EXPECT_EQ((*res)->status, 200);
        EXPECT_EQ((*res)->get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_NE(body.find("sans-serif"), std::string::npos);
        for (const char *outside : {"src=", "<link", "<img", "<script", "url("})
            EXPECT_EQ(body.find(outside), std::string::npos) << outside;
        // No table inside another.
        int depth = 0, deepest = 0;
        for (std::size_t at = 0; (at = body.find("table", at)) != std::string::npos; at += 5) {
            if (at > 0 && body[at - 1] == '<')
                deepest = std::max(deepest, ++depth);
            else if (at > 1 && body.compare(at - 2, 2, "</") == 0)
                --depth;
        }
        EXPECT_LE(deepest, 1);
    }
    // The maker's home page names the game and leads to the list and the multiplayer page.
    EXPECT_NE(home->body.find("Ballwick"), std::string::npos);
    EXPECT_NE(home->body.find("href=\"/counter/ballwick.shtml\""), std::string::npos);
    EXPECT_NE(home->body.find("href=\"/multiplayer/\""), std::string::npos);
    EXPECT_NE(multi->body.find("Dabfest"), std::string::npos);
    EXPECT_NE(multi->body.find("href=\"/\""), std::string::npos);
    EXPECT_EQ(get("/multiplayer")->status, 200);
    // The list is shown inside the game: no link leads out of it.
    EXPECT_EQ(page->body.find("<a "), std::string::npos);
}

TEST_F(ServerTest, PostsArrivingTogetherAreEachStoredOnce)
{
    launch();
    constexpr int players = 20, each = 10;
    std::atomic<int> ok{0};
    std::vector<std::thread> threads;
    for (int p = 0; p < players; ++p)
        threads.emplace_back([&, p] {
            for (int i = 0; i < each; ++i) {
                const std::string name = "p" + std::to_string(p) + "n" + std::to_string(i);
                if (loopclient::get("127.0.5." + std::to_string(p + 1), server.port(),
                                    "/cgi-bin/ballwick.cgi?name=" + name + "&date=1/1/27&score=" + std::to_string(i))
                        .status
                    == 200)
                    ++ok;
            }
        });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(ok.load(), players * each);
    EXPECT_EQ(rows(), players * each);
    sqlite3 *h = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(h, "SELECT COUNT(DISTINCT name) FROM scores", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), players * each);
    sqlite3_finalize(st);
    sqlite3_close(h);
}

TEST_F(ServerTest, ATableOfTheOldestKindKeepsItsRowsForAllTime)
{
    sql("CREATE TABLE scores (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, date TEXT NOT NULL,"
        " score INTEGER NOT NULL);"
        "INSERT INTO scores(name, date, score) VALUES('First', '1/1/20', 70), ('Second', '2/1/20', 60);");
    launch();
    ASSERT_EQ(post("New", "1/1/27", "65")->status, 200);
    auto b = boards(listPage());
    EXPECT_EQ(b["Today"], QStringList({"1|New|65|1/1/27 *"}));
    EXPECT_EQ(b["All Time"], QStringList({"1|First|70|1/1/20", "2|New|65|1/1/27 *", "3|Second|60|2/1/20"}));
    EXPECT_EQ(rows(), 3);
}

TEST_F(ServerTest, OnlyPlainGetsAreRead)
{
    launch();
    const auto send = [&](const std::string &request) {
        const int fd = loopclient::connectFrom("127.0.0.1", server.port());
        loopclient::sendAll(fd, request);
        const std::string reply = loopclient::readFor(fd, 3000);
        ::close(fd);
        return reply.substr(0, 12);
    };
    EXPECT_EQ(send("DELETE / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"), "HTTP/1.1 405");
    // A body is refused before it is read: the server does not wait for it.
    EXPECT_EQ(send("GET /cgi-bin/ballwick.cgi?name=B&date=1&score=1 HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n"),
              "HTTP/1.1 413");
    EXPECT_EQ(send("HEAD / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"), "HTTP/1.1 200");
    EXPECT_EQ(rows(), 0);
}

TEST(ServerOptions, BadOptionsAreRefused)
{
    for (const QStringList &args : {QStringList{"--port", "70000"}, QStringList{"--port"}, QStringList{"--nonsense", "1"}, QStringList{"--posts-per-minute", "-1"},
                                    QStringList{"--db", "/nonexistent-dir/x/scores.db", "--port", "0"}}) {
        QProcess p;
        p.start(QStringLiteral(BALLWICK_SERVER_EXE), args);
        ASSERT_TRUE(p.waitForFinished(5000)) << args.join(' ').toStdString();
        EXPECT_NE(p.exitCode(), 0) << args.join(' ').toStdString();
    }
}

} // namespace

TEST(ServerCommandLine, HelpAndVersionPrintAndSucceed)
{
    for (const char *arg : {"--help", "--version"}) {
        QProcess p;
        p.start(QStringLiteral(BALLWICK_SERVER_EXE), {QString::fromLatin1(arg)});
        ASSERT_TRUE(p.waitForFinished(10000)) << arg;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << arg;
        const QByteArray out = p.readAllStandardOutput();
        if (QByteArray(arg) == "--version")
            EXPECT_EQ(out, "ballwick-server " BALLWICK_VERSION_FULL "\n");
        else
            EXPECT_TRUE(out.startsWith("usage: ballwick-server")) << out.constData();
    }
}
