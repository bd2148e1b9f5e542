// The high-score window against a local list server, with a recording link opener.
#include <gtest/gtest.h>

#include "localservers.h"
#include "online/serverbase.h"
#include "online/thighscore.h"
#include "online/thttpget.h"
#include "online/turl.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

using namespace testing_online;

namespace {

class HighscoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        http.server.Get("/counter/ballwick.shtml", [this](const httplib::Request &, httplib::Response &res) {
            ++listRequests;
            res.set_content(page, "text/html");
        });
        http.server.Get("/cgi-bin/ballwick.cgi", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard lock(m);
            postTarget = req.target;
            postName = req.get_param_value("name");
            postDate = req.get_param_value("date");
            postScore = req.get_param_value("score");
            keys.clear();
            for (const auto &p : req.params)
                keys.push_back(p.first);
            res.set_content("Score posted.\n", "text/plain");
        });
        http.start();
        ballwick::setServerBaseOverride(http.base());
        TURL::setOpener([this](const QUrl &u) {
            opened << u.toString();
            return true;
        });
        main.setObjectName("tmain");
        cleared = new QWidget(&main);
        cleared->setObjectName("panel_cleared");
        timer = new QTimer(&main);
        timer->setObjectName("Timer1");
        hs = std::make_unique<Thighscore>(&main);
        view = hs->findChild<QTextBrowser *>("displayhtml");
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        hs.reset();
        TURL::setOpener({});
        ballwick::setServerBaseOverride(QString());
    }

    HttpFixture http;
    std::atomic<int> listRequests{0};
    std::string page = "<html><body><p>Top</p><a href=\"http://www.example.com/more?x=1\">more</a></body></html>";
    std::mutex m;
    std::string postTarget, postName, postDate, postScore;
    std::vector<std::string> keys;
    QStringList opened;
    QWidget main;
    QWidget *cleared = nullptr;
    QTimer *timer = nullptr;
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
    ballwick::setServerBaseOverride(RawServer([](int, const std::string &, RawServer &) {}).url());
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
    cleared->show();
    timer->start(1000);
    hs->sendscore("Ann", "12/6/26", "5");
    ASSERT_TRUE(waitFor([&] { return hs->isVisible() && view->toPlainText().contains("Top"); }));
    EXPECT_FALSE(cleared->isVisible());
    EXPECT_FALSE(timer->isActive());
}

} // namespace
