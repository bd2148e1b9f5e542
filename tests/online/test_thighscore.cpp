// The high-score window against a local list server, with a recording link opener.
#include <gtest/gtest.h>

#include "localservers.h"
#include "online/pagecheck.h"
#include "online/postqueue.h"
#include "online/serverbase.h"
#include "online/thighscore.h"
#include "online/thttpget.h"
#include "online/turl.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

using namespace testing_online;

namespace {

// Records the addresses handed to the desktop as texts.
class TextLinks : public ballwick::LinkOpener
{
public:
    bool open(const QUrl &url) override
    {
        opened << url.toString();
        return true;
    }
    QStringList opened;
};

class HighscoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        serve(http.server);
        http.start();
        ASSERT_TRUE(dataDir.isValid());
        main.setObjectName("tmain");
        hs = window(http.base());
        view = hs->findChild<QTextBrowser *>("displayhtml");
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override { hs.reset(); }

    // The list, the pictures and the score posts, on any server.
    void serve(httplib::Server &server)
    {
        server.Get("/pic.png", [this](const httplib::Request &, httplib::Response &res) {
            ++pictureRequests;
            res.set_content("not really a picture", "image/png");
        });
        server.Get("/counter/ballwick.shtml", [this](const httplib::Request &, httplib::Response &res) {
            ++listRequests;
            res.set_content(page, "text/html");
        });
        server.Get("/cgi-bin/ballwick.cgi", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard lock(m);
            postTarget = req.target;
            postName = req.get_param_value("name");
            postDate = req.get_param_value("date");
            postScore = req.get_param_value("score");
            received.push_back(req.get_param_value("name") + "|" + req.get_param_value("date") + "|"
                               + req.get_param_value("score"));
            keys.clear();
            for (const auto &p : req.params)
                keys.push_back(p.first);
            res.set_content("Score posted.\n", "text/plain");
        });
    }

    // A window on the server at base, its queue in dataDir.
    std::unique_ptr<Thighscore> window(const QString &base)
    {
        return std::make_unique<Thighscore>(&main, links, ballwick::ServerAddresses(base), dataDir.path() + "/");
    }
    QString queueFile() const { return dataDir.path() + "/ballwickposts.json"; }

    std::vector<std::string> receivedPosts()
    {
        std::lock_guard lock(m);
        return received;
    }
    // A server address where nothing answers.
    static QString deadBase()
    {
        RawServer probe([](int, const std::string &, RawServer &) {});
        return probe.url();
    }

    QTemporaryDir dataDir;
    HttpFixture http;
    std::atomic<int> listRequests{0};
    std::vector<std::string> received;
    std::atomic<int> pictureRequests{0};
    std::string page = "<html><body><p>Top</p><a href=\"http://www.example.com/more?x=1\">more</a></body></html>";
    std::mutex m;
    std::string postTarget, postName, postDate, postScore;
    std::vector<std::string> keys;
    TextLinks links;
    QStringList &opened = links.opened;
    QWidget main;
    std::unique_ptr<Thighscore> hs;
    QTextBrowser *view = nullptr;
};

TEST_F(HighscoreTest, LaidOutAsTheWindowOfTheList)
{
    EXPECT_EQ(hs->windowTitle(), "Ballwick - High Scores");
    EXPECT_EQ(hs->size(), QSize(603, 561));
    EXPECT_EQ(hs->palette().color(QPalette::Window), QColor(0xE8, 0xE3, 0xC5));
    struct Place {
        const char *name;
        QRect rect;
    };
    for (const Place &p : {Place{"Image1", {6, 9, 100, 100}}, Place{"panel_main", {112, 8, 481, 507}},
                           Place{"button_done", {467, 518, 126, 40}}, Place{"Image2", {5, 535, 230, 22}}}) {
        auto *w = hs->findChild<QWidget *>(p.name);
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
    }
    EXPECT_EQ(view->parentWidget()->objectName(), "panel_main");
    EXPECT_FALSE(view->openLinks());
    EXPECT_FALSE(view->openExternalLinks());
    EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(0xF3, 0xEC, 0xCF));
    EXPECT_EQ(view->palette().color(QPalette::Link), QColor(0x80, 0x00, 0x00));
    EXPECT_TRUE(view->textInteractionFlags() & Qt::TextSelectableByMouse);
    auto *url1 = hs->findChild<TURL *>("URL1");
    ASSERT_NE(url1, nullptr);
    EXPECT_EQ(url1->URLType(), utnone);
    EXPECT_NE(hs->findChild<THTTPGet *>("sendit"), nullptr);
    EXPECT_NE(hs->findChild<THTTPGet *>("getit"), nullptr);
}

TEST_F(HighscoreTest, TheListIsFetchedAfreshEachTimeAndShown)
{
    hs->loadit();
    ASSERT_TRUE(waitFor([&] { return view->toPlainText().contains("Top"); }));
    page = "<html><body><p>Second</p></body></html>";
    hs->loadit();
    ASSERT_TRUE(waitFor([&] { return view->toPlainText().contains("Second"); }));
    EXPECT_EQ(listRequests, 2);

    // A list fetch that fails leaves the view as it was.
    http.stop();
    hs->loadit();
    ASSERT_TRUE(waitFor([&] { return !hs->getit->running(); }));
    EXPECT_TRUE(view->toPlainText().contains("Second"));
}

TEST_F(HighscoreTest, PageLinksOpenInTheBrowserAndTheWindowStays)
{
    hs->show();
    hs->getitDoneString(nullptr, QByteArray::fromStdString(page));
    emit view->anchorClicked(QUrl("http://www.example.com/more?x=1"));
    EXPECT_EQ(opened, QStringList({"http://www.example.com/more?x=1"}));
    EXPECT_EQ(hs->URL1->URL(), "http://www.example.com/more?x=1");
    EXPECT_TRUE(hs->isVisible());

    // A link relative to the page comes from its server; an in-page jump and a
    // local file are never handed to the desktop.
    opened.clear();
    emit view->anchorClicked(QUrl("/rules.html"));
    emit view->anchorClicked(QUrl("#top"));
    emit view->anchorClicked(QUrl("file:///home/player/.bashrc"));
    EXPECT_EQ(opened, QStringList({http.base() + "rules.html"}));
}

TEST_F(HighscoreTest, BannerOpensTheMakersHomePageAndDoneHidesTheWindow)
{
    hs->show();
    hs->Image2Click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].startsWith("http")) << opened[0].toStdString();
    hs->button_doneClick();
    EXPECT_FALSE(hs->isVisible());
}

TEST_F(HighscoreTest, ANameWithUrlCharactersArrivesIntact)
{
    const QString name = QString::fromUtf8("A B&C=D#E?F%+é");
    hs->sendscore(name, "12/6/26", "347");
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    std::lock_guard lock(m);
    EXPECT_EQ(QString::fromStdString(postName), name);
    EXPECT_EQ(postDate, "12/6/26");
    EXPECT_EQ(postScore, "347");
    // The keys in their fixed order: name, date, score.
    EXPECT_EQ(postTarget.rfind("/cgi-bin/ballwick.cgi?name=", 0), 0u) << postTarget;
    const auto date = postTarget.find("&date="), score = postTarget.find("&score=");
    EXPECT_TRUE(date != std::string::npos && score != std::string::npos && date < score) << postTarget;
    EXPECT_EQ(keys.size(), 3u);
}

TEST_F(HighscoreTest, TheReplyToAPostShowsTheList)
{
    main.show();
    QSignalSpy answered(hs.get(), &Thighscore::scorePosted); // the main window ends its wait
    hs->sendscore("Ann", "12/6/26", "5");
    ASSERT_TRUE(waitFor([&] { return hs->isVisible() && view->toPlainText().contains("Top"); }));
    EXPECT_EQ(answered.count(), 1);
}

// The page comes from the network: the view takes pictures only from the program
// itself, never from a local file or a server, whatever the page names.
TEST_F(HighscoreTest, TheViewLoadsNothingFromFilesOrTheNetwork)
{
    QTemporaryDir dir;
    QImage real(40, 30, QImage::Format_RGB32);
    real.fill(Qt::red);
    const QString file = dir.filePath("real.png");
    ASSERT_TRUE(real.save(file));
    const QString pic = http.base() + "pic.png";
    for (const QString &name : {QUrl::fromLocalFile(file).toString(), file, QStringLiteral("/dev/zero"),
                                QStringLiteral("file:///dev/zero"), pic}) {
        SCOPED_TRACE(name.toStdString());
        const QVariant v = view->loadResource(QTextDocument::ImageResource, QUrl(name));
        ASSERT_FALSE(v.isNull()); // a null value would make the document read the file itself
        EXPECT_EQ(v.value<QImage>().size(), QSize(1, 1));
        EXPECT_EQ(view->loadResource(QTextDocument::StyleSheetResource, QUrl(name)).toByteArray().trimmed(), "");
    }
    const QImage logo = view->loadResource(QTextDocument::ImageResource, QUrl("qrc:/images/logo.png")).value<QImage>();
    EXPECT_GT(logo.width(), 1);

    // A whole page naming them all is shown without reading any of them.
    const QByteArray hostile = "<html><head><link rel=stylesheet href=\"/dev/zero\"></head>"
                               "<body background=\"/dev/zero\"><p>List</p><img src=\"/dev/zero\">"
                               "<img src=\"" + file.toUtf8() + "\"><img src=\"" + pic.toUtf8() + "\">"
                               "<img src=\"qrc:/images/logo.png\"></body></html>";
    hs->getitDoneString(nullptr, hostile);
    EXPECT_TRUE(view->toPlainText().contains("List"));
    view->document()->size();
    EXPECT_EQ(view->document()->resource(QTextDocument::ImageResource, QUrl(file)).value<QImage>().size(), QSize(1, 1));
    QTest::qWait(200);
    EXPECT_EQ(pictureRequests, 0);
}

TEST_F(HighscoreTest, PagesTooLargeOrTooDeepAreNotRendered)
{
    auto nested = [](const char *open, const char *close, int n) {
        return "<html><body>" + QByteArray(open).repeated(n) + "deep" + QByteArray(close).repeated(n) + "</body></html>";
    };
    const QByteArray tables30 = nested("<table><tr><td>", "</td></tr></table>", 30);
    EXPECT_LT(tables30.size(), 1024);
    const QByteArray refused[] = {
        tables30,
        nested("<div>", "</div>", 5000),
        nested("<b>", "", 20), // end tags left out count as open
        "<table>" + QByteArray("<tr><td>c</td></tr>").repeated(ballwick::MaxTableCells + 1) + "</table>",
        "<table><tr><td colspan=\"60000\">wide</td></tr></table>",
        // Spacing the table layout would take minutes over, however it is written.
        "<table cellpadding=\"111111111111111111111114\"><tr><td>a</td></tr></table>",
        "<table cellspacing=\"1e9\"><tr><td>a</td></tr></table>",
        "<table cellpadding=\"&#49;&#48;&#48;&#48;&#48;&#48;&#48;&#48;&#48;\"><tr><td>a</td></tr></table>",
        "<table><tr><td style=\"padding: 10000000em\">a</td></tr></table>",
        "<table style=\"margin: 1000000000px\"><tr><td>a</td></tr></table>",
    };
    for (const QByteArray &page : refused) {
        hs->getitDoneString(nullptr, page);
        EXPECT_EQ(view->toPlainText(), "The high-score list cannot be shown.") << page.left(80).constData();
    }
    hs->getitDoneString(nullptr, "<p>" + QByteArray(ballwick::MaxPageBytes, 'x') + "</p>");
    EXPECT_EQ(view->toPlainText(), "The high-score list is too large to be shown.");

    // What a real list page looks like passes: three boards side by side in an
    // outer table, unclosed rows and cells, comments, closing tags of nothing.
    QByteArray board = "<table><tr><th>Rank<th>Name<th>Score<th>Date";
    for (int i = 0; i < 25; ++i)
        board += "<tr><td>1<td><font color=red><b>Ann</b></font><td>5<td>12/6/26";
    board += "</table>";
    const QByteArray fine = "<!DOCTYPE html><html><body><!-- <table><table><table><table><table> --></i></b>"
                            "<center><table><tr><td>" + board + "<td>" + board + "<td>" + board
                            + "</table></center><p>Top</p></body></html>";
    hs->getitDoneString(nullptr, fine);
    EXPECT_TRUE(view->toPlainText().contains("Top"));
    EXPECT_TRUE(view->toPlainText().contains("Ann"));
}

TEST(PageCheck, NestingIsCountedByElementAndTable)
{
    using ballwick::pageNesting;
    EXPECT_EQ(pageNesting("<div><div></div><div><span>x</span></div></div>").elements, 3);
    EXPECT_EQ(pageNesting("<TABLE><tr><td><Table></table></TABLE><table>").tables, 2);
    // A closing tag closes what was opened inside its element too; one of
    // nothing open changes nothing; a self-closed element opens nothing.
    EXPECT_EQ(pageNesting("<div><b><i></div><div>").elements, 3);
    EXPECT_EQ(pageNesting("</div></div><div>").elements, 1);
    EXPECT_EQ(pageNesting("<div/><div/><div/>").elements, 0);
    EXPECT_EQ(pageNesting("<p><p><p><li><li><br><img src=x>").elements, 0);
    EXPECT_EQ(pageNesting("<!-- <div><div> -->").elements, 0);
    EXPECT_EQ(pageNesting("<!-- </div> --><div>").elements, 1);
    EXPECT_EQ(pageNesting("<td colspan=7><th rowspan='12'>").widestSpan, 12);
    EXPECT_EQ(pageNesting("<td>").cells, 1);
    EXPECT_EQ(pageNesting("<div").elements, 1); // a tag without its end still counts
    EXPECT_EQ(ballwick::checkPage(""), ballwick::PageVerdict::Ok);
}

// Two posts get no reply, the third does: all three reach the server once each,
// the queued ones with their own dates in their order, and a restart sends none
// of them again.
TEST_F(HighscoreTest, UnansweredPostsAreSentAgainInOrderAndNeverTwice)
{
    http.stop(); // the server is away
    hs->sendscore("Ann", "12/1/26", "10");
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    hs->sendscore("Bo", "12/2/26", "20");
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    EXPECT_EQ(PostQueue(queueFile()).posts().size(), 2); // on the disk
    EXPECT_TRUE(hs->hasQueuedPosts());

    HttpFixture back; // and comes back at the same address
    serve(back.server);
    back.start(http.port());
    ASSERT_EQ(back.port(), http.port());
    hs->sendscore("Cy", "12/3/26", "30");
    ASSERT_TRUE(waitFor([&] { return receivedPosts().size() == 3 && !hs->resendit->running(); }));
    QTest::qWait(200);
    EXPECT_EQ(receivedPosts(), (std::vector<std::string>{"Cy|12/3/26|30", "Ann|12/1/26|10", "Bo|12/2/26|20"}));
    EXPECT_FALSE(hs->hasQueuedPosts());
    EXPECT_TRUE(PostQueue(queueFile()).isEmpty());

    // The next run: nothing left to send.
    hs = window(back.base());
    hs->sendqueued();
    QTest::qWait(300);
    EXPECT_EQ(receivedPosts().size(), 3u);
}

TEST_F(HighscoreTest, AQueuedPostSurvivesARestartAndArrivesOnce)
{
    hs = window(deadBase());
    hs->sendscore("Dee", "11/30/26", "77");
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    hs->sendqueued(); // the server is still away: it stays
    ASSERT_TRUE(waitFor([&] { return !hs->resendit->running(); }));
    EXPECT_TRUE(hs->hasQueuedPosts());

    hs = window(http.base());
    hs->sendqueued();
    hs->sendqueued(); // once per run
    ASSERT_TRUE(waitFor([&] { return !receivedPosts().empty() && !hs->resendit->running(); }));
    QTest::qWait(200);
    EXPECT_EQ(receivedPosts(), std::vector<std::string>{"Dee|11/30/26|77"});
    EXPECT_FALSE(hs->hasQueuedPosts());
    EXPECT_FALSE(hs->isVisible()); // sent quietly: no list window
}

TEST(ServerAddresses, EveryRequestHangsOffOneBaseEndingInASlash)
{
    const ballwick::ServerAddresses local("http://127.0.0.1:9/games");
    EXPECT_EQ(local.base(), "http://127.0.0.1:9/games/");
    EXPECT_EQ(local.scoreList(), "http://127.0.0.1:9/games/counter/ballwick.shtml");
    EXPECT_EQ(local.version(), "http://127.0.0.1:9/games/ballwick/ballwickversion.txt");
    EXPECT_EQ(local.installer(), "http://127.0.0.1:9/games/ballwick/moxsetup.exe");
    EXPECT_EQ(local.scorePost("A&B", "12/6/26", "5"),
              "http://127.0.0.1:9/games/cgi-bin/ballwick.cgi?name=A%26B&date=12/6/26&score=5");
    EXPECT_EQ(ballwick::ServerAddresses().base(), ballwick::ServerAddresses(ballwick::ServerAddresses::builtIn()).base());
    EXPECT_TRUE(ballwick::ServerAddresses().base().endsWith('/'));
    EXPECT_EQ(ballwick::ServerAddresses("").base(), ballwick::ServerAddresses().base());
}

TEST(PostQueueFile, KeepsFiftyPostsOldestDroppedAndSkipsWhatIsNotOurs)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("posts.json");
    {
        PostQueue q(file);
        for (int i = 0; i < PostQueue::MaxPosts + 3; ++i)
            q.add(QStringLiteral("n%1").arg(i), "1/2/26", QString::number(i));
        q.remove(q.posts()[1].id);
    }
    PostQueue again(file);
    ASSERT_EQ(again.posts().size(), PostQueue::MaxPosts - 1);
    EXPECT_EQ(again.posts()[0].name, "n3");
    EXPECT_EQ(again.posts()[1].name, "n5");
    EXPECT_EQ(again.posts().last().score, QString::number(PostQueue::MaxPosts + 2));

    // Odd content: the entries that are well formed are kept, nothing breaks.
    for (const QByteArray &junk : {QByteArray("not json"), QByteArray("{\"name\":1}"),
                                   QByteArray("[{\"name\":\"a\",\"date\":\"d\",\"score\":\"1\"},7,{\"name\":2}]")}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        PostQueue q(file);
        EXPECT_LE(q.posts().size(), 1);
    }
    // A queue that cannot be written keeps its posts for this run.
    PostQueue lost(dir.filePath("no/such/dir/posts.json"));
    bool ok = true;
    lost.add("x", "1/1/26", "1", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(lost.posts().size(), 1);
}

} // namespace
