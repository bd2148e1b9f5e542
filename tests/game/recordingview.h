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
    std::map<std::tuple<int, int, int>, std::string> captions;
    std::map<std::tuple<int, int, int>, CellColour> colours;
    std::map<int, int> board;
    std::map<Widget, bool> visible;
    std::map<Widget, std::string> texts;
    int mox = -1;

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
    void drawball(int slot, int picture) override { board[slot] = picture; }
    void drawmox(int picture) override
    {
        calls.push_back("mox " + std::to_string(picture));
        mox = picture;
    }
    void setcellcaption(int card, int column, int row, const std::string &caption) override
    {
        captions[{card, column, row}] = caption;
    }
    void setcellcolour(int card, int column, int row, CellColour colour) override
    {
        colours[{card, column, row}] = colour;
    }
    void setvisible(Widget w, bool shown) override
    {
        calls.push_back(std::string(shown ? "show " : "hide ") + widgetname(w));
        visible[w] = shown;
    }
    void bringtofront(Widget w) override { calls.push_back(std::string("front ") + widgetname(w)); }
    void setcaption(Widget w, const std::string &caption) override
    {
        calls.push_back(std::string("caption ") + widgetname(w) + " " + caption);
        texts[w] = caption;
    }

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
