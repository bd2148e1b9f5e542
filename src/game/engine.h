#pragma once

// The rules of a round, without any user interface.
//
// How the main window uses it:
//   - Tmain implements GameView and owns one Engine built on it
//     (Engine engine{*this}; seeded from the clock, or Engine{*this, Random{seed}}).
//   - It forwards its handlers: button_start -> button_startClick(); File > Start
//     Game -> StartGame1Click(); a release on the board -> paintbox_boardMouseUp(slot)
//     with the slot under the pointer (-1 off the board); a click on a card cell ->
//     label_card111Click(card, column, row); button_cancel -> button_cancelClick().
//   - Everything the rules do outside their own state arrives through the GameView
//     calls, in the order the rules make them: tally calls, sound cues, award list
//     lines and the events of the round. The window decides how they look.
//   - state() is read-only for the window; it paints the board from state().balls,
//     and the high-score post reads state().score after the round.

#include <array>
#include <cstdint>
#include <string>

#include "game/random.h"
#include "game/scoring.h"

namespace ballwick {

constexpr int slotcount = 75; // the board: 15 columns of 5 slots, numbered down each column
constexpr int thiefball = 77; // the number a thief ball carries

// What a card cell shows.
enum class CellState {
    blank,   // no number yet
    open,    // its number, not covered yet
    covered, // covered (the free centre always is)
    missed,  // its number, left uncovered when the round ended
};

// What the main window does for the rules: the tally calls, the sound cues and
// the award list, and the events of the round that change what the player
// sees. How an event looks is the window's business.
class GameView {
public:
    virtual ~GameView() = default;

    // Tally list (Ttallylist).
    virtual void addtomineincrease(int index) = 0;
    virtual void addtomineset(int index, const std::string &value) = 0;
    virtual int bestcovered() const = 0; // the covered record: numeric value of the tally's counter 2
    virtual bool checkscore(int score, const std::string &name) = 0;

    // Sound cue by name ("turnnew", "replace", "roundover", "invalid", "placecard", "winner").
    virtual void playsounds(const std::string &name) = 0;

    // The player's name.
    virtual std::string playername() const = 0;

    // The award lines of the round that ended.
    virtual void clearscores() = 0;
    virtual void addscoreline(const std::string &line) = 0;

    // A round begins: a new start is not offered while it runs.
    virtual void roundstarting() = 0;
    // The name entry and the wait for a posted score are put away.
    virtual void postingclosed() = 0;
    // The result of the last round is put away.
    virtual void resultclosed() = 0;
    // The new round is under way: the player is wished luck.
    virtual void greetplayer() = 0;

    // A board slot 0..74: emptied, given a ball face down, or its ball turned
    // over (a numbered ball 1..75, or a thief ball).
    virtual void slotcleared(int slot) = 0;
    virtual void balldealt(int slot) = 0;
    virtual void ballshown(int slot, int number) = 0;
    virtual void thiefballshown(int slot) = 0;
    // The thief balls found this round, 0..3.
    virtual void thiefcountchanged(int count) = 0;
    // The last ball turned over: 0 none, 1..75, or thiefball.
    virtual void bigballchanged(int number) = 0;
    // The last ball turned over is shown.
    virtual void bigballshown() = 0;

    // A card cell (card 1..3, column 1..5, row 1..5) and its number (0 for none).
    virtual void cellchanged(int card, int column, int row, CellState state, int number) = 0;

    // The score during play.
    virtual void scorechanged(int score) = 0;
    // The round ended with this score: the result is shown and a new round is offered.
    virtual void roundover(int score) = 0;
    // The ended round's score may be sent.
    virtual void scoresendable() = 0;
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
    // File > Start Game: start a round, then put the last result away.
    void StartGame1Click();
    // Put the result of the last round away.
    void button_cancelClick();

    // A release on the board over a slot 0..74; any other slot is ignored.
    void paintbox_boardMouseUp(int slot);
    // A click on card cell (card 1..3, column 1..5, row 1..5).
    void label_card111Click(int card, int column, int row);

    // Recompute the score from the cards; with final, show the award lines and
    // credit the awards to the tally.
    void scorecards(bool final);
    // End the round.
    void done();

    // "B4", "N37": the column letter and the number of a ball 1..75.
    static std::string ballcaption(int number);

private:
    GameView &view_;
    Random random_;
    GameState state_;
};

} // namespace ballwick
