// The main window played with the mouse: the real board and cards are clicked at
// their pixel positions and the window's captions, colours, visibility, award
// list and sound cues are checked.
#include <gtest/gtest.h>

#include <semaphore.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>

#include "app/appdirs.h"
#include "app/instancemutex.h"
#include "app/pictures.h"
#include "app/tmain.h"
#include "mainwindowtest.h"
#include "widgets/dialogs.h"
#include "widgets/tflatpanel.h"

using ballwick::test::part;

using ballwick::Engine;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        w = std::make_unique<Tmain>(fakes.in(dir.path()));
        w->engine().random().setseed(20261207);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        cues.clear();
    }

    void TearDown() override
    {
        w.reset();
    }

    const ballwick::GameState &state() { return w->engine().state(); }

    // Clicks the middle of a board slot, as the player would.
    void clickslot(int slot)
    {
        QTest::mouseClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {},
                          QPoint(ballwick::slotleft(slot) + 20, ballwick::slottop(slot) + 20));
    }

    int findslot(auto pred)
    {
        for (int s = 0; s < ballwick::slotcount; ++s)
            if (pred(state().balls[s]))
                return s;
        return -1;
    }

    QLabel *card(int c, int col, int row)
    {
        return w->findChild<QLabel *>(QString::fromStdString(ballwick::cellobjectname(c, col, row)));
    }

    // A card cell holding the number, or null.
    QLabel *cellwith(int number, int *cardOut = nullptr)
    {
        for (int c = 1; c <= 3; ++c)
            for (int col = 1; col <= 5; ++col)
                for (int row = 1; row <= 5; ++row)
                    if (state().tag(c, col, row) == number) {
                        if (cardOut)
                            *cardOut = c;
                        return card(c, col, row);
                    }
        return nullptr;
    }

    static QColor textcolour(QWidget *widget) { return widget->palette().color(QPalette::WindowText); }
    bool shown(QWidget *widget) { return widget->isVisibleTo(w.get()); }

    QTemporaryDir dir;
    ballwick::test::TestServices fakes;
    QStringList &cues = fakes.cues.cues;
    QStringList &errors = fakes.dialogs.errors;
    std::unique_ptr<Tmain> w;
};

TEST_F(MainWindowTest, LaidOutWithItsNamesPlacesAndMenus)
{
    EXPECT_EQ(w->windowTitle(), "Ballwick");
    struct Place {
        const char *name;
        QRect rect;
    };
    for (const Place &p : {Place{"panel_board1", {2, 29, 753, 457}}, Place{"panel_theboard", {10, 5, 604, 204}},
                           Place{"paintbox_board", {3, 3, 598, 198}}, Place{"panel_bigball", {615, 29, 134, 121}},
                           Place{"image_mox", {616, 154, 132, 55}}, Place{"button_start", {620, 162, 126, 40}},
                           Place{"Image1", {8, 212, 209, 241}}, Place{"Image3", {430, 212, 209, 241}},
                           Place{"Image5", {641, 212, 110, 241}}, Place{"panel_cleared", {8, 5, 606, 205}},
                           Place{"panel_name", {140, 26, 329, 161}}, Place{"panel_update", {140, 26, 329, 161}},
                           Place{"panel_instructions", {1, 1, 751, 455}}, Place{"label_card111", {15, 259, 34, 29}},
                           Place{"label_card213", {226, 337, 34, 29}}, Place{"label_card355", {598, 415, 34, 29}},
                           Place{"Image7", {608, 392, 126, 40}}, Place{"listbox_scores", {6, 6, 281, 193}}}) {
        auto *widget = w->findChild<QWidget *>(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.rect) << p.name;
    }
    EXPECT_EQ(part<TFlatPanel>(*w, "panel_board")->size(), QSize(758, 488));
    EXPECT_EQ(part<QLabel>(*w, "label_name")->text(), "Welcome to Ballwick by Quendra Software!");
    EXPECT_EQ(part<QLabel>(*w, "label_bigball")->text(), "B4");
    EXPECT_EQ(w->findChildren<TImageButton *>(QRegularExpression("^label_card[1-3][1-5][1-5]$")).size(), 75);
    QLabel *cell = card(2, 3, 4);
    EXPECT_EQ(cell->font().pixelSize(), 25);
    EXPECT_TRUE(cell->font().bold());
    EXPECT_EQ(cell->alignment(), Qt::AlignCenter);
    EXPECT_EQ(cell->text(), "0");
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->maxLength(), 10);
    EXPECT_EQ(part<QLineEdit>(*w, "edit_aname")->maxLength(), 10);
    EXPECT_EQ(part<TFlatPanel>(*w, "panel_wait")->caption(), "Posting Score, Please Wait......");
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_wait")));
    EXPECT_FALSE(part<QTimer>(*w, "Timer1")->isActive());
    EXPECT_EQ(part<QTimer>(*w, "Timer1")->interval(), 1000);

    // Overlays from bottom to top, the board above the update panel; the name
    // panel, shown at start, was raised above the board.
    const QObjectList order = part<TFlatPanel>(*w, "panel_board1")->children();
    auto at = [&](const char *name) { return order.indexOf(w->findChild<QWidget *>(name)); };
    EXPECT_LT(at("panel_cleared"), at("panel_update"));
    EXPECT_LT(at("panel_update"), at("panel_theboard"));
    EXPECT_LT(at("panel_theboard"), at("panel_bigball"));
    EXPECT_LT(at("panel_bigball"), at("panel_instructions"));
    EXPECT_GT(at("panel_name"), at("panel_theboard"));

    QStringList menus;
    for (QAction *a : w->menuBar()->actions())
        menus << a->text().remove('&');
    EXPECT_EQ(menus, QStringList({"File", "Options", "View", "Help", "Check out Multiplayer Bingo!"}));
    QStringList options;
    for (QAction *a : part<QMenu>(*w, "Options1")->actions())
        options << a->text();
    EXPECT_EQ(options, QStringList({"Play Sounds", "Reset Screen Location", "Change  Name",
                                    "Automatically Check for Updates"}));
    EXPECT_EQ(part<QAction>(*w, "StartGame1")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(part<QAction>(*w, "Help2")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(part<QAction>(*w, "QuickInstructions1")->shortcut(), QKeySequence("Ctrl+I"));
    EXPECT_TRUE(part<QAction>(*w, "PlaySounds1")->isCheckable() && part<QAction>(*w, "PlaySounds1")->isChecked());
    EXPECT_TRUE(part<QAction>(*w, "updatecheck")->isCheckable() && part<QAction>(*w, "updatecheck")->isChecked());
    EXPECT_TRUE(part<QAction>(*w, "N1")->isSeparator());
    EXPECT_TRUE(part<QAction>(*w, "N2")->isSeparator());
    EXPECT_EQ(part<QAction>(*w, "MultiplayerBingo1")->menu(), nullptr);
}

TEST_F(MainWindowTest, StartsWithTheNamePanelAndTheEnteredCue)
{
    // A fresh window: the cue is the last step of its creation.
    cues.clear();
    Tmain second(fakes.services);
    EXPECT_EQ(cues, QStringList({"entered"}));
    EXPECT_TRUE(part<TFlatPanel>(second, "panel_name")->isVisibleTo(&second));
    EXPECT_EQ(part<QLineEdit>(second, "edit_name")->text(), part<QLineEdit>(second, "edit_aname")->text());
    EXPECT_FALSE(second.engine().state().roundactive);
    EXPECT_EQ(second.appname(), "ballwick");
    EXPECT_EQ(second.installerfile(), "moxsetup.exe");

    // The instance mark "ballwick" exists while a copy runs.
    sem_t *mark = sem_open("/ballwick", 0);
    EXPECT_NE(mark, SEM_FAILED);
    if (mark != SEM_FAILED)
        sem_close(mark);
}

TEST_F(MainWindowTest, FirstShowingCentresTheWindowOnTheDesktop)
{
    const QRect desk = w->screen()->virtualGeometry();
    EXPECT_EQ(w->x(), desk.left() + (desk.width() - w->width()) / 2);
    EXPECT_EQ(w->y(), desk.top() + (desk.height() - w->height()) / 2);

    // Later showings keep the place.
    w->hide();
    w->move(7, 9);
    w->show();
    EXPECT_EQ(w->pos(), QPoint(7, 9));
}

TEST_F(MainWindowTest, NamePanelCopiesTheNameOnDone)
{
    part<QLineEdit>(*w, "edit_aname")->clear();
    QTest::keyClicks(part<QLineEdit>(*w, "edit_aname"), "Rosalind of the Hills");
    EXPECT_EQ(part<QLineEdit>(*w, "edit_aname")->text(), "Rosalind o"); // typing stops at 10
    QTest::mouseClick(part<TImageButton>(*w, "button_namedone"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Rosalind o");
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_name")));

    // Change Name shows the panel again with what edit_aname last held.
    part<QLineEdit>(*w, "edit_name")->setText("Other");
    part<QAction>(*w, "ChangeName1")->trigger();
    EXPECT_TRUE(shown(part<TFlatPanel>(*w, "panel_name")));
    EXPECT_EQ(part<QLineEdit>(*w, "edit_aname")->text(), "Rosalind o");

    // An empty box leaves an empty player name.
    part<QLineEdit>(*w, "edit_aname")->clear();
    QTest::mouseClick(part<TImageButton>(*w, "button_namedone"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "");
}

TEST_F(MainWindowTest, QuickInstructionsShowAndHide)
{
    part<QAction>(*w, "QuickInstructions1")->trigger();
    EXPECT_TRUE(shown(part<TFlatPanel>(*w, "panel_instructions")));
    EXPECT_FALSE(part<QLabel>(*w, "Image6")->pixmap().isNull());
    QTest::mouseClick(part<TImageButton>(*w, "Image7"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_instructions")));
}

TEST_F(MainWindowTest, ThePlayersNameIsShownAsTypedNotAsMarkup)
{
    const QString name = "<b>A&= #?Z";
    ASSERT_TRUE(Qt::mightBeRichText("Good Luck " + name)); // what an automatic label would make of it
    part<QLineEdit>(*w, "edit_name")->setText(name);
    part<QAction>(*w, "StartGame1")->trigger();
    EXPECT_EQ(part<QLabel>(*w, "label_name")->text(), "Good Luck " + name);
    for (QLabel *l : {part<QLabel>(*w, "label_name"), part<QLabel>(*w, "label_score"), part<QLabel>(*w, "label_score1"), part<QLabel>(*w, "Label3")})
        EXPECT_EQ(l->textFormat(), Qt::PlainText) << l->objectName().toStdString();
}

TEST_F(MainWindowTest, ChangeNamePutsTheKeyboardInTheNameBox)
{
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->Image7Click(); // the first run's instructions
    QTest::mouseClick(part<TImageButton>(*w, "button_namedone"), Qt::LeftButton, {}, QPoint(60, 20));
    part<QLineEdit>(*w, "edit_aname")->clearFocus();
    part<QAction>(*w, "ChangeName1")->trigger();
    EXPECT_TRUE(part<QLineEdit>(*w, "edit_aname")->hasFocus());
    // What the player types replaces the old name.
    QTest::keyClicks(QApplication::focusWidget(), "Ann");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Ann");
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_name")));
}

TEST_F(MainWindowTest, EnterAndEscapeAnswerForDoneOnTheQuickInstructions)
{
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    part<QLineEdit>(*w, "edit_aname")->setFocus();
    part<QLineEdit>(*w, "edit_aname")->setText("Kept");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        part<QAction>(*w, "QuickInstructions1")->trigger();
        ASSERT_TRUE(shown(part<TFlatPanel>(*w, "panel_instructions")));
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_instructions"))) << key;
        // The name panel behind it was not answered.
        EXPECT_TRUE(shown(part<TFlatPanel>(*w, "panel_name"))) << key;
    }
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Guest");
    // With the instructions gone, Enter is the name box's again.
    QTest::keyClick(part<QLineEdit>(*w, "edit_aname"), Qt::Key_Return);
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_name")));
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Kept");
}

TEST_F(MainWindowTest, WhilePostingFailedIsOpenTheDotsKeepCycling)
{
    // The real message box.
    ballwick::MessageBoxes boxes;
    ballwick::MainServices real = fakes.services;
    real.dialogs = &boxes;
    w.reset();
    w = std::make_unique<Tmain>(real);
    w->show();
    // A box that waited for its answer inside the step would hang the test:
    // closed after a while, it fails it instead.
    QTimer unblock;
    unblock.setSingleShot(true);
    QObject::connect(&unblock, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    unblock.start(3000);
    w->button_sendscoreClick();
    part<QTimer>(*w, "Timer1")->stop(); // the steps are run by hand below
    for (int step = 1; step <= 40; ++step)
        w->Timer1Timer();
    auto *box = w->findChild<QMessageBox *>("errorbox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Posting Failed.");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    // The step returned with the box open; the timer still runs and later steps
    // go on cycling the dots without a second message.
    part<QTimer>(*w, "Timer1")->start();
    QStringList captions;
    for (int step = 41; step <= 46; ++step) {
        w->Timer1Timer();
        captions << part<TFlatPanel>(*w, "panel_wait")->caption();
    }
    EXPECT_EQ(captions.first(), "Posting Score, Please Wait.");
    EXPECT_EQ(captions.last(), "Posting Score, Please Wait.");
    EXPECT_EQ(captions.at(4), "Posting Score, Please Wait.....");
    EXPECT_EQ(w->findChildren<QMessageBox *>().size(), 1);
    EXPECT_TRUE(part<QTimer>(*w, "Timer1")->isActive());

    box->accept();
    EXPECT_FALSE(part<QTimer>(*w, "Timer1")->isActive());
    EXPECT_EQ(part<TFlatPanel>(*w, "panel_wait")->caption(), "Posting Score, Please Wait.");
}

TEST_F(MainWindowTest, PlaysAWholeRoundWithTheMouse)
{
    // Before a round, board and cards ignore clicks.
    clickslot(0);
    QTest::mouseClick(card(1, 1, 1), Qt::LeftButton);
    EXPECT_TRUE(cues.isEmpty());

    QTest::mouseClick(part<TImageButton>(*w, "button_start"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(cues, QStringList({"turnnew"}));
    EXPECT_FALSE(shown(part<TImageButton>(*w, "button_start")));
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_name")));
    EXPECT_FALSE(shown(part<QLabel>(*w, "image_moxball")));
    EXPECT_EQ(part<QLabel>(*w, "label_bigball")->text(), "");
    EXPECT_EQ(part<QLabel>(*w, "label_name")->text(), "Good Luck " + part<QLineEdit>(*w, "edit_name")->text());
    EXPECT_EQ(state().moxcount, 0);
    EXPECT_EQ(part<QLabel>(*w, "image_mox")->accessibleName(), "Bingo Mox");
    EXPECT_EQ(card(3, 3, 3)->text(), "X");
    EXPECT_EQ(textcolour(card(3, 3, 3)), QColor(Qt::red));
    EXPECT_EQ(textcolour(card(1, 1, 1)), QColor(Qt::black));
    EXPECT_EQ(card(1, 1, 1)->text(), QString::number(state().tag(1, 1, 1)));
    EXPECT_NE(state().tag(1, 1, 1), 0);
    EXPECT_EQ(state().tag(2, 3, 3), 0);

    // Reveal a numbered ball that stands on a card.
    int slot = findslot([this](const ballwick::Ball &b) { return b.number != 77 && cellwith(b.number); });
    ASSERT_GE(slot, 0);
    const int number = state().balls[slot].number;
    cues.clear();
    clickslot(slot);
    EXPECT_EQ(cues, QStringList({"replace"}));
    EXPECT_EQ(part<QLabel>(*w, "label_bigball")->text(), QString::fromStdString(Engine::ballcaption(number)));
    EXPECT_FALSE(shown(part<QLabel>(*w, "image_moxball")));
    EXPECT_TRUE(shown(part<TFlatPanel>(*w, "panel_bigball")));

    // The same ball again is refused.
    cues.clear();
    clickslot(slot);
    EXPECT_EQ(cues, QStringList({"invalid"}));

    // A number whose ball is still hidden is refused and stays as it is.
    int hiddenSlot = findslot([this](const ballwick::Ball &b) { return b.number != 77 && !b.revealed && cellwith(b.number); });
    ASSERT_GE(hiddenSlot, 0);
    QLabel *hiddenCell = cellwith(state().balls[hiddenSlot].number);
    const QString hiddenCaption = hiddenCell->text();
    cues.clear();
    QTest::mouseClick(hiddenCell, Qt::LeftButton);
    EXPECT_EQ(cues, QStringList({"invalid"}));
    EXPECT_EQ(hiddenCell->text(), hiddenCaption);

    // Daub the revealed number.
    QLabel *cell = cellwith(number);
    cues.clear();
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_EQ(cues, QStringList({"placecard"}));
    EXPECT_EQ(cell->text(), "X");
    EXPECT_EQ(textcolour(cell), QColor(Qt::red));
    int cellcard = 0, cellcolumn = 0, cellrow = 0;
    ASSERT_TRUE(ballwick::parsecellobjectname(cell->objectName().toStdString(), cellcard, cellcolumn, cellrow));
    EXPECT_EQ(state().tag(cellcard, cellcolumn, cellrow), 0);
    EXPECT_EQ(part<QLabel>(*w, "label_score")->text(), QString("Score: %1").arg(state().score));
    EXPECT_GE(state().score, 4);

    // Daubing it again, or a free centre, is refused.
    cues.clear();
    QTest::mouseClick(cell, Qt::LeftButton);
    QTest::mouseClick(card(2, 3, 3), Qt::LeftButton);
    EXPECT_EQ(cues, QStringList({"invalid", "invalid"}));

    // The thief's balls: one, two, three faces; the third ends the round.
    for (int found = 1; found <= 3; ++found) {
        const int thief = findslot([](const ballwick::Ball &b) { return b.number == 77 && !b.revealed; });
        ASSERT_GE(thief, 0);
        cues.clear();
        clickslot(thief);
        EXPECT_EQ(state().moxcount, found);
        EXPECT_EQ(part<QLabel>(*w, "image_mox")->accessibleName(),
                  QString("Bingo Mox balls found: %1 of 3").arg(found));
        EXPECT_TRUE(shown(part<QLabel>(*w, "image_moxball")));
        EXPECT_EQ(part<QLabel>(*w, "label_bigball")->text(), "");
        if (found < 3) {
            EXPECT_EQ(cues, QStringList({"roundover"}));
        }
    }
    EXPECT_EQ(cues, QStringList({"roundover", "winner"}));

    // The end-of-round panel.
    EXPECT_FALSE(state().roundactive);
    EXPECT_TRUE(shown(part<TFlatPanel>(*w, "panel_cleared")));
    EXPECT_TRUE(shown(part<TImageButton>(*w, "button_start")));
    EXPECT_TRUE(shown(part<TImageButton>(*w, "button_sendscore")));
    const QObjectList order = part<TFlatPanel>(*w, "panel_board1")->children();
    EXPECT_GT(order.indexOf(part<TFlatPanel>(*w, "panel_cleared")), order.indexOf(part<TFlatPanel>(*w, "panel_theboard"))); // brought to the front
    ASSERT_GE(part<QListWidget>(*w, "listbox_scores")->count(), 1);
    EXPECT_EQ(part<QListWidget>(*w, "listbox_scores")->item(0)->text(), "Covered: 4");
    EXPECT_EQ(part<QLabel>(*w, "label_score")->text(), QString("Score: %1").arg(state().score));
    EXPECT_EQ(part<QLabel>(*w, "label_score1")->text(), QString("Your Score: %1").arg(state().score));
    // Its score line and name box took their own sizes as the panel showed,
    // tall enough for the text.
    EXPECT_EQ(part<QLabel>(*w, "label_score1")->font().pointSize(), 18);
    EXPECT_TRUE(part<QLabel>(*w, "label_score1")->font().bold());
    EXPECT_GE(part<QLabel>(*w, "label_score1")->height(), QFontMetrics(part<QLabel>(*w, "label_score1")->font()).height());
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->font().pointSize(), 12);
    for (int c = 1; c <= 3; ++c)
        for (int col = 1; col <= 5; ++col)
            for (int row = 1; row <= 5; ++row) {
                QLabel *l = card(c, col, row);
                if (state().tag(c, col, row) == 0) {
                    EXPECT_EQ(l->text(), "X");
                    EXPECT_EQ(textcolour(l), QColor(Qt::red));
                } else {
                    EXPECT_EQ(l->text(), QString::number(state().tag(c, col, row)));
                    EXPECT_EQ(textcolour(l), QColor(0x80, 0x80, 0x80));
                }
            }

    // After the round, clicks on board and cards do nothing.
    cues.clear();
    clickslot(findslot([](const ballwick::Ball &b) { return !b.revealed; }));
    QTest::mouseClick(card(1, 1, 1), Qt::LeftButton);
    EXPECT_TRUE(cues.isEmpty());

    // Cancel hides the panel and leaves the cards; Ctrl+S starts again.
    QTest::mouseClick(part<TImageButton>(*w, "button_cancel"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_FALSE(shown(part<TFlatPanel>(*w, "panel_cleared")));
    EXPECT_EQ(cell->text(), "X");
    const QString lastScore = part<QLabel>(*w, "label_score")->text();
    part<QAction>(*w, "StartGame1")->trigger();
    EXPECT_EQ(cues, QStringList({"turnnew"}));
    EXPECT_TRUE(state().roundactive);
    EXPECT_EQ(state().moxcount, 0);
    EXPECT_EQ(part<QLabel>(*w, "image_mox")->accessibleName(), "Bingo Mox");
    EXPECT_EQ(part<QLabel>(*w, "label_score")->text(), lastScore); // kept until the first daub
}

TEST_F(MainWindowTest, BoardEdgesAndReleasesOffTheBoard)
{
    part<QAction>(*w, "StartGame1")->trigger();
    // The last pixel of the paint box is slot 74; X = 40, Y = 0 is slot 5.
    QTest::mouseClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {}, QPoint(597, 197));
    EXPECT_EQ(state().balls[74].revealed, 1);
    QTest::mouseClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::RightButton, {}, QPoint(40, 0));
    EXPECT_EQ(state().balls[5].revealed, 1);

    // A press on the board released beside it reveals nothing.
    int before = 0;
    for (const auto &b : state().balls)
        before += b.revealed;
    QTest::mousePress(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {}, QPoint(-15, 10));
    QTest::mousePress(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {}, QPoint(10, 190));
    QTest::mouseRelease(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {}, QPoint(10, 230));
    int after = 0;
    for (const auto &b : state().balls)
        after += b.revealed;
    EXPECT_EQ(after, before);
}

TEST_F(MainWindowTest, BoardPaintsEverySlotFromItsState)
{
    auto slotImage = [this](int slot) {
        return part<Tpaintbox>(*w, "paintbox_board")->grab(QRect(ballwick::slotleft(slot), ballwick::slottop(slot), 38, 38)).toImage();
    };
    auto pictureImage = [this](int picture) {
        return w->imagelist_balls(picture).copy(0, 0, 38, 38).toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(slotImage(12).convertToFormat(QImage::Format_RGB32), pictureImage(0));
    part<QAction>(*w, "StartGame1")->trigger();
    EXPECT_EQ(slotImage(12).convertToFormat(QImage::Format_RGB32), pictureImage(76));
    clickslot(12);
    EXPECT_EQ(slotImage(12).convertToFormat(QImage::Format_RGB32), pictureImage(state().balls[12].number));
}

TEST_F(MainWindowTest, SoundsOffMeansNoCues)
{
    part<QAction>(*w, "PlaySounds1")->trigger();
    EXPECT_FALSE(part<QAction>(*w, "PlaySounds1")->isChecked());
    part<QAction>(*w, "StartGame1")->trigger();
    clickslot(0);
    EXPECT_TRUE(cues.isEmpty());
    part<QAction>(*w, "PlaySounds1")->trigger();
    clickslot(0);
    EXPECT_EQ(cues, QStringList({"invalid"}));
}

TEST_F(MainWindowTest, MinimumClientSizeAndCentredPlayArea)
{
    QWidget *client = w->centralWidget();
    w->resize(200, 200);
    QTest::qWait(1);
    EXPECT_GE(client->width(), 763);
    EXPECT_GE(client->height(), 493);

    w->resize(1200, 900);
    QTest::qWait(1);
    const QRect board = part<TFlatPanel>(*w, "panel_board")->geometry();
    EXPECT_EQ(board.size(), QSize(758, 488));
    EXPECT_LE(std::abs(board.center().x() - client->width() / 2), 1);
    EXPECT_LE(std::abs(board.center().y() - client->height() / 2), 1);

    part<QAction>(*w, "ResetScreenLocation1")->trigger();
    EXPECT_EQ(w->width(), 780);
    EXPECT_GE(client->height(), 493); // 491 is raised by the minimum size
}

TEST_F(MainWindowTest, CloseShrinksAWindowWiderThanTheWorkAreaByThreePixels)
{
    const QRect work = w->screen()->availableGeometry();
    w->resize(work.width() + 50, 600);
    const int wide = w->width();
    w->FormClose();
    EXPECT_EQ(w->width(), wide - 3);
    EXPECT_EQ(w->loadedgeometry().width(), wide - 3);
    EXPECT_EQ(w->loadedgeometry().left(), w->x());

    // Unchanged bounds skip the test and keep the loaded values (the close
    // above took the new bounds as the loaded ones).
    ASSERT_EQ(w->loadedgeometry().size(), w->size());
    const int keep = w->width();
    w->FormClose();
    EXPECT_EQ(w->width(), keep);
    EXPECT_TRUE(errors.isEmpty());
}

TEST(InstanceMutex, HeldWhileRunningAndNeverExclusive)
{
    const QString name = QStringLiteral("ballwick-test-%1").arg(QCoreApplication::applicationPid());
    ballwick::InstanceMutex first(name);
    ballwick::InstanceMutex second(name); // a second copy starts like the first
    EXPECT_TRUE(first.isopen());
    EXPECT_TRUE(second.isopen());
    EXPECT_EQ(first.systemname(), "/" + name);
    sem_unlink(first.systemname().toLocal8Bit().constData());
}

TEST(Pictures, MissingPictureGivesAStandInOfTheAskedSize)
{
    const QPixmap p = ballwick::picture(":/images/no-such-picture.png", QSize(40, 40));
    EXPECT_EQ(p.size(), QSize(40, 40));
}

// The board's pixels and the card cells' object names belong to the window.
TEST(BoardLayout, PointsMapToSlotsDownEachColumn)
{
    EXPECT_EQ(ballwick::slotat(597, 197), 74);
    EXPECT_EQ(ballwick::slotat(40, 0), 5);
    EXPECT_EQ(ballwick::slotat(0, 0), 0);
    EXPECT_EQ(ballwick::slotat(39, 79), 1);
    EXPECT_EQ(ballwick::slotleft(74), 560);
    EXPECT_EQ(ballwick::slottop(74), 160);

    // Releases off the board pick nothing, including those just left of or above it.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 5}, {-39, 5}, {5, -1}, {5, -39}, {598, 5}, {5, 198},
                                                         {598, 197}, {600, 100}, {100, 1000}})
        EXPECT_EQ(ballwick::slotat(x, y), -1) << x << ", " << y;
}

TEST(BoardLayout, SlotsPaintFaceDownUntilTurnedOver)
{
    using ballwick::Ball;
    EXPECT_EQ(ballwick::ballpicture(Ball{0, 0}), ballwick::picture_empty);
    EXPECT_EQ(ballwick::ballpicture(Ball{12, 0}), ballwick::picture_hidden);
    EXPECT_EQ(ballwick::ballpicture(Ball{77, 0}), ballwick::picture_hidden);
    EXPECT_EQ(ballwick::ballpicture(Ball{12, 1}), 12);
    EXPECT_EQ(ballwick::ballpicture(Ball{77, 1}), ballwick::picture_thief);
}

TEST(BoardLayout, CellNamesCarryCardColumnAndRow)
{
    EXPECT_EQ(ballwick::cellobjectname(2, 1, 3), "label_card213");
    int card = 0, column = 0, row = 0;
    EXPECT_TRUE(ballwick::parsecellobjectname("label_card355", card, column, row));
    EXPECT_EQ(card * 100 + column * 10 + row, 355);
    for (const char *bad : {"label_card013", "label_card413", "label_card163", "label_card150", "label_card21",
                            "label_card2134", "label_cardx13", "Label_card213", ""})
        EXPECT_FALSE(ballwick::parsecellobjectname(bad, card, column, row)) << bad;
}

} // namespace
