// The main window played from the keyboard alone: the same seeded round played
// by keys and by mouse ends alike; the board's and the cards' cursors, the Tab
// order, Space and Enter on buttons, the focus ring and Escape.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/appdirs.h"
#include "app/pictures.h"
#include "app/tmain.h"
#include "mainwindowtest.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"
#include "widgets/focusring.h"
#include "widgets/tflatpanel.h"
#include "widgets/tselbutton.h"

using ballwick::test::part;

using ballwick::Engine;

namespace {

constexpr std::uint32_t seed = 20261207;

// What a round leaves behind: the award list, the score, the cues heard and the
// tally's counters and first rank.
struct Outcome {
    QStringList awards;
    int score = 0;
    QString scoreline;
    QStringList cues;
    QStringList tally;
};

class KeyboardTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        close();
    }

    // A fresh main window with its tally list, in a folder of its own, shown and active.
    void open()
    {
        close();
        dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir->isValid());
        w = std::make_unique<Tmain>(fakes.in(dir->path()));
        tally = std::make_unique<Ttallylist>(w.get(), fakes.dialogs, fakes.services.places.data);
        w->setwindows(tally.get(), nullptr, nullptr, nullptr, nullptr);
        w->engine().random().setseed(seed);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        cues.clear();
    }

    // A first run shows the quick instructions over everything: Enter
    // dismisses them, as a player would.
    void dismissInstructions()
    {
        ASSERT_TRUE(part<TFlatPanel>(*w, "panel_instructions")->isVisibleTo(w.get()));
        key(Qt::Key_Return);
        ASSERT_FALSE(part<TFlatPanel>(*w, "panel_instructions")->isVisibleTo(w.get()));
    }

    void close()
    {
        tally.reset();
        w.reset();
        dir.reset();
    }

    const ballwick::GameState &state() { return w->engine().state(); }
    static QWidget *focus() { return QApplication::focusWidget(); }
    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QWidget *target = focus() ? focus() : w.get();
        QTest::keyClick(target, Qt::Key(k), mods);
    }
    void keys(int k, int times)
    {
        for (int i = 0; i < times; ++i)
            key(k);
    }
    Tcardbox *cardbox(int card) { return card == 1 ? part<Tcardbox>(*w, "Image1") : card == 2 ? part<Tcardbox>(*w, "Image2") : part<Tcardbox>(*w, "Image3"); }

    // Steps along one axis of a wrapping grid by the shorter way.
    void stepto(int from, int to, int size, int forward, int back)
    {
        const int ahead = (to - from + size) % size;
        if (ahead <= size / 2)
            keys(forward, ahead);
        else
            keys(back, size - ahead);
    }

    // By keys: from the board, the cursor to the slot and Space.
    void revealbykeys(int slot)
    {
        ASSERT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));
        const int at = part<Tpaintbox>(*w, "paintbox_board")->cursorSlot();
        stepto(at / 5, slot / 5, 15, Qt::Key_Right, Qt::Key_Left);
        stepto(at % 5, slot % 5, 5, Qt::Key_Down, Qt::Key_Up);
        ASSERT_EQ(part<Tpaintbox>(*w, "paintbox_board")->cursorSlot(), slot);
        key(Qt::Key_Space);
    }

    // By keys: Tab from the board to the card, the cursor to the cell, Enter,
    // and Shift+Tab back to the board.
    void daubbykeys(int card, int column, int row)
    {
        ASSERT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));
        keys(Qt::Key_Tab, card);
        Tcardbox *box = cardbox(card);
        ASSERT_EQ(focus(), box);
        stepto(box->cursorColumn() - 1, column - 1, 5, Qt::Key_Right, Qt::Key_Left);
        stepto(box->cursorRow() - 1, row - 1, 5, Qt::Key_Down, Qt::Key_Up);
        key(Qt::Key_Return);
        for (int i = 0; i < card; ++i)
            key(Qt::Key_Tab, Qt::ShiftModifier);
        ASSERT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));
    }

    // One whole round: the slots in a fixed order (every seventh, which visits
    // them all), each revealed number daubed on every card that holds it, until
    // the third thief ball ends the round.
    Outcome play(bool bykeys)
    {
        open();
        dismissInstructions();
        if (bykeys) {
            key(Qt::Key_S, Qt::ControlModifier);
            EXPECT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));
        } else {
            QTest::mouseClick(part<TImageButton>(*w, "button_start"), Qt::LeftButton, {}, QPoint(60, 20));
        }
        EXPECT_TRUE(state().roundactive);
        for (int k = 0; k < ballwick::slotcount && state().roundactive; ++k) {
            const int slot = (k * 7) % ballwick::slotcount;
            if (bykeys)
                revealbykeys(slot);
            else
                QTest::mouseClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::LeftButton, {},
                                  QPoint(ballwick::slotleft(slot) + 20, ballwick::slottop(slot) + 20));
            const int number = state().balls[slot].number;
            if (!state().roundactive || number == 77)
                continue;
            for (int c = 1; c <= 3; ++c)
                for (int col = 1; col <= 5; ++col)
                    for (int row = 1; row <= 5; ++row)
                        if (state().tag(c, col, row) == number) {
                            if (bykeys)
                                daubbykeys(c, col, row);
                            else
                                QTest::mouseClick(w->cardlabel(c, col, row), Qt::LeftButton);
                        }
        }
        EXPECT_FALSE(state().roundactive);
        Outcome out;
        for (int i = 0; i < part<QListWidget>(*w, "listbox_scores")->count(); ++i)
            out.awards << part<QListWidget>(*w, "listbox_scores")->item(i)->text();
        out.score = state().score;
        out.scoreline = part<QLabel>(*w, "label_score1")->text();
        out.cues = cues;
        for (int i = 1; i <= 12; ++i)
            out.tally << tally->findChild<QLabel *>(QStringLiteral("mylabel_%1").arg(i))->text();
        out.tally << tally->findChild<QLabel *>("label_high1")->text()
                  << tally->findChild<QLabel *>("label_name1")->text();
        return out;
    }

    // Pixels of the ring's yellow in a picture.
    static int ringpixels(const QImage &image, const QRect &area)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.pixelColor(x, y) == ballwick::ringColour;
        return n;
    }

    ballwick::test::TestServices fakes;
    QStringList &cues = fakes.cues.cues;
    QStringList &errors = fakes.dialogs.errors;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Tmain> w;
    std::unique_ptr<Ttallylist> tally;
};

TEST_F(KeyboardTest, ARoundByKeysEndsAsTheSameRoundByMouse)
{
    const Outcome mouse = play(false);
    const Outcome keyboard = play(true);
    ASSERT_GE(mouse.awards.size(), 1);
    EXPECT_TRUE(mouse.awards.first().startsWith("Covered: "));
    EXPECT_GT(mouse.score, 3); // some numbers were daubed
    EXPECT_EQ(keyboard.awards, mouse.awards);
    EXPECT_EQ(keyboard.score, mouse.score);
    EXPECT_EQ(keyboard.scoreline, mouse.scoreline);
    EXPECT_EQ(keyboard.cues, mouse.cues);
    EXPECT_EQ(keyboard.tally, mouse.tally);
    EXPECT_EQ(keyboard.tally.at(0), "1");
    EXPECT_EQ(keyboard.tally.at(12), QString::number(mouse.score));

    // The keyboard goes on from SEND SCORE; Escape closes the panel as CANCEL.
    EXPECT_EQ(focus(), part<TImageButton>(*w, "button_sendscore"));
    key(Qt::Key_Escape);
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(KeyboardTest, BoardAndCardCursorsWrapAtTheEdges)
{
    open();
    dismissInstructions();
    key(Qt::Key_S, Qt::ControlModifier);
    Tpaintbox *board = part<Tpaintbox>(*w, "paintbox_board");
    ASSERT_EQ(focus(), board);
    EXPECT_EQ(board->cursorSlot(), 0);
    key(Qt::Key_Up); // row 0 to row 4
    EXPECT_EQ(board->cursorSlot(), 4);
    key(Qt::Key_Left); // column 0 to column 14
    EXPECT_EQ(board->cursorSlot(), 74);
    key(Qt::Key_Down);
    EXPECT_EQ(board->cursorSlot(), 70);
    key(Qt::Key_Right);
    EXPECT_EQ(board->cursorSlot(), 0);
    EXPECT_EQ(state().balls[0].revealed + state().balls[74].revealed, 0); // moving reveals nothing

    // Enter (also the keypad's) reveals as a click, twice is refused as a click is.
    cues.clear();
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(state().balls[0].revealed, 1);
    key(Qt::Key_Return);
    ASSERT_GE(cues.size(), 2);
    EXPECT_EQ(cues.last(), "invalid");

    key(Qt::Key_Tab);
    Tcardbox *card = part<Tcardbox>(*w, "Image1");
    ASSERT_EQ(focus(), card);
    EXPECT_TRUE(static_cast<TImageButton *>(w->cardlabel(1, 1, 1))->cursorRing());
    key(Qt::Key_Left);
    key(Qt::Key_Up);
    EXPECT_EQ(card->cursorColumn(), 5);
    EXPECT_EQ(card->cursorRow(), 5);
    EXPECT_FALSE(static_cast<TImageButton *>(w->cardlabel(1, 1, 1))->cursorRing());
    EXPECT_TRUE(static_cast<TImageButton *>(w->cardlabel(1, 5, 5))->cursorRing());
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(card->cursorColumn(), 1);
    EXPECT_EQ(card->cursorRow(), 1);
    // The free centre refuses a daub from the keyboard as from the mouse.
    card->setCursorCell(3, 3);
    cues.clear();
    key(Qt::Key_Space);
    EXPECT_EQ(cues, QStringList({"invalid"}));
    // Leaving the card takes its ring away.
    key(Qt::Key_Tab);
    EXPECT_FALSE(static_cast<TImageButton *>(w->cardlabel(1, 3, 3))->cursorRing());
}

TEST_F(KeyboardTest, TabGoesBoardCardsThenTheVisibleButtons)
{
    open();
    // Before a round the name panel and START GAME show (and on a first run
    // the quick instructions, with their DONE last).
    ASSERT_TRUE(part<TFlatPanel>(*w, "panel_instructions")->isVisibleTo(w.get()));
    w->Image7Click();
    part<Tpaintbox>(*w, "paintbox_board")->setFocus(Qt::TabFocusReason);
    QList<QWidget *> forward;
    for (int i = 0; i < 7; ++i) {
        forward << focus();
        key(Qt::Key_Tab);
    }
    const QList<QWidget *> expected{part<Tpaintbox>(*w, "paintbox_board"), part<Tcardbox>(*w, "Image1"),     part<Tcardbox>(*w, "Image2"),          part<Tcardbox>(*w, "Image3"),
                                    part<TImageButton>(*w, "button_start"),   part<QLineEdit>(*w, "edit_aname"), part<TImageButton>(*w, "button_namedone")};
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board")); // round again
    QList<QWidget *> back;
    for (int i = 0; i < 7; ++i) {
        key(Qt::Key_Tab, Qt::ShiftModifier);
        back.prepend(focus());
    }
    EXPECT_EQ(back, expected);

    // Space on START GAME starts the round and puts the focus on the board.
    part<TImageButton>(*w, "button_start")->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    EXPECT_TRUE(state().roundactive);
    EXPECT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));
    // During the round only the board and the cards are reached.
    for (QWidget *expect : {static_cast<QWidget *>(part<Tcardbox>(*w, "Image1")), static_cast<QWidget *>(part<Tcardbox>(*w, "Image2")),
                            static_cast<QWidget *>(part<Tcardbox>(*w, "Image3")), static_cast<QWidget *>(part<Tpaintbox>(*w, "paintbox_board"))}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), expect) << (focus() ? focus()->objectName().toStdString() : "none");
    }
}

TEST_F(KeyboardTest, RingShowsOnlyOnceTheKeyboardIsUsedAndIsClearAtBothScales)
{
    open();
    QTest::mouseClick(part<TImageButton>(*w, "button_start"), Qt::LeftButton, {}, QPoint(60, 20));
    Tpaintbox *board = part<Tpaintbox>(*w, "paintbox_board");
    EXPECT_EQ(focus(), board);
    auto render = [board](qreal scale) {
        QImage image(board->size() * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        board->render(&image);
        return image;
    };
    const QRect whole(QPoint(0, 0), board->size());
    // Played with the mouse, the board looks as it always did.
    EXPECT_EQ(ringpixels(render(1), whole), 0);

    key(Qt::Key_Right); // slot 5: column 1, row 0
    ASSERT_EQ(board->cursorSlot(), 5);
    const QImage one = render(1);
    const QRect slot5(40, 0, 40, 40);
    // A band two pixels wide on every side of the slot, and nothing elsewhere.
    EXPECT_EQ(ringpixels(one, slot5), 4 * 38 * 2 - 4 * 4);
    EXPECT_EQ(ringpixels(one, whole), ringpixels(one, slot5));
    for (QPoint p : {QPoint(41, 20), QPoint(42, 20), QPoint(78, 20), QPoint(60, 1), QPoint(60, 38)})
        EXPECT_EQ(one.pixelColor(p), ballwick::ringColour) << p.x() << "," << p.y();
    // Doubled, the band is four device pixels wide.
    const QImage two = render(2);
    for (int x = 82; x < 86; ++x)
        EXPECT_EQ(two.pixelColor(x, 40), ballwick::ringColour) << x;
    EXPECT_NE(two.pixelColor(81, 40), ballwick::ringColour);
    EXPECT_NE(two.pixelColor(87, 40), ballwick::ringColour);

    // Another widget takes the focus: the board's ring goes.
    key(Qt::Key_Tab);
    EXPECT_EQ(ringpixels(render(1), whole), 0);
    // The focused card shows the ring on its cursor's cell.
    QWidget *cell = w->cardlabel(1, 1, 1);
    const QImage cellImage = cell->grab().toImage();
    EXPECT_GT(ringpixels(cellImage, QRect(QPoint(0, 0), cellImage.size())), 0);
}

TEST_F(KeyboardTest, PictureAndCaptionButtonsFireOnSpaceAndEnter)
{
    open();
    dismissInstructions();
    // The name panel's DONE from the keyboard.
    part<QLineEdit>(*w, "edit_aname")->setText("Keys");
    part<TImageButton>(*w, "button_namedone")->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Return);
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Keys");
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_name")->isVisibleTo(w.get()));
    // A click does not move the focus (mouse play is as before).
    part<Tpaintbox>(*w, "paintbox_board")->setFocus();
    QTest::mouseClick(part<TImageButton>(*w, "button_start"), Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(focus(), part<Tpaintbox>(*w, "paintbox_board"));

    // A caption button: Tab reaches it, Space and Enter fire it, a disabled one never.
    QWidget window;
    auto *first = new TSelButton(&window);
    auto *second = new TSelButton(&window);
    second->move(0, 30);
    int clicks = 0;
    QObject::connect(second, &TSelButton::clicked, [&clicks] { ++clicks; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus(Qt::TabFocusReason);
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_EQ(focus(), second);
    QTest::keyClick(second, Qt::Key_Space);
    QTest::keyClick(second, Qt::Key_Return);
    QTest::keyClick(second, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
    second->setEnabled(false);
    second->click();
    EXPECT_EQ(clicks, 2);
    second->setEnabled(true);
    second->setFocus(Qt::TabFocusReason);
    const QImage ringed = second->grab().toImage();
    EXPECT_EQ(ringed.pixelColor(1, 10), ballwick::ringColour);
}

TEST_F(KeyboardTest, EscapeHidesTheTopmostOverlayAsItsButtonWould)
{
    open();
    // A first run: the quick instructions lie over the name panel and look
    // after their own keys.
    ASSERT_TRUE(part<TFlatPanel>(*w, "panel_instructions")->isVisibleTo(w.get()));
    w->setFocus();
    key(Qt::Key_Escape);
    EXPECT_TRUE(part<TFlatPanel>(*w, "panel_name")->isVisibleTo(w.get()));
    w->Image7Click();

    part<QLineEdit>(*w, "edit_aname")->setText("Esc");
    part<QLineEdit>(*w, "edit_aname")->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Escape); // the name panel, as DONE: the name is taken
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_name")->isVisibleTo(w.get()));
    EXPECT_EQ(part<QLineEdit>(*w, "edit_name")->text(), "Esc");

    // Change Name raises the name panel over the end-of-round panel: Escape
    // takes the name panel first, then the end-of-round panel as CANCEL.
    part<QAction>(*w, "StartGame1")->trigger();
    w->engine().done();
    ASSERT_TRUE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    part<QAction>(*w, "ChangeName1")->trigger();
    key(Qt::Key_Escape);
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_name")->isVisibleTo(w.get()));
    EXPECT_TRUE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    key(Qt::Key_Escape);
    EXPECT_FALSE(part<TFlatPanel>(*w, "panel_cleared")->isVisibleTo(w.get()));
    key(Qt::Key_Escape); // nothing left to hide
    EXPECT_TRUE(w->isVisible());
}

TEST_F(KeyboardTest, EscapeClosesTheSecondaryWindowsAsTheirDoneDoes)
{
    open();
    Tabout about(w.get(), fakes.links);
    Thelp help(w.get());
    Tmultiplayer multiplayer(w.get(), fakes.links);
    Thighscore highscore(w.get(), fakes.links, fakes.services.server, fakes.services.places.data);
    for (QWidget *window : {static_cast<QWidget *>(tally.get()), static_cast<QWidget *>(&about),
                            static_cast<QWidget *>(&help), static_cast<QWidget *>(&multiplayer),
                            static_cast<QWidget *>(&highscore)}) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
    EXPECT_TRUE(w->isVisible());
}

} // namespace
