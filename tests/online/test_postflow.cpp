// Posting a score from the end-of-round panel of the real main window, against
// the real ballwick-server, and the countdown when no reply comes.
#include <gtest/gtest.h>

#include "../server/serverprocess.h"
#include "localservers.h"

#include "app/appdirs.h"
#include "app/pictures.h"
#include "app/tmain.h"
#include "../app/mainwindowtest.h"
#include "online/serverbase.h"
#include "online/thighscore.h"
#include "online/thttpget.h"
#include "online/turl.h"
#include "widgets/tflatpanel.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

using ballwick::test::part;

using namespace testing_online;

namespace {

class PostFlowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        if (w)
            w->setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
        hs.reset();
        w.reset();
    }

    // Starts the main window and its high-score window against a server, as
    // the program does, and shows it.
    void open(const QString &base)
    {
        ballwick::MainServices services = fakes.in(dir.path());
        services.server = ballwick::ServerAddresses(base);
        w = std::make_unique<Tmain>(services);
        hs = std::make_unique<Thighscore>(w.get(), fakes.links, services.server, dir.path());
        w->setwindows(nullptr, nullptr, nullptr, hs.get(), nullptr);
        w->show();
        view = hs->findChild<QTextBrowser *>("displayhtml");
    }

    // Plays a round to its end: the three thief balls.
    void finishRound()
    {
        w->button_startClick();
        for (int found = 0; found < 3; ++found) {
            int slot = -1;
            for (int s = 0; s < ballwick::slotcount && slot < 0; ++s)
                if (w->engine().state().balls[s].number == 77 && !w->engine().state().balls[s].revealed)
                    slot = s;
            ASSERT_GE(slot, 0);
            QTest::mouseClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {},
                              QPoint(ballwick::slotleft(slot) + 20, ballwick::slottop(slot) + 20));
        }
        ASSERT_TRUE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    }

    // A server address where nothing answers.
    static QString deadBase()
    {
        RawServer probe([](int, const std::string &, RawServer &) {});
        return QUrl(probe.url()).toString();
    }

    QTemporaryDir dir;
    ballwick::test::TestServices fakes;
    QStringList &messages = fakes.dialogs.errors;
    std::unique_ptr<Tmain> w;
    std::unique_ptr<Thighscore> hs;
    QTextBrowser *view = nullptr;
};

TEST_F(PostFlowTest, SendScoreShowsTheListWithTheScoreAndNameAsPlainText)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(dir.filePath("scores.db")));
    open(server.base());
    finishRound();
    const int score = w->engine().state().score;

    // A name built to break a query and to inject a link, both harmless here.
    const QString name = QStringLiteral("<a href=x>");
    part<QLineEdit>(*w, "edit_name")->setText(name);
    QTest::mouseClick(part<TImageButton>(*w, "button_sendscore"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_TRUE(part<TFlatPanel>(*w, "panel_wait")->isVisibleTo(w.get()));
    EXPECT_TRUE(part<QTimer>(*w, "Timer1")->isActive());
    ASSERT_TRUE(waitFor([&] { return hs->isVisible() && view->toPlainText().contains(name); }, 10000))
        << view->toPlainText().toStdString();
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    EXPECT_FALSE(part<QTimer>(*w, "Timer1")->isActive());
    EXPECT_TRUE(view->toPlainText().contains(QString::number(score)));
    // Shown as text: no link anywhere in the page.
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            EXPECT_FALSE(it.fragment().charFormat().isAnchor()) << it.fragment().text().toStdString();
    EXPECT_TRUE(messages.isEmpty());

    // The same list from the View menu, fetched afresh, with a second post in it.
    ASSERT_TRUE(waitFor([&] { return !hs->getit->running(); }));
    hs->hide();
    view->clear();
    part<QAction>(*w, "ViewHighScoreList1")->trigger();
    ASSERT_TRUE(waitFor([&] { return hs->isVisible() && view->toPlainText().contains(name); }));
    server.stop();
    EXPECT_EQ(server.output().count("GET /counter/ballwick.shtml"), 2);
}

TEST_F(PostFlowTest, AnEmptyNamePostsAsGuest)
{
    ServerProcess server;
    ASSERT_TRUE(server.start(dir.filePath("scores.db")));
    fakes.clock.at = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 58));
    open(server.base());
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    finishRound();
    part<QLineEdit>(*w, "edit_name")->clear();
    w->button_sendscoreClick();
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Guest");
    ASSERT_TRUE(waitFor([&] { return view->toPlainText().contains("Guest"); }, 10000));
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));

    // The date is month, day, two-digit year with the locale's own separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    w->button_sendscoreClick();
    QLocale::setDefault(before);
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    server.stop();
    const QString score = QString::number(w->engine().state().score);
    EXPECT_TRUE(server.output().contains("?name=Guest&date=12/6/26&score=" + score + " 200"))
        << server.output().toStdString();
    EXPECT_TRUE(server.output().contains("?name=Guest&date=12.6.26&score=" + score + " 200"))
        << server.output().toStdString();
}

TEST_F(PostFlowTest, WithoutAReplyTheDotsCycleAndPostingFailsOnce)
{
    open(deadBase());
    finishRound();
    w->button_sendscoreClick();
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    QStringList captions;
    for (int step = 1; step <= 40; ++step) {
        EXPECT_TRUE(messages.isEmpty()) << step;
        w->Timer1Timer();
        captions << part<TFlatPanel>(*w, "panel_wait")->caption();
    }
    EXPECT_EQ(captions[0], "Posting Score, Please Wait.");
    EXPECT_EQ(captions[4], "Posting Score, Please Wait.....");
    EXPECT_EQ(captions[5], "Posting Score, Please Wait.");
    EXPECT_EQ(messages, QStringList({"Posting Failed."}));
    EXPECT_FALSE(part<QTimer>(*w, "Timer1")->isActive());
    // Steps that still come (the message was open) bring no second message.
    w->Timer1Timer();
    w->Timer1Timer();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(part<TFlatPanel>(*w, "panel_wait")->isVisibleTo(w.get()));
    EXPECT_FALSE(hs->isVisible());
    auto *note = part<TFlatPanel>(*w, "panel_cleared")->findChild<QLabel *>("label_queued");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(w.get()));
    EXPECT_EQ(note->text(), "Your score will be sent when the server can be reached.");
    EXPECT_GE(note->y(), part<TFlatPanel>(*w, "panel_wait")->geometry().bottom()); // under the wait text
}

// The server is stopped at SEND SCORE; once it runs and the game starts again, the
// score reaches it exactly once.
TEST_F(PostFlowTest, AScorePostedWhileTheServerIsDownArrivesAfterTheNextStart)
{
    open(deadBase());
    finishRound();
    part<QLineEdit>(*w, "edit_name")->setText("Later");
    const QString score = QString::number(w->engine().state().score);
    w->button_sendscoreClick();
    ASSERT_TRUE(waitFor([&] { return !hs->sendit->running(); }));
    for (int step = 1; step <= 40; ++step)
        w->Timer1Timer();
    EXPECT_EQ(messages, QStringList({"Posting Failed."}));
    auto *note = part<TFlatPanel>(*w, "panel_cleared")->findChild<QLabel *>("label_queued");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(w.get()));

    // The next run of the program, with the server up.
    w->setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
    hs.reset();
    w.reset();
    ServerProcess server;
    ASSERT_TRUE(server.start(dir.filePath("scores.db")));
    open(server.base());
    ASSERT_TRUE(waitFor([&] { return !hs->hasQueuedPosts(); }, 10000));
    ASSERT_TRUE(waitFor([&] { return !hs->resendit->running(); }));
    w->hide();
    w->show(); // another showing sends nothing again
    QTest::qWait(300);
    server.stop();
    EXPECT_EQ(server.output().count("GET /cgi-bin/ballwick.cgi?name=Later&"), 1) << server.output().toStdString();
    EXPECT_EQ(server.output().count("&score=" + score + " 200"), 1) << server.output().toStdString();
    EXPECT_TRUE(messages.size() == 1);
}

} // namespace
