#pragma once

// A GameView that writes down every call in order and keeps what a window
// would show, so tests can check both the sequence and the end result.

#include <initializer_list>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "game/engine.h"

namespace ballwick::test {

class RecordingView : public GameView {
public:
    std::vector<std::string> calls;

    // What the window and the tally list hold.
    int best = 0; // numeric value of tally counter 2
    std::string name = "Guest";
    std::vector<std::string> scorelines;
    struct Cell {
        CellState state = CellState::blank;
        int number = 0;
        bool operator==(const Cell &) const = default;
    };
    std::map<std::tuple<int, int, int>, Cell> cells;
    // What each board slot shows: empty, face down, or the ball turned over
    // (its number, or thiefball).
    static constexpr int empty = 0;
    static constexpr int facedown = -1;
    std::map<int, int> board;
    int mox = -1;
    int bigball = -1;
    int score = -1;      // the score shown during play and at the end
    int finalscore = -1; // the score of the round that ended

    void addtomineincrease(int index) override { calls.push_back("inc " + std::to_string(index)); }
    void addtomineset(int index, const std::string &value) override
    {
        calls.push_back("set " + std::to_string(index) + " " + value);
        if (index == 2)
            best = std::stoi(value);
    }
    int bestcovered() const override { return best; }
    bool checkscore(int score, const std::string &player) override
    {
        calls.push_back("checkscore " + std::to_string(score) + " " + player);
        return true;
    }
    void playsounds(const std::string &cue) override { calls.push_back("sound " + cue); }
    std::string playername() const override { return name; }
    void clearscores() override
    {
        calls.push_back("clearscores");
        scorelines.clear();
    }
    void addscoreline(const std::string &line) override
    {
        calls.push_back("line " + line);
        scorelines.push_back(line);
    }
    // The board and the cards are kept, not listed in calls.
    void slotcleared(int slot) override { board[slot] = empty; }
    void balldealt(int slot) override { board[slot] = facedown; }
    void ballshown(int slot, int number) override { board[slot] = number; }
    void thiefballshown(int slot) override { board[slot] = thiefball; }
    void cellchanged(int card, int column, int row, CellState state, int number) override
    {
        cells[{card, column, row}] = Cell{state, number};
    }

    void roundstarting() override { calls.push_back("roundstarting"); }
    void postingclosed() override { calls.push_back("postingclosed"); }
    void resultclosed() override { calls.push_back("resultclosed"); }
    void greetplayer() override { calls.push_back("greetplayer"); }
    void thiefcountchanged(int count) override
    {
        calls.push_back("thiefcount " + std::to_string(count));
        mox = count;
    }
    void bigballchanged(int number) override
    {
        calls.push_back("bigball " + std::to_string(number));
        bigball = number;
    }
    void bigballshown() override { calls.push_back("bigballshown"); }
    void scorechanged(int shown) override
    {
        calls.push_back("score " + std::to_string(shown));
        score = shown;
    }
    void roundover(int shown) override
    {
        calls.push_back("roundover " + std::to_string(shown));
        score = finalscore = shown;
    }
    void scoresendable() override { calls.push_back("scoresendable"); }

    // Calls whose text starts with one of the given prefixes, in order.
    std::vector<std::string> only(std::initializer_list<const char *> prefixes) const
    {
        std::vector<std::string> out;
        for (const auto &c : calls)
            for (const char *p : prefixes)
                if (c.rfind(p, 0) == 0) {
                    out.push_back(c);
                    break;
                }
        return out;
    }
};

} // namespace ballwick::test
