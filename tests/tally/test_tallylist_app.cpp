// The tally list inside the program: the main window feeds it during a round,
// its menu shows it, and what was played is there again after a restart.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "app/appdirs.h"
#include "app/tmain.h"
#include "../app/mainwindowtest.h"
#include "game/scoring.h"
#include "tally/ttallylist.h"

using ballwick::test::part;

namespace {

// One run of the program: the main window, then the tally list, ended in the
// reverse order.
struct Program
{
    std::unique_ptr<Tmain> main;
    std::unique_ptr<Ttallylist> tally;
    Program(ballwick::test::TestServices &fakes, const QString &dir)
        : main(std::make_unique<Tmain>(fakes.in(dir))),
          tally(std::make_unique<Ttallylist>(main.get(), fakes.dialogs, fakes.services.places.data))
    {
        main->setwindows(tally.get(), nullptr, nullptr, nullptr, nullptr); }
    ~Program()
    {
        main->setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
        tally.reset();
        main.reset();
    }
    QString caption(const char *name) const { return tally->findChild<QLabel *>(name)->text(); }
};

} // namespace

TEST(TallyListInTheProgram, ARoundPlayedShowsUpAndIsStillThereAfterARestart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ballwick::test::TestServices fakes;
    const QStringList &errors = fakes.dialogs.errors;

    int score = 0;
    {
        Program run(fakes, dir.path());
        part<QLineEdit>(*run.main, "edit_name")->setText("Rita");
        ballwick::Engine &engine = run.main->engine();
        engine.button_startClick();
        for (int row = 1; row <= 5; ++row) // a line down the B column of card 2
            engine.state().tag(2, 1, row) = 0;
        engine.done();
        score = engine.state().score;
        ASSERT_GT(score, 0);

        part<QAction>(*run.main, "TallyList1")->trigger();
        EXPECT_TRUE(run.tally->isVisible());
        EXPECT_EQ(run.caption("mylabel_1"), "1");
        EXPECT_EQ(run.caption("mylabel_2"), "8"); // five cells and the three free centres
        EXPECT_EQ(run.caption("mylabel_12"), "1");
        EXPECT_EQ(run.caption("label_name1"), "Rita");
        EXPECT_EQ(run.caption("label_high1"), QString::number(score));
    }
    {
        Program run(fakes, dir.path());
        EXPECT_EQ(run.caption("mylabel_1"), "1");
        EXPECT_EQ(run.caption("mylabel_12"), "1");
        EXPECT_EQ(run.caption("label_name1"), "Rita");
        EXPECT_EQ(run.caption("label_high1"), QString::number(score));
        EXPECT_EQ(run.tally->bestcovered(), 8);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
