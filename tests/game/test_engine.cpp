#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/engine.h"
#include "recordingview.h"

using namespace ballwick;
using ballwick::test::RecordingView;
using Cell = RecordingView::Cell;

namespace {

struct Table {
    RecordingView view;
    Engine engine;
    explicit Table(std::uint32_t seed) : engine(view, Random(seed)) {}

    const GameState &state() const { return engine.state(); }

    int slotof(int number) const
    {
        for (int s = 0; s < slotcount; ++s)
            if (state().balls[s].number == number)
                return s;
        return -1;
    }
    void reveal(int slot) { engine.paintbox_boardMouseUp(slot); }
    void revealnumber(int number) { reveal(slotof(number)); }
    std::vector<int> thiefslots() const
    {
        std::vector<int> out;
        for (int s = 0; s < slotcount; ++s)
            if (state().balls[s].number == 77)
                out.push_back(s);
        return out;
    }
    void endround()
    {
        for (int s : thiefslots())
            if (state().roundactive)
                reveal(s);
    }
    // Reveals (if need be) and daubs a cell whose ball is on the board.
    void daub(int card, int column, int row)
    {
        const int s = slotof(state().tag(card, column, row));
        ASSERT_GE(s, 0);
        if (!state().balls[s].revealed)
            reveal(s);
        engine.label_card111Click(card, column, row);
    }
    // Calls made since a mark.
    std::vector<std::string> since(std::size_t mark) const
    {
        return {view.calls.begin() + static_cast<long>(mark), view.calls.end()};
    }
};

// The first seed whose round keeps the numbers of all these cells on the board.
std::uint32_t seedwith(const std::vector<std::array<int, 3>> &cells)
{
    for (std::uint32_t seed = 1;; ++seed) {
        Table t(seed);
        t.engine.button_startClick();
        bool ok = true;
        for (auto [card, column, row] : cells)
            ok = ok && (t.state().tag(card, column, row) == 0 || t.slotof(t.state().tag(card, column, row)) >= 0);
        if (ok)
            return seed;
    }
}

struct Deal {
    std::uint32_t seed;
    std::array<int, 75> board;
    std::array<int, 75> cards; // card 1..3, each column B..O top to bottom
    std::uint32_t seedafter;
};

// Worked out for these seeds from the rules with a separate script.
const Deal deals[] = {
    {1,
     {36, 32, 1,  74, 77, 12, 10, 47, 65, 68, 33, 26, 7,  51, 46, 3,  73, 77, 23, 60, 4,  15, 21, 6,  18,
      44, 70, 8,  57, 72, 64, 9,  58, 69, 22, 11, 25, 34, 42, 75, 49, 38, 77, 52, 35, 53, 71, 48, 37, 61,
      5,  39, 19, 20, 63, 54, 45, 77, 17, 55, 56, 24, 31, 13, 77, 27, 30, 62, 16, 66, 67, 40, 50, 29, 41},
     {8,  2,  6,  10, 4,  28, 23, 22, 16, 30, 33, 31, 0,  32, 43, 60, 47, 49, 57, 53, 61, 69, 73, 74, 68,
      10, 15, 12, 11, 14, 30, 26, 27, 16, 21, 35, 32, 0,  42, 34, 58, 59, 46, 53, 56, 66, 67, 72, 71, 70,
      8,  15, 2,  1,  10, 21, 23, 25, 28, 30, 38, 45, 0,  34, 33, 52, 56, 57, 46, 55, 73, 67, 63, 70, 62},
     321048198u},
    {45296789, // 12:34:56.789
     {28, 4,  30, 24, 57, 56, 10, 7,  35, 77, 27, 15, 11, 17, 55, 77, 46, 34, 51, 26, 2,  37, 49, 52, 45,
      70, 3,  75, 22, 59, 32, 77, 40, 23, 6,  77, 1,  8,  67, 71, 39, 19, 54, 47, 58, 74, 16, 68, 21, 73,
      33, 63, 5,  44, 72, 65, 25, 66, 36, 64, 9,  50, 62, 60, 53, 43, 18, 29, 77, 13, 69, 31, 12, 42, 14},
     {2,  11, 14, 8,  15, 17, 19, 20, 16, 28, 35, 43, 0,  41, 33, 48, 52, 51, 46, 54, 73, 70, 65, 69, 61,
      5,  1,  6,  12, 13, 17, 26, 27, 22, 30, 31, 45, 0,  42, 36, 54, 47, 57, 59, 56, 67, 66, 62, 74, 73,
      11, 9,  3,  10, 6,  16, 17, 23, 25, 24, 42, 32, 0,  33, 37, 56, 52, 47, 54, 60, 67, 65, 62, 75, 69},
     2444124873u},
};

} // namespace

TEST(Deal, FixedSeedsGiveTheBoardAndCardsOfTheRules)
{
    EXPECT_EQ(Random::seedfromtime(12, 34, 56, 789), deals[1].seed);
    for (const Deal &deal : deals) {
        SCOPED_TRACE(deal.seed);
        Table t(deal.seed);
        t.engine.button_startClick();
        for (int s = 0; s < slotcount; ++s) {
            EXPECT_EQ(t.state().balls[s].number, deal.board[s]) << "slot " << s;
            EXPECT_EQ(t.state().balls[s].revealed, 0);
            EXPECT_EQ(t.view.board[s], RecordingView::facedown);
        }
        for (int card = 1; card <= 3; ++card)
            for (int column = 1; column <= 5; ++column)
                for (int row = 1; row <= 5; ++row) {
                    const int n = deal.cards[(card - 1) * 25 + (column - 1) * 5 + row - 1];
                    EXPECT_EQ(t.state().tag(card, column, row), n);
                    EXPECT_EQ((t.view.cells[{card, column, row}]),
                              (n ? Cell{CellState::open, n} : Cell{CellState::covered, 0}));
                }
        // The deal draws exactly as often as the rules say.
        EXPECT_EQ(t.engine.random().seed(), deal.seedafter);
    }
}

TEST(Deal, EveryRoundHasFiveThievesAndValidCards)
{
    for (std::uint32_t i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        Table t(i * 2654435761u);
        t.engine.button_startClick();
        std::set<int> numbers;
        int thieves = 0;
        for (const Ball &b : t.state().balls) {
            if (b.number == 77)
                ++thieves;
            else
                numbers.insert(b.number);
        }
        ASSERT_EQ(thieves, 5);
        ASSERT_EQ(numbers.size(), 70u);
        ASSERT_GE(*numbers.begin(), 1);
        ASSERT_LE(*numbers.rbegin(), 75);
        for (int card = 1; card <= 3; ++card) {
            std::set<int> oncard;
            for (int column = 1; column <= 5; ++column)
                for (int row = 1; row <= 5; ++row) {
                    const int n = t.state().tag(card, column, row);
                    if (column == 3 && row == 3) {
                        ASSERT_EQ(n, 0);
                        ASSERT_EQ((t.view.cells[{card, 3, 3}].state), CellState::covered);
                        continue;
                    }
                    ASSERT_GE(n, (column - 1) * 15 + 1);
                    ASSERT_LE(n, column * 15);
                    ASSERT_EQ((t.view.cells[{card, column, row}]), (Cell{CellState::open, n}));
                    oncard.insert(n);
                }
            ASSERT_EQ(oncard.size(), 24u);
        }
    }
}

TEST(Round, StartRunsItsStepsInOrder)
{
    Table t(7);
    t.view.name = "Alice";
    t.engine.state().score = 123; // the last round's score stays until the first daub
    t.engine.button_startClick();
    EXPECT_EQ(t.view.calls, (std::vector<std::string>{"roundstarting", "bigball 0", "postingclosed", "resultclosed",
                                                      "inc 1", "sound turnnew", "greetplayer", "thiefcount 0"}));
    EXPECT_TRUE(t.state().roundactive);
    EXPECT_EQ(t.state().moxcount, 0);
    EXPECT_EQ(t.state().score, 123);
}

TEST(Round, NothingHappensBeforeTheFirstRound)
{
    Table t(7);
    t.engine.paintbox_boardMouseUp(0);
    t.engine.label_card111Click(1, 1, 1);
    t.engine.label_card111Click(1, 3, 3);
    EXPECT_TRUE(t.view.calls.empty());
    EXPECT_TRUE(t.view.board.empty());
    for (int s = 0; s < slotcount; ++s) {
        EXPECT_EQ(t.state().balls[s].number, 0);
        EXPECT_EQ(t.state().balls[s].revealed, 0);
    }
}

TEST(Board, ReleasesOffTheBoardPickNothing)
{
    Table t(11);
    t.engine.button_startClick();
    const std::size_t mark = t.view.calls.size();
    t.engine.paintbox_boardMouseUp(-1);
    t.engine.paintbox_boardMouseUp(slotcount);
    EXPECT_EQ(t.since(mark), std::vector<std::string>{});
    t.engine.paintbox_boardMouseUp(74);
    t.engine.paintbox_boardMouseUp(5);
    for (int s = 0; s < slotcount; ++s)
        EXPECT_EQ(t.state().balls[s].revealed, s == 74 || s == 5) << s;
}

TEST(Board, NumberedBallsShowTheirLetter)
{
    EXPECT_EQ(Engine::ballcaption(1), "B1");
    EXPECT_EQ(Engine::ballcaption(15), "B15");
    EXPECT_EQ(Engine::ballcaption(16), "I16");
    EXPECT_EQ(Engine::ballcaption(30), "I30");
    EXPECT_EQ(Engine::ballcaption(45), "N45");
    EXPECT_EQ(Engine::ballcaption(46), "G46");
    EXPECT_EQ(Engine::ballcaption(61), "O61");
    EXPECT_EQ(Engine::ballcaption(75), "O75");

    Table t(3);
    t.engine.button_startClick();
    int shown = 0;
    for (int n : {15, 16, 45, 46, 61}) {
        const int s = t.slotof(n);
        if (s < 0)
            continue; // taken by the thief in this round
        const std::size_t mark = t.view.calls.size();
        t.reveal(s);
        EXPECT_EQ(t.since(mark), (std::vector<std::string>{"bigball " + std::to_string(n), "sound replace",
                                                           "bigballshown"}));
        EXPECT_EQ(t.view.board[s], n);
        EXPECT_EQ(t.state().balls[s].revealed, 1);
        ++shown;
    }
    EXPECT_GE(shown, 3);
}

TEST(Board, ARevealedBallIsRefused)
{
    Table t(5);
    t.engine.button_startClick();
    const int first = t.slotof(20) >= 0 ? t.slotof(20) : t.slotof(21);
    const int second = t.slotof(40) >= 0 ? t.slotof(40) : t.slotof(41);
    t.reveal(first);
    t.reveal(second);
    const int shown = t.view.bigball;
    const std::size_t mark = t.view.calls.size();
    t.reveal(first);
    EXPECT_EQ(t.since(mark), std::vector<std::string>{"sound invalid"});
    EXPECT_EQ(t.view.bigball, shown);
}

TEST(Board, TheThirdThiefBallEndsTheRound)
{
    Table t(9);
    t.engine.button_startClick();
    const std::vector<int> thieves = t.thiefslots();
    ASSERT_EQ(thieves.size(), 5u);
    for (int i = 0; i < 2; ++i) {
        const std::size_t mark = t.view.calls.size();
        t.reveal(thieves[i]);
        EXPECT_EQ(t.since(mark), (std::vector<std::string>{"thiefcount " + std::to_string(i + 1), "sound roundover",
                                                           "bigball 77", "bigballshown"}));
        EXPECT_EQ(t.view.board[thieves[i]], thiefball);
        EXPECT_TRUE(t.state().roundactive);
    }
    const std::size_t mark = t.view.calls.size();
    t.reveal(thieves[2]);
    const std::vector<std::string> end = t.since(mark);
    ASSERT_GE(end.size(), 4u);
    EXPECT_EQ(end[0], "thiefcount 3");
    EXPECT_EQ(end[1], "sound roundover");
    EXPECT_EQ(end[end.size() - 2], "sound winner");
    EXPECT_EQ(end.back(), "bigballshown");
    EXPECT_FALSE(t.state().roundactive);
    EXPECT_EQ(t.state().moxcount, 3);

    // The round is over: neither the board nor the cards react.
    const std::size_t after = t.view.calls.size();
    t.reveal(thieves[3]);
    t.reveal(thieves[0]);
    t.engine.label_card111Click(1, 1, 1);
    EXPECT_EQ(t.since(after), std::vector<std::string>{});
    EXPECT_EQ(t.state().balls[thieves[3]].revealed, 0);
}

TEST(Daub, CoversOnlyRevealedNumbersOnTheClickedCell)
{
    Table t(seedwith({{1, 1, 1}}));
    t.engine.button_startClick();
    const int n = t.state().tag(1, 1, 1);

    std::size_t mark = t.view.calls.size();
    t.engine.label_card111Click(1, 1, 1); // still hidden
    t.engine.label_card111Click(2, 3, 3); // the free centre
    EXPECT_EQ(t.since(mark), (std::vector<std::string>{"sound invalid", "sound invalid"}));
    EXPECT_EQ(t.state().tag(1, 1, 1), n);

    // Reveal it, then ten more balls, then daub: any earlier ball counts.
    t.revealnumber(n);
    int extra = 0;
    for (int s = 0; s < slotcount && extra < 10; ++s)
        if (!t.state().balls[s].revealed && t.state().balls[s].number != 77) {
            t.reveal(s);
            ++extra;
        }
    mark = t.view.calls.size();
    t.engine.label_card111Click(1, 1, 1);
    EXPECT_EQ(t.since(mark), (std::vector<std::string>{"set 2 4", "score 4", "sound placecard"}));
    EXPECT_EQ(t.state().tag(1, 1, 1), 0);
    EXPECT_EQ((t.view.cells[{1, 1, 1}]), (Cell{CellState::covered, 0}));

    // Covered now, so a second click is refused.
    mark = t.view.calls.size();
    t.engine.label_card111Click(1, 1, 1);
    EXPECT_EQ(t.since(mark), std::vector<std::string>{"sound invalid"});

    // Cells that do not exist are ignored.
    mark = t.view.calls.size();
    t.engine.label_card111Click(0, 1, 1);
    t.engine.label_card111Click(4, 1, 1);
    t.engine.label_card111Click(1, 6, 1);
    t.engine.label_card111Click(1, 1, 0);
    EXPECT_EQ(t.since(mark), std::vector<std::string>{});
}

TEST(Daub, ANumberOnTwoCardsNeedsTwoDaubs)
{
    for (std::uint32_t seed = 1; seed < 500; ++seed) {
        Table t(seed);
        t.engine.button_startClick();
        // A number in column B on cards 1 and 3 that the thief left alone.
        for (int r1 = 1; r1 <= 5; ++r1)
            for (int r3 = 1; r3 <= 5; ++r3) {
                const int n = t.state().tag(1, 1, r1);
                if (n != t.state().tag(3, 1, r3) || t.slotof(n) < 0)
                    continue;
                t.revealnumber(n);
                t.engine.label_card111Click(1, 1, r1);
                EXPECT_EQ(t.state().tag(1, 1, r1), 0);
                EXPECT_EQ(t.state().tag(3, 1, r3), n);
                EXPECT_EQ(t.state().score, 4);
                t.engine.label_card111Click(3, 1, r3);
                EXPECT_EQ(t.state().tag(3, 1, r3), 0);
                EXPECT_EQ(t.state().score, 5);
                return;
            }
    }
    FAIL() << "no round with a shared number";
}

TEST(Daub, NumbersTheThiefTookCanNeverBeCovered)
{
    Table t(13);
    t.engine.button_startClick();
    std::set<int> missing;
    for (int n = 1; n <= 75; ++n)
        if (t.slotof(n) < 0)
            missing.insert(n);
    ASSERT_EQ(missing.size(), 5u);
    // Reveal every numbered ball and two thieves: the round still runs.
    for (int s = 0; s < slotcount; ++s)
        if (t.state().balls[s].number != 77)
            t.reveal(s);
    t.reveal(t.thiefslots()[0]);
    t.reveal(t.thiefslots()[1]);
    ASSERT_TRUE(t.state().roundactive);
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                const int n = t.state().tag(card, column, row);
                t.engine.label_card111Click(card, column, row);
                EXPECT_EQ(t.state().tag(card, column, row) != 0, missing.count(n) == 1) << n;
            }
}

TEST(EndOfRound, WorkedExampleScores32WithItsLinesAndTallyCalls)
{
    std::vector<std::array<int, 3>> cells;
    for (int k = 1; k <= 5; ++k)
        cells.push_back({2, k, 1});
    for (int k = 2; k <= 5; ++k)
        cells.push_back({2, 1, k});
    Table t(seedwith(cells));
    t.view.name = "Bob";
    t.engine.button_startClick();
    for (auto [card, column, row] : cells)
        t.daub(card, column, row);
    EXPECT_EQ(t.view.score, 32);

    const std::size_t mark = t.view.calls.size();
    t.endround();
    const std::vector<std::string> end = t.since(mark);
    auto done = std::find(end.begin(), end.end(), "clearscores");
    ASSERT_NE(done, end.end());
    // The play-time passes already raised the covered record to 12.
    EXPECT_EQ(std::vector<std::string>(done, end.end()),
              (std::vector<std::string>{"clearscores", "line Covered: 12", "line Card 2 Vertical  LINE: 10",
                                        "inc 12", "line Card 2 Horizontal  LINE: 10", "inc 12", "roundover 32",
                                        "checkscore 32 Bob", "scoresendable", "sound winner", "bigballshown"}));
    EXPECT_EQ(t.view.scorelines, (std::vector<std::string>{"Covered: 12", "Card 2 Vertical  LINE: 10",
                                                           "Card 2 Horizontal  LINE: 10"}));
    EXPECT_EQ(t.state().score, 32);

    // Numbers left uncovered are missed; covered cells stay covered.
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                const int n = t.state().tag(card, column, row);
                EXPECT_EQ((t.view.cells[{card, column, row}]),
                          (n == 0 ? Cell{CellState::covered, 0} : Cell{CellState::missed, n}));
            }
}

TEST(EndOfRound, ARoundWithoutDaubsScoresThree)
{
    Table t(21);
    t.engine.button_startClick();
    t.endround();
    EXPECT_EQ(t.state().score, 3);
    EXPECT_EQ(t.view.scorelines, std::vector<std::string>{"Covered: 3"});
    EXPECT_EQ(t.view.score, 3);
    EXPECT_EQ(t.view.finalscore, 3);
    EXPECT_EQ(t.view.only({"set", "inc", "checkscore"}),
              (std::vector<std::string>{"inc 1", "set 2 3", "checkscore 3 Guest"}));
}

TEST(EndOfRound, PlayTimePassesReportOnlyTheCoveredRecord)
{
    std::vector<std::array<int, 3>> cells;
    for (int k = 1; k <= 5; ++k)
        cells.push_back({1, k, k}); // a diagonal: one line in the final pass
    cells.push_back({3, 5, 5});
    const std::uint32_t seed = seedwith(cells);
    {
        Table t(seed);
        t.view.best = 5;
        t.engine.button_startClick();
        for (auto [card, column, row] : cells)
            if (!(column == 3 && row == 3))
                t.daub(card, column, row);
        // Covered counts 4..8 during play; only those above the record of 5 are reported.
        EXPECT_EQ(t.view.only({"set", "inc", "line", "checkscore"}),
                  (std::vector<std::string>{"inc 1", "set 2 6", "set 2 7", "set 2 8"}));
        t.endround();
        EXPECT_EQ(t.view.only({"set", "inc", "checkscore"}),
                  (std::vector<std::string>{"inc 1", "set 2 6", "set 2 7", "set 2 8", "inc 12",
                                            "checkscore 18 Guest"}));
    }
    {
        // A record of 20 stays untouched by a round that covers fewer.
        Table t(seed);
        t.view.best = 20;
        t.engine.button_startClick();
        for (auto [card, column, row] : cells)
            if (!(column == 3 && row == 3))
                t.daub(card, column, row);
        t.endround();
        EXPECT_EQ(t.view.only({"set"}), std::vector<std::string>{});
        EXPECT_EQ(t.view.best, 20);
    }
}

TEST(Round, RestartInMidRoundDealsAfreshWithoutEndingTheOldRound)
{
    Table t(seedwith({{1, 1, 1}, {1, 1, 2}}));
    t.engine.button_startClick();
    t.daub(1, 1, 1);
    t.daub(1, 1, 2);
    t.reveal(t.thiefslots()[0]);
    ASSERT_EQ(t.state().moxcount, 1);
    ASSERT_EQ(t.state().score, 5);
    const auto oldboard = t.state().balls;
    const auto oldtags = t.state().tags;

    const std::size_t mark = t.view.calls.size();
    t.engine.StartGame1Click();
    const std::vector<std::string> restart = t.since(mark);
    EXPECT_EQ(restart.back(), "resultclosed");
    EXPECT_EQ(std::count(restart.begin(), restart.end(), "inc 1"), 1);
    EXPECT_EQ(std::find(restart.begin(), restart.end(), "inc 1") + 1,
              std::find(restart.begin(), restart.end(), "sound turnnew"));
    for (const std::string &c : restart) {
        EXPECT_NE(c, "sound winner");
        EXPECT_EQ(c.rfind("checkscore", 0), std::string::npos);
        EXPECT_EQ(c.rfind("line", 0), std::string::npos);
        EXPECT_EQ(c.rfind("score ", 0), std::string::npos);
        EXPECT_EQ(c.rfind("roundover", 0), std::string::npos);
    }
    EXPECT_EQ(t.view.mox, 0);
    EXPECT_EQ(t.state().moxcount, 0);
    EXPECT_TRUE(t.state().roundactive);
    EXPECT_EQ(t.state().score, 5);
    EXPECT_EQ(t.view.score, 5);
    bool boardchanged = false;
    for (int s = 0; s < slotcount; ++s) {
        EXPECT_EQ(t.state().balls[s].revealed, 0);
        EXPECT_EQ(t.view.board[s], RecordingView::facedown);
        boardchanged = boardchanged || t.state().balls[s].number != oldboard[s].number;
    }
    EXPECT_TRUE(boardchanged);
    EXPECT_NE(t.state().tags, oldtags);
    for (int card = 1; card <= 3; ++card) {
        EXPECT_EQ(t.state().tag(card, 3, 3), 0);
        EXPECT_NE(t.state().tag(card, 1, 1), 0);
        EXPECT_EQ((t.view.cells[{card, 1, 1}]), (Cell{CellState::open, t.state().tag(card, 1, 1)}));
    }
}
