// The main window as a screen reader sees it: the named buttons, the board's
// 75 slots and the cards' 75 cells with their names, roles and actions, and the
// changes they announce during a round; the tally list and the help read in
// order. The announcements are taken from the program's event recorder: Qt
// itself passes events on only while a screen reader is listening.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/appdirs.h"
#include "app/pictures.h"
#include "app/tmain.h"
#include "mainwindowtest.h"
#include "screens/thelp.h"
#include "tally/ttallylist.h"
#include "widgets/accessible.h"
#include "widgets/tflatpanel.h"

using ballwick::test::part;

using ballwick::Engine;

namespace {

struct Announcement {
    QAccessible::Event type;
    QObject *object;
    QString name;
};

// Writes down the window's announcements while `recording` is set, and passes
// them on to Qt as the program does.
struct RecordingEvents : ballwick::QtAccessibleEvents
{
    QList<Announcement> *recording = nullptr;

    void notify(QAccessibleEvent *event) override
    {
        if (recording && event->type() != QAccessible::ObjectDestroyed) {
            Announcement a{event->type(), event->object(), QString()};
            if (QAccessibleInterface *iface = event->accessibleInterface())
                a.name = iface->text(QAccessible::Name);
            recording->append(a);
        }
        QtAccessibleEvents::notify(event);
    }
};

QAccessibleInterface *iface(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// Every interface under root, depth first, in reading order.
void walk(QAccessibleInterface *root, QList<QAccessibleInterface *> &out)
{
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (!child)
            continue;
        out << child;
        walk(child, out);
    }
}

QStringList childNames(QAccessibleInterface *parent)
{
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i)
        names << parent->child(i)->text(QAccessible::Name);
    return names;
}

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ballwick::MainServices services = fakes.in(dir.path());
        services.accessibility = &recorder;
        w = std::make_unique<Tmain>(services);
        tally = std::make_unique<Ttallylist>(w.get(), fakes.dialogs, fakes.services.places.data);
        w->setwindows(tally.get(), nullptr, nullptr, nullptr, nullptr);
        w->engine().random().setseed(4711);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        recorder.recording = &events;
    }

    void TearDown() override
    {
        recorder.recording = nullptr;
        tally.reset();
        w.reset();
    }

    const ballwick::GameState &state() { return w->engine().state(); }
    QAccessibleInterface *slot(int s) { return iface(part<Tpaintbox>(*w, "paintbox_board"))->child(s); }
    int findslot(auto pred)
    {
        for (int s = 0; s < ballwick::slotcount; ++s)
            if (pred(state().balls[s]))
                return s;
        return -1;
    }
    bool announced(QAccessible::Event type, QObject *object, const QString &text)
    {
        for (const Announcement &a : events)
            if (a.type == type && a.object == object && a.name == text)
                return true;
        return false;
    }
    static void press(QAccessibleInterface *item)
    {
        ASSERT_TRUE(item->actionInterface());
        ASSERT_TRUE(item->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }

    QTemporaryDir dir;
    QList<Announcement> events;
    ballwick::test::TestServices fakes;
    RecordingEvents recorder;
    std::unique_ptr<Tmain> w;
    std::unique_ptr<Ttallylist> tally;
};

TEST_F(AccessibilityTest, ButtonsAreNamedByTheirWords)
{
    struct Named {
        QWidget *button;
        const char *word;
    };
    for (const Named &n : {Named{part<TImageButton>(*w, "button_start"), "START GAME"}, Named{part<TImageButton>(*w, "button_sendscore"), "SEND SCORE"},
                           Named{part<TImageButton>(*w, "button_highscores"), "HIGH SCORES"}, Named{part<TImageButton>(*w, "button_cancel"), "CANCEL"},
                           Named{part<TImageButton>(*w, "button_namedone"), "DONE"}, Named{part<TImageButton>(*w, "Image7"), "DONE"},
                           Named{part<TImageButton>(*w, "button_updateyes"), "OK"}, Named{part<TImageButton>(*w, "button_updatecancel"), "CANCEL"}}) {
        QAccessibleInterface *b = iface(n.button);
        ASSERT_NE(b, nullptr) << n.word;
        EXPECT_EQ(b->role(), QAccessible::Button) << n.word;
        EXPECT_EQ(b->text(QAccessible::Name), n.word);
        EXPECT_TRUE(b->state().focusable) << n.word;
    }
    // The reader's press is a click.
    press(iface(part<TImageButton>(*w, "button_start")));
    EXPECT_TRUE(state().roundactive);
    // The tally list's buttons carry their words too.
    QStringList tallyButtons;
    QList<QAccessibleInterface *> all;
    walk(iface(tally.get()), all);
    for (QAccessibleInterface *i : all)
        if (i->role() == QAccessible::Button)
            tallyButtons << i->text(QAccessible::Name);
    EXPECT_EQ(tallyButtons, QStringList({"Reset", "Done"}));
}

TEST_F(AccessibilityTest, BoardSlotsAndCardCellsAreItemsWithTheirStates)
{
    QAccessibleInterface *board = iface(part<Tpaintbox>(*w, "paintbox_board"));
    EXPECT_EQ(board->role(), QAccessible::List);
    EXPECT_EQ(board->text(QAccessible::Name), "Ball board");
    ASSERT_EQ(board->childCount(), 75);
    EXPECT_EQ(slot(11)->text(QAccessible::Name), "Ball slot 12, empty");
    EXPECT_EQ(slot(11)->role(), QAccessible::ListItem);
    EXPECT_EQ(slot(11)->parent(), board);
    EXPECT_EQ(board->indexOfChild(slot(11)), 11);
    EXPECT_EQ(slot(11), slot(11)); // one interface per slot

    part<QAction>(*w, "StartGame1")->trigger();
    EXPECT_EQ(slot(11)->text(QAccessible::Name), "Ball slot 12, hidden");
    EXPECT_TRUE(slot(0)->state().focused); // the board took the focus, its cursor on slot 1
    EXPECT_FALSE(slot(11)->state().focused);
    EXPECT_EQ(board->focusChild(), slot(0));
    const QRect r = slot(11)->rect();
    EXPECT_EQ(r.size(), QSize(40, 40));
    EXPECT_EQ(board->childAt(r.center().x(), r.center().y()), slot(11));

    const int numbered = findslot([](const ballwick::Ball &b) { return b.number != 77; });
    press(slot(numbered));
    const QString caption = QString::fromStdString(Engine::ballcaption(state().balls[numbered].number));
    EXPECT_EQ(slot(numbered)->text(QAccessible::Name), QString("Ball slot %1: %2").arg(numbered + 1).arg(caption));
    const int thief = findslot([](const ballwick::Ball &b) { return b.number == 77; });
    press(slot(thief));
    EXPECT_EQ(slot(thief)->text(QAccessible::Name), QString("Ball slot %1: Bingo Mox ball").arg(thief + 1));

    // A card is a group of its 25 cells, row by row, and the cells are found under it only.
    QAccessibleInterface *card = iface(part<Tcardbox>(*w, "Image2"));
    EXPECT_EQ(card->role(), QAccessible::Grouping);
    EXPECT_EQ(card->text(QAccessible::Name), "Card 2");
    ASSERT_EQ(card->childCount(), 25);
    QAccessibleInterface *g3 = card->child(2 * 5 + 3); // row 3, column 4
    EXPECT_EQ(g3->object(), w->cardlabel(2, 4, 3));
    EXPECT_EQ(g3->text(QAccessible::Name), QString("Card 2, G column, row 3: %1").arg(state().tag(2, 4, 3)));
    EXPECT_EQ(g3->parent(), card);
    EXPECT_EQ(card->indexOfChild(g3), 13);
    EXPECT_EQ(card->child(12)->text(QAccessible::Name), "Card 2, N column, row 3: covered");
    QAccessibleInterface *area = iface(part<TFlatPanel>(*w, "panel_board1"));
    for (int i = 0; i < area->childCount(); ++i)
        EXPECT_FALSE(area->child(i)->text(QAccessible::Name).startsWith("Card 2,"));

    // Daubing through the reader's press, as a click: the revealed number is covered.
    const int number = state().balls[numbered].number;
    bool daubed = false;
    for (int c = 1; c <= 3 && !daubed; ++c)
        for (int col = 1; col <= 5 && !daubed; ++col)
            for (int row = 1; row <= 5 && !daubed; ++row)
                if (state().tag(c, col, row) == number) {
                    QAccessibleInterface *cell = iface(w->cardlabel(c, col, row));
                    press(cell);
                    EXPECT_TRUE(cell->text(QAccessible::Name).endsWith(": covered"));
                    EXPECT_EQ(state().tag(c, col, row), 0);
                    daubed = true;
                }

    // From the window down: 75 slot items and 75 cells, each once.
    QList<QAccessibleInterface *> all;
    walk(iface(w.get()), all);
    int slotitems = 0, cells = 0;
    QSet<QObject *> seen;
    for (QAccessibleInterface *i : all) {
        slotitems += i->role() == QAccessible::ListItem && i->text(QAccessible::Name).startsWith("Ball slot ");
        if (i->text(QAccessible::Name).startsWith("Card ") && i->role() == QAccessible::Button) {
            ++cells;
            seen.insert(i->object());
        }
    }
    EXPECT_EQ(slotitems, 75);
    EXPECT_EQ(cells, 75);
    EXPECT_EQ(seen.size(), 75);
}

TEST_F(AccessibilityTest, ARoundAnnouncesBallsScoreAndItsEnd)
{
    part<QAction>(*w, "StartGame1")->trigger();
    QCoreApplication::processEvents();
    // The board's focus tells its cursor's slot.
    EXPECT_TRUE(announced(QAccessible::Focus, nullptr, "Ball slot 1, hidden"));

    // Moving the cursor tells the new slot; revealing renames it and the big ball tells the ball.
    events.clear();
    const int numbered = findslot([this](const ballwick::Ball &b) {
        if (b.number == 77)
            return false;
        for (int c = 1; c <= 3; ++c)
            for (int col = 1; col <= 5; ++col)
                for (int row = 1; row <= 5; ++row)
                    if (state().tag(c, col, row) == b.number)
                        return true;
        return false;
    });
    ASSERT_GE(numbered, 0);
    part<Tpaintbox>(*w, "paintbox_board")->setCursorSlot((numbered + 1) % ballwick::slotcount);
    events.clear();
    part<Tpaintbox>(*w, "paintbox_board")->setCursorSlot(numbered);
    const QString slotname = QString("Ball slot %1, hidden").arg(numbered + 1);
    EXPECT_TRUE(announced(QAccessible::Focus, nullptr, slotname));
    QTest::keyClick(part<Tpaintbox>(*w, "paintbox_board"), Qt::Key_Space);
    const QString caption = QString::fromStdString(Engine::ballcaption(state().balls[numbered].number));
    EXPECT_TRUE(announced(QAccessible::NameChanged, nullptr, QString("Ball slot %1: %2").arg(numbered + 1).arg(caption)));
    EXPECT_TRUE(announced(QAccessible::NameChanged, part<QLabel>(*w, "label_bigball"), caption));
    EXPECT_EQ(iface(part<QLabel>(*w, "label_bigball"))->text(QAccessible::Name), caption);

    // A daub renames the cell and the score line tells the new score.
    events.clear();
    int card = 0, column = 0, row = 0;
    for (int c = 1; c <= 3 && !card; ++c)
        for (int col = 1; col <= 5 && !card; ++col)
            for (int r = 1; r <= 5 && !card; ++r)
                if (state().tag(c, col, r) == state().balls[numbered].number)
                    card = c, column = col, row = r;
    Tcardbox *box = card == 1 ? part<Tcardbox>(*w, "Image1") : card == 2 ? part<Tcardbox>(*w, "Image2") : part<Tcardbox>(*w, "Image3");
    box->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    box->setCursorCell(column, row);
    QLabel *cell = w->cardlabel(card, column, row);
    EXPECT_TRUE(announced(QAccessible::Focus, cell, cell->accessibleName()));
    EXPECT_EQ(iface(box)->focusChild(), iface(cell));
    EXPECT_TRUE(iface(cell)->state().focused);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(cell->accessibleName().endsWith(": covered"));
    EXPECT_EQ(iface(cell)->text(QAccessible::Name), cell->accessibleName());
    EXPECT_TRUE(announced(QAccessible::NameChanged, part<QLabel>(*w, "label_score"), QString("Score: %1").arg(state().score)));

    // The thief's balls: the big ball tells each, and the end of the round tells the score.
    for (int found = 1; found <= 3; ++found) {
        events.clear();
        const int thief = findslot([](const ballwick::Ball &b) { return b.number == 77 && !b.revealed; });
        ASSERT_GE(thief, 0);
        iface(part<Tpaintbox>(*w, "paintbox_board"))->child(thief)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(announced(QAccessible::NameChanged, part<QLabel>(*w, "label_bigball"), QString("Bingo Mox ball, %1 of 3").arg(found)))
            << found;
    }
    EXPECT_FALSE(state().roundactive);
    const QString note = QString("Round over. Your Score: %1").arg(state().score);
    EXPECT_TRUE(announced(QAccessible::NameChanged, part<TFlatPanel>(*w, "panel_cleared"), note));
    EXPECT_EQ(iface(part<TFlatPanel>(*w, "panel_cleared"))->text(QAccessible::Name), note);
    EXPECT_TRUE(announced(QAccessible::NameChanged, part<QLabel>(*w, "label_score1"), QString("Your Score: %1").arg(state().score)));
    // The uncovered numbers are read as not covered.
    for (int c = 1; c <= 3; ++c)
        for (int col = 1; col <= 5; ++col)
            for (int r = 1; r <= 5; ++r)
                if (state().tag(c, col, r) != 0)
                    EXPECT_TRUE(w->cardlabel(c, col, r)->accessibleName().endsWith(", not covered"));
}

TEST_F(AccessibilityTest, TallyListAndHelpReadInOrder)
{
    QAccessibleInterface *panel = iface(tally->findChild<TFlatPanel *>("FlatPanel1"));
    ASSERT_NE(panel, nullptr);
    const QStringList names = childNames(panel);
    ASSERT_GE(names.size(), 30);
    EXPECT_EQ(names.mid(0, 5), QStringList({"YOUR TALLY LIST", "Total Games:", "0", "Covered Numbers:", "0"}));
    const qsizetype high = names.indexOf("HIGH SCORES");
    ASSERT_GT(high, 0);
    EXPECT_EQ(names.mid(high + 1, 2), QStringList({"1.", ""})); // rank 1, then its (empty) date
    EXPECT_EQ(names.indexOf("10."), high + 1 + 9 * 4);

    Thelp help(w.get());
    help.show();
    QAccessibleInterface *side = iface(help.findChild<TFlatPanel *>("panel_side"));
    EXPECT_EQ(childNames(side).mid(0, 6),
              QStringList({"Overview", "Game Play", "Scoring", "Documentation", "License", "About"}));
    QAccessibleInterface *main = iface(help.findChild<TFlatPanel *>("panel_main"));
    QStringList shown; // what a reader meets: the caption, then the one section showing
    for (int i = 0; i < main->childCount(); ++i)
        if (!main->child(i)->state().invisible)
            shown << main->child(i)->text(QAccessible::Name);
    EXPECT_EQ(shown, QStringList({"Overview", "Overview"}));
    QAccessibleInterface *memo = iface(help.findChild<QWidget *>("memo1"));
    ASSERT_TRUE(memo->textInterface());
    EXPECT_TRUE(memo->textInterface()->text(0, memo->textInterface()->characterCount()).startsWith("Overview\n"));
}

} // namespace
