#pragma once

// The rules of a round, without any user interface.
//
// How the main window uses it:
//   - Tmain implements GameView and owns one Engine built on it
//     (Engine engine{*this}; seeded from the clock, or Engine{*this, Random{seed}}).
//   - It forwards its handlers: button_start -> button_startClick(); File > Start
//     Game -> StartGame1Click(); a release on paintbox_board ->
//     paintbox_boardMouseUp(x, y) with x, y relative to the paint box; a click on
//     a card label -> label_card111Click(card, column, row) (parsecellname() turns
//     "label_card213" into 2, 1, 3); button_cancel -> button_cancelClick().
//   - paintbox_board's paint draws boardpicture(s) of imagelist_balls for every
//     slot s at slotleft(s), slottop(s).
//   - Everything the rules do outside their own state arrives through the GameView
//     calls, in the order the rules make them: tally calls, sound cues, award list
//     lines and display changes. The window only carries them out.
//   - state() is read-only for the window; the high-score post reads
//     state().score after the round.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/random.h"
#include "game/scoring.h"

namespace ballwick {

// Widgets of the main window that the rules show, hide, bring to the front or
// caption. widgetname() gives each one's objectName().
enum class Widget {
    button_start,
    button_sendscore,
    panel_cleared,
    panel_wait,
    panel_name,
    panel_bigball,
    image_moxball,
    label_bigball,
    label_score,
    label_score1,
    label_name,
};
const char *widgetname(Widget w);

// Font colours of a card cell (as colour values: black 0, red 255, grey 0x808080).
enum class CellColour : std::uint32_t {
    black = 0x000000,
    red = 0x0000FF,
    grey = 0x808080,
};

// Picture indexes of imagelist_balls besides the numbers 1..75.
constexpr int picture_empty = 0;
constexpr int picture_hidden = 76;
constexpr int picture_thief = 77;

// Board geometry: 15 columns of 5 slots, numbered down each column, 40x40 pixels each,
// on a 598x198 paint box.
constexpr int slotcount = 75;
constexpr int slotsize = 40;
constexpr int boardwidth = 598;
constexpr int boardheight = 198;
constexpr int slotleft(int slot) { return (slot / 5) * slotsize; }
constexpr int slottop(int slot) { return (slot % 5) * slotsize; }

// What the main window does for the rules.
class GameView {
public:
    virtual ~GameView() = default;

    // Tally list (Ttallylist).
    virtual void addtomineincrease(int index) = 0;
    virtual void addtomineset(int index, const std::string &value) = 0;
    virtual int bestcovered() const = 0; // numeric value of the tally's counter 2 (mylabel_2)
    virtual bool checkscore(int score, const std::string &name) = 0;

    // Sound cue by name ("turnnew", "replace", "roundover", "invalid", "placecard", "winner").
    virtual void playsounds(const std::string &name) = 0;

    // The player's name: the text of edit_name.
    virtual std::string playername() const = 0;

    // Award list listbox_scores.
    virtual void clearscores() = 0;
    virtual void addscoreline(const std::string &line) = 0;

    // Draw picture 0..77 of imagelist_balls at a board slot's place.
    virtual void drawball(int slot, int picture) = 0;
    // Clear image_mox and draw picture 0..3 of imagelist_mox into it.
    virtual void drawmox(int picture) = 0;

    // A card cell's label (label_card + card + column + row).
    virtual void setcellcaption(int card, int column, int row, const std::string &caption) = 0;
    virtual void setcellcolour(int card, int column, int row, CellColour colour) = 0;

    // Visible/hidden, bring to front, and label captions of the widgets above.
    virtual void setvisible(Widget w, bool visible) = 0;
    virtual void bringtofront(Widget w) = 0;
    virtual void setcaption(Widget w, const std::string &caption) = 0;
};

struct Ball {
    std::int32_t number = 0;   // 0 empty, 1..75 a numbered ball, 77 a thief ball
    std::int32_t revealed = 0; // 0 hidden, 1 uncovered by the player
};

struct GameState {
    std::array<Ball, slotcount> balls{};
    std::int32_t moxcount = 0;
    bool roundactive = false;
    std::int32_t score = 0;
    std::array<bool, 3> letterfound{}; // T, A, M
    CardTags tags{};                   // tags[card-1][column-1][row-1]; 0 = covered

    std::int32_t tag(int card, int column, int row) const { return tags[card - 1][column - 1][row - 1]; }
    std::int32_t &tag(int card, int column, int row) { return tags[card - 1][column - 1][row - 1]; }
};

class Engine {
public:
    explicit Engine(GameView &view);                 // seeded from the clock
    Engine(GameView &view, Random random);

    const GameState &state() const { return state_; }
    GameState &state() { return state_; }            // for tests and tools; the window only reads
    Random &random() { return random_; }

    // Empty the board and all three cards.
    void clearall();
    // Fill the three cards with fresh numbers (draws from the random source).
    void createcard();
    // Put balls 1..75 on the board, then five thief balls (draws before the cards).
    void shuffleballs();

    // Start a round (the start button).
    void button_startClick();
    // File > Start Game: start a round, then hide panel_cleared.
    void StartGame1Click();
    // Hide the end-of-round panel.
    void button_cancelClick();

    // A mouse release on the board at (x, y) relative to the paint box.
    void paintbox_boardMouseUp(int x, int y);
    // A click on card cell (card 1..3, column 1..5, row 1..5).
    void label_card111Click(int card, int column, int row);

    // Recompute the score from the cards; with final, show the award lines and
    // credit the awards to the tally.
    void scorecards(bool final);
    // End the round.
    void done();

    // Picture index of imagelist_balls a slot paints with: 0 empty, 1..75, 76 hidden, 77 thief.
    int boardpicture(int slot) const;

    // The slot under a board point, or -1 outside the board.
    static int slotat(int x, int y);
    // "B4", "N37": the column letter and the number of a ball 1..75.
    static std::string ballcaption(int number);
    // "label_card213" for card 2, column 1, row 3.
    static std::string cellname(int card, int column, int row);
    // The reverse of cellname(); false for any other name.
    static bool parsecellname(std::string_view name, int &card, int &column, int &row);

private:
    GameView &view_;
    Random random_;
    GameState state_;
};

} // namespace ballwick
