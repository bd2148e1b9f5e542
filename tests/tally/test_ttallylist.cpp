// The tally list window: counters, the local top ten, reset, and what
// survives a restart.
#include <QDate>
#include <QFontInfo>
#include <QFontMetrics>
#include <QDir>
#include <QLocale>
#include <QPalette>
#include <sys/stat.h>

#include "game/engine.h"
#include "tallylisttest.h"
#include "widgets/fonts.h"
#include "widgets/timagebutton.h"

using tallylisttest::TallyTest;

namespace {

QString rankname(const char *stem, int r)
{
    return QString::fromLatin1(stem) + QString::number(r);
}

// The main window's side of the game's tally calls, over a tally window.
class TallyView : public ballwick::GameView
{
public:
    explicit TallyView(Ttallylist &t) : tally(t) {}
    void addtomineincrease(int index) override { tally.addtomineincrease(index); }
    void addtomineset(int index, const std::string &value) override
    {
        tally.addtomineset(index, QString::fromStdString(value));
    }
    int bestcovered() const override { return tally.bestcovered(); }
    bool checkscore(int score, const std::string &name) override
    {
        return tally.checkscore(score, QString::fromStdString(name));
    }
    void playsounds(const std::string &) override {}
    std::string playername() const override { return "Wanda"; }
    void clearscores() override {}
    void addscoreline(const std::string &) override {}
    void roundstarting() override {}
    void postingclosed() override {}
    void resultclosed() override {}
    void greetplayer() override {}
    void slotcleared(int) override {}
    void balldealt(int) override {}
    void ballshown(int, int) override {}
    void thiefballshown(int) override {}
    void thiefcountchanged(int) override {}
    void bigballchanged(int) override {}
    void bigballshown() override {}
    void cellchanged(int, int, int, ballwick::CellState, int) override {}
    void scorechanged(int) override {}
    void roundover(int) override {}
    void scoresendable() override {}

    Ttallylist &tally;
};

// Covers the first n cells of card 1, column by column (the free centre is
// already covered and counts among them).
void cover(ballwick::Engine &engine, int n)
{
    int covered = 1;
    for (int column = 1; column <= 5; ++column)
        for (int row = 1; row <= 5; ++row) {
            int &tag = engine.state().tag(1, column, row);
            if (tag != 0 && covered < n) {
                tag = 0;
                ++covered;
            }
        }
}

} // namespace

TEST_F(TallyTest, WindowLayoutAndEmptyStartWithoutFile)
{
    Ttallylist &w = start();
    EXPECT_EQ(w.windowTitle(), "Ballwick - Tally List");
    EXPECT_EQ(w.size(), QSize(342, 486));
    EXPECT_EQ(caption("label_caption1"), "Total Games:");
    EXPECT_EQ(caption("label_caption2"), "Covered Numbers:");
    EXPECT_EQ(caption("label_caption4"), "KUVO:");
    EXPECT_EQ(caption("label_caption12"), "Lines:");
    EXPECT_NE(w.findChild<QWidget *>("button_resettally"), nullptr);
    EXPECT_NE(w.findChild<QWidget *>("button_done"), nullptr);
    EXPECT_NE(w.findChild<QWidget *>("FlatPanel1"), nullptr);

    // No tally file: the display shows the empty table, not placeholders.
    EXPECT_TRUE(dialogs.errors.isEmpty());
    for (int i = 1; i <= 12; ++i) {
        const QString name = QStringLiteral("mylabel_%1").arg(i);
        EXPECT_EQ(caption(name), "0") << i;
        EXPECT_EQ(value(name), 0) << i;
        EXPECT_EQ(cell(i, 0), "0");
    }
    for (int r = 1; r <= 10; ++r) {
        EXPECT_EQ(caption(rankname("label_num", r)), QStringLiteral("%1.").arg(r));
        EXPECT_EQ(caption(rankname("label_high", r)), "");
        EXPECT_EQ(caption(rankname("label_date", r)), "");
        EXPECT_EQ(caption(rankname("label_name", r)), "");
        EXPECT_EQ(value(rankname("label_high", r)), -1000);
        EXPECT_EQ(cell(1, r), "-1000");
    }
    EXPECT_EQ(w.scores().colCount(), 14);
    EXPECT_EQ(w.scores().rowCount(), 12);
}

TEST_F(TallyTest, EqualScoresRankNewestFirstAndOnlyTheNewRowIsHighlighted)
{
    start();
    EXPECT_TRUE(window->checkscore(0, "Ann"));
    EXPECT_EQ(caption("label_high1"), "0");
    EXPECT_EQ(caption("label_name1"), "Ann");
    EXPECT_EQ(caption("label_date1"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));

    EXPECT_TRUE(window->checkscore(0, "Bob"));
    EXPECT_EQ(caption("label_name1"), "Bob");
    EXPECT_EQ(caption("label_name2"), "Ann");
    EXPECT_EQ(value("label_high2"), 0);
    EXPECT_EQ(cell(2, 1), "Bob");
    EXPECT_EQ(cell(2, 2), "Ann");
    EXPECT_EQ(cell(1, 2), "0");
    EXPECT_EQ(caption("label_high3"), "");

    for (const char *stem : {"label_num", "label_date", "label_name", "label_high"}) {
        QLabel *top = label(rankname(stem, 1));
        EXPECT_EQ(top->palette().color(QPalette::WindowText), QColor(255, 0, 0)) << stem;
        EXPECT_TRUE(top->font().bold()) << stem;
        QLabel *second = label(rankname(stem, 2));
        EXPECT_EQ(second->palette().color(QPalette::WindowText), QColor(Qt::black)) << stem;
        EXPECT_FALSE(second->font().bold()) << stem;
    }
}

TEST_F(TallyTest, FullTopTenLowerEqualAndNewTop)
{
    start();
    for (int s = 100; s >= 10; s -= 10)
        ASSERT_TRUE(window->checkscore(s, QStringLiteral("p%1").arg(s)));
    EXPECT_EQ(caption("label_high10"), "10");

    // Lower than rank 10: nothing moves, every row turns plain black.
    EXPECT_FALSE(window->checkscore(9, "low"));
    for (int r = 1; r <= 10; ++r) {
        EXPECT_EQ(value(rankname("label_high", r)), 110 - 10 * r);
        EXPECT_FALSE(label(rankname("label_high", r))->font().bold());
        EXPECT_EQ(label(rankname("label_name", r))->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    // Equal to rank 10: replaces it, the others stay.
    EXPECT_TRUE(window->checkscore(10, "tie"));
    EXPECT_EQ(caption("label_name10"), "tie");
    EXPECT_EQ(caption("label_name9"), "p20");
    EXPECT_EQ(cell(2, 10), "tie");

    // A new top moves ranks 1 to 9 down and drops the old rank 10.
    EXPECT_TRUE(window->checkscore(500, "top"));
    EXPECT_EQ(caption("label_name1"), "top");
    for (int r = 2; r <= 10; ++r) {
        EXPECT_EQ(caption(rankname("label_name", r)), QStringLiteral("p%1").arg(120 - 10 * r));
        EXPECT_EQ(cell(1, r), std::to_string(120 - 10 * r));
    }
    EXPECT_EQ(cell(1, 11), "");
}

TEST_F(TallyTest, CountersKeepTheirTextUntilTheNextIncrement)
{
    ballwick::StringGrid grid = tallylisttest::sampletally(1);
    grid.setCell(5, 0, "007");
    grid.setCell(6, 0, "7");
    tallylisttest::writetally(grid, tallyfile());

    start();
    EXPECT_EQ(caption("mylabel_5"), "007");
    EXPECT_EQ(value("mylabel_5"), 7);
    window->addtomineincrease(5);
    EXPECT_EQ(caption("mylabel_5"), "8");
    EXPECT_EQ(cell(5, 0), "8");
    window->addtomineincrease(6);
    EXPECT_EQ(cell(6, 0), "8");

    window->addtomineset(2, "31");
    EXPECT_EQ(caption("mylabel_2"), "31");
    EXPECT_EQ(window->bestcovered(), 31);
    EXPECT_EQ(cell(2, 0), "31");

    // Indices outside 1..12 change nothing.
    const ballwick::StringGrid before = window->scores();
    window->addtomineincrease(0);
    window->addtomineincrease(13);
    window->addtomineset(13, "5");
    EXPECT_EQ(window->scores(), before);
}

TEST_F(TallyTest, PlayedRoundsShowUpAndSurviveARestart)
{
    start();
    window->addtomineset(2, "20");
    {
        TallyView view(*window);
        ballwick::Engine engine(view, ballwick::Random(1234));
        engine.button_startClick();
        cover(engine, 15);
        ASSERT_EQ(ballwick::scorepass(engine.state().tags).covered, 17); // three centres count
        engine.done();
        EXPECT_EQ(caption("mylabel_2"), "20"); // the record is never lowered
        engine.button_startClick();
        cover(engine, 23);
        engine.done();
    }
    EXPECT_EQ(caption("mylabel_1"), "2");
    EXPECT_EQ(caption("mylabel_2"), "25");
    EXPECT_EQ(window->bestcovered(), 25);
    EXPECT_EQ(caption("label_name1"), "Wanda");
    EXPECT_EQ(caption("label_name2"), "Wanda");
    EXPECT_GT(value("label_high1"), value("label_high2"));
    const ballwick::StringGrid played = window->scores();
    const QString top = caption("label_high1");

    start(); // the first window writes the tally file, the new one reads it
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(window->scores(), played);
    EXPECT_EQ(caption("mylabel_1"), "2");
    EXPECT_EQ(window->bestcovered(), 25);
    EXPECT_EQ(caption("label_high1"), top);
    EXPECT_EQ(caption("label_name1"), "Wanda");
    // The highlight is not stored.
    EXPECT_EQ(label("label_high1")->palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST_F(TallyTest, ResetAnsweredNoChangesNothingAndYesZeroesEverythingForGood)
{
    tallylisttest::writetally(tallylisttest::sampletally(3), tallyfile());
    start();
    window->checkscore(5000, "hi");
    const ballwick::StringGrid before = window->scores();

    dialogs.answer = false;
    window->button_resetClick();
    ASSERT_EQ(dialogs.questions, QStringList{"Are you sure you want to reset the Tally?"});
    EXPECT_EQ(window->scores(), before);
    EXPECT_EQ(caption("mylabel_3"), "303");
    EXPECT_EQ(caption("label_name1"), "hi");

    dialogs.answer = true;
    window->button_resetClick();
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(caption(QStringLiteral("mylabel_%1").arg(i)), "0");
        EXPECT_EQ(cell(i, 0), "0");
    }
    for (int r = 1; r <= 10; ++r) {
        EXPECT_EQ(caption(rankname("label_high", r)), "");
        EXPECT_EQ(caption(rankname("label_name", r)), "");
        EXPECT_EQ(value(rankname("label_high", r)), -1000);
        EXPECT_FALSE(label(rankname("label_num", r))->font().bold());
    }
    EXPECT_EQ(cell(1, 11), "-1000");

    start();
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(caption(QStringLiteral("mylabel_%1").arg(i)), "0");
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(caption(rankname("label_high", r)), "");
    // After a reset, the next score enters at rank 1 again.
    EXPECT_TRUE(window->checkscore(1, "again"));
    EXPECT_EQ(caption("label_name1"), "again");
}

TEST_F(TallyTest, NamesWithLineBreaksCannotShiftTheTable)
{
    start();
    window->checkscore(40, QStringLiteral("two\r\nlines\x1A"));
    window->checkscore(30, "next");
    start();
    EXPECT_EQ(caption("label_name1"), "two  lines ");
    EXPECT_EQ(caption("label_name2"), "next");
    EXPECT_EQ(caption("label_high2"), "30");
}

TEST_F(TallyTest, DoneHidesAndKeepsTheHighlight)
{
    start();
    window->show();
    window->checkscore(12, "x");
    window->findChild<TImageButton *>("button_done")->click();
    EXPECT_FALSE(window->isVisible());
    window->show();
    EXPECT_TRUE(label("label_high1")->font().bold());
    EXPECT_EQ(caption("label_high1"), "12");
}

TEST_F(TallyTest, ACloseWithNothingNewLeavesTheFileAloneAndANewRoundReplacesIt)
{
    start();
    window->addtomineincrease(1);
    stop();
    const QByteArray first = tallylisttest::filebytes(tallyfile());
    ASSERT_FALSE(first.isEmpty());
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(tallyfile()).constData(), &before), 0);

    start();
    stop(); // nothing happened: no replacement (which would be a new file)
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(tallyfile()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(tallylisttest::filebytes(tallyfile()), first);

    start();
    window->addtomineincrease(1);
    stop();
    EXPECT_NE(tallylisttest::filebytes(tallyfile()), first);
    start();
    EXPECT_EQ(caption("mylabel_1"), "2");
}

TEST_F(TallyTest, TheNameColumnHoldsTenOfTheWidestLettersInTheGamesFace)
{
    Ttallylist &w = start();
    const QString name = "WWWWWWWWWW";
    ASSERT_TRUE(w.checkscore(500, name));
    QLabel *shown = label(rankname("label_name", 1));
    EXPECT_EQ(shown->text(), name);
    // The highlighted (bold) row still has room for the whole name.
    const QFontMetrics fm(shown->font());
    EXPECT_LE(fm.horizontalAdvance(name), shown->contentsRect().width());
    // Date, name and score stand side by side without overlapping.
    EXPECT_LE(label(rankname("label_date", 1))->geometry().right(), shown->geometry().left());
    EXPECT_LE(shown->geometry().right(), label(rankname("label_high", 1))->geometry().left());
    // The face every other window uses, not the desktop's default sans-serif.
    EXPECT_EQ(QFontInfo(shown->font()).family(), QFontInfo(ballwick::uiFont(10)).family());
    EXPECT_EQ(QFontInfo(label("label_caption1")->font()).family(), QFontInfo(ballwick::uiFont(10)).family());
}
