#include "game/engine.h"

namespace ballwick {

namespace {

constexpr int thiefballs = 5;
constexpr int roundends = 3; // the third thief ball ends the round

bool validcell(int card, int column, int row)
{
    return card >= 1 && card <= 3 && column >= 1 && column <= 5 && row >= 1 && row <= 5;
}

bool centre(int column, int row)
{
    return column == 3 && row == 3;
}

} // namespace

Engine::Engine(GameView &view) : Engine(view, Random(Random::clockseed())) {}

Engine::Engine(GameView &view, Random random) : view_(view), random_(random) {}

void Engine::clearall()
{
    for (int s = 0; s < slotcount; ++s) {
        state_.balls[s] = Ball{};
        view_.slotcleared(s);
    }
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                state_.tag(card, column, row) = 0;
                view_.cellchanged(card, column, row, centre(column, row) ? CellState::covered : CellState::blank, 0);
            }
}

void Engine::createcard()
{
    static constexpr int base[5] = {1, 16, 31, 46, 61};
    for (int card = 1; card <= 3; ++card) {
        std::array<bool, 76> used{};
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                if (centre(column, row)) {
                    state_.tag(card, column, row) = 0;
                    view_.cellchanged(card, column, row, CellState::covered, 0);
                    continue;
                }
                int n;
                do
                    n = base[column - 1] + random_.draw(15);
                while (used[n]);
                used[n] = true;
                state_.tag(card, column, row) = n;
                view_.cellchanged(card, column, row, CellState::open, n);
            }
    }
}

void Engine::shuffleballs()
{
    for (auto &ball : state_.balls)
        ball = Ball{};
    for (int b = 1; b <= slotcount; ++b) {
        int s;
        do
            s = random_.draw(slotcount);
        while (state_.balls[s].number != 0);
        state_.balls[s].number = b;
        view_.balldealt(s);
    }
    for (int i = 0; i < thiefballs; ++i) {
        int s;
        do
            s = random_.draw(slotcount);
        while (state_.balls[s].number == thiefball);
        state_.balls[s].number = thiefball;
    }
}

void Engine::button_startClick()
{
    view_.roundstarting();
    clearall();
    view_.bigballchanged(0);
    view_.postingclosed();
    view_.resultclosed();
    view_.addtomineincrease(entry_games);
    state_.roundactive = true;
    view_.playsounds("turnnew");
    view_.greetplayer();
    state_.moxcount = 0;
    view_.thiefcountchanged(0);
    shuffleballs();
    createcard();
}

void Engine::StartGame1Click()
{
    button_startClick();
    view_.resultclosed();
}

void Engine::button_cancelClick()
{
    view_.resultclosed();
}

void Engine::paintbox_boardMouseUp(int s)
{
    if (!state_.roundactive || state_.moxcount >= roundends)
        return;
    if (s < 0 || s >= slotcount)
        return;
    Ball &ball = state_.balls[s];
    if (ball.revealed != 0) {
        view_.playsounds("invalid");
        return;
    }
    ball.revealed = 1;
    if (ball.number == thiefball) {
        view_.thiefballshown(s);
        ++state_.moxcount;
        view_.thiefcountchanged(state_.moxcount);
        view_.playsounds("roundover");
        view_.bigballchanged(thiefball);
        if (state_.moxcount == roundends)
            done();
    } else {
        view_.ballshown(s, ball.number);
        view_.bigballchanged(ball.number);
        view_.playsounds("replace");
    }
    view_.bigballshown();
}

void Engine::label_card111Click(int card, int column, int row)
{
    if (!state_.roundactive || !validcell(card, column, row))
        return;
    const std::int32_t t = state_.tag(card, column, row);
    bool found = false;
    if (t != 0)
        for (const Ball &ball : state_.balls)
            if (ball.number == t && ball.revealed == 1) {
                found = true;
                break;
            }
    if (!found) {
        view_.playsounds("invalid");
        return;
    }
    view_.cellchanged(card, column, row, CellState::covered, 0);
    state_.tag(card, column, row) = 0;
    scorecards(false);
    view_.scorechanged(state_.score);
    view_.playsounds("placecard");
}

void Engine::scorecards(bool final)
{
    state_.letterfound = {};
    state_.score = 0;
    const ScorePass pass = scorepass(state_.tags);
    if (final)
        view_.addscoreline(pass.coveredline());
    if (pass.covered > view_.bestcovered())
        view_.addtomineset(entry_covered, std::to_string(pass.covered));
    if (final)
        for (const Award &award : pass.awards) {
            view_.addscoreline(award.line);
            view_.addtomineincrease(award.entry);
        }
    state_.score = pass.score;
    state_.letterfound = pass.letterfound;
}

void Engine::done()
{
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row)
                if (const int n = state_.tag(card, column, row); n != 0)
                    view_.cellchanged(card, column, row, CellState::missed, n);
    view_.clearscores();
    state_.roundactive = false;
    scorecards(true);
    view_.roundover(state_.score);
    view_.checkscore(state_.score, view_.playername());
    view_.scoresendable();
    view_.playsounds("winner");
}

std::string Engine::ballcaption(int number)
{
    if (number < 1 || number > 75)
        return "";
    static constexpr const char *letters[5] = {"B", "I", "N", "G", "O"};
    return letters[(number - 1) / 15] + std::to_string(number);
}

} // namespace ballwick
