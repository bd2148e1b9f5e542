#include "game/engine.h"

namespace ballwick {

namespace {

constexpr int thiefball = 77;
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

const char *widgetname(Widget w)
{
    switch (w) {
    case Widget::button_start: return "button_start";
    case Widget::button_sendscore: return "button_sendscore";
    case Widget::panel_cleared: return "panel_cleared";
    case Widget::panel_wait: return "panel_wait";
    case Widget::panel_name: return "panel_name";
    case Widget::panel_bigball: return "panel_bigball";
    case Widget::image_moxball: return "image_moxball";
    case Widget::label_bigball: return "label_bigball";
    case Widget::label_score: return "label_score";
    case Widget::label_score1: return "label_score1";
    case Widget::label_name: return "label_name";
    }
    return "";
}

Engine::Engine(GameView &view) : Engine(view, Random(Random::clockseed())) {}

Engine::Engine(GameView &view, Random random) : view_(view), random_(random) {}

void Engine::clearall()
{
    for (int s = 0; s < slotcount; ++s) {
        state_.balls[s] = Ball{};
        view_.drawball(s, picture_empty);
    }
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                state_.tag(card, column, row) = 0;
                if (centre(column, row)) {
                    view_.setcellcolour(card, column, row, CellColour::red);
                    view_.setcellcaption(card, column, row, "X");
                } else {
                    view_.setcellcolour(card, column, row, CellColour::black);
                    view_.setcellcaption(card, column, row, "");
                }
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
                    view_.setcellcaption(card, column, row, "X");
                    continue;
                }
                int n;
                do
                    n = base[column - 1] + random_.draw(15);
                while (used[n]);
                used[n] = true;
                state_.tag(card, column, row) = n;
                view_.setcellcaption(card, column, row, std::to_string(n));
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
        view_.drawball(s, picture_hidden);
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
    view_.setvisible(Widget::button_start, false);
    clearall();
    view_.setcaption(Widget::label_bigball, "");
    view_.setvisible(Widget::image_moxball, false);
    view_.setvisible(Widget::panel_wait, false);
    view_.setvisible(Widget::panel_name, false);
    view_.setvisible(Widget::panel_cleared, false);
    view_.addtomineincrease(entry_games);
    state_.roundactive = true;
    view_.playsounds("turnnew");
    view_.setcaption(Widget::label_name, "Good Luck " + view_.playername());
    state_.moxcount = 0;
    view_.drawmox(0);
    shuffleballs();
    createcard();
}

void Engine::StartGame1Click()
{
    button_startClick();
    view_.setvisible(Widget::panel_cleared, false);
}

void Engine::button_cancelClick()
{
    view_.setvisible(Widget::panel_cleared, false);
}

void Engine::paintbox_boardMouseUp(int x, int y)
{
    if (!state_.roundactive || state_.moxcount >= roundends)
        return;
    const int s = slotat(x, y);
    if (s < 0)
        return;
    Ball &ball = state_.balls[s];
    if (ball.revealed != 0) {
        view_.playsounds("invalid");
        return;
    }
    ball.revealed = 1;
    view_.drawball(s, boardpicture(s));
    if (ball.number == thiefball) {
        ++state_.moxcount;
        view_.drawmox(state_.moxcount);
        view_.playsounds("roundover");
        view_.setcaption(Widget::label_bigball, "");
        view_.setvisible(Widget::image_moxball, true);
        if (state_.moxcount == roundends)
            done();
    } else {
        view_.setcaption(Widget::label_bigball, ballcaption(ball.number));
        view_.setvisible(Widget::image_moxball, false);
        view_.playsounds("replace");
    }
    view_.setvisible(Widget::panel_bigball, true);
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
    view_.setcellcaption(card, column, row, "X");
    view_.setcellcolour(card, column, row, CellColour::red);
    state_.tag(card, column, row) = 0;
    scorecards(false);
    view_.setcaption(Widget::label_score, "Score: " + std::to_string(state_.score));
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
                if (state_.tag(card, column, row) != 0)
                    view_.setcellcolour(card, column, row, CellColour::grey);
    view_.clearscores();
    state_.roundactive = false;
    scorecards(true);
    view_.setvisible(Widget::panel_cleared, true);
    view_.setvisible(Widget::button_start, true);
    view_.bringtofront(Widget::panel_cleared);
    const std::string score = std::to_string(state_.score);
    view_.setcaption(Widget::label_score, "Score: " + score);
    view_.setcaption(Widget::label_score1, "Your Score: " + score);
    view_.checkscore(state_.score, view_.playername());
    view_.setvisible(Widget::button_sendscore, true);
    view_.playsounds("winner");
}

int Engine::boardpicture(int slot) const
{
    if (slot < 0 || slot >= slotcount)
        return picture_empty;
    const Ball &ball = state_.balls[slot];
    if (ball.revealed == 0)
        return ball.number == 0 ? picture_empty : picture_hidden;
    return ball.number;
}

int Engine::slotat(int x, int y)
{
    // A release that began on the board may end anywhere; only points on the
    // board itself pick a slot.
    if (x < 0 || y < 0 || x >= boardwidth || y >= boardheight)
        return -1;
    return (x / slotsize) * 5 + y / slotsize;
}

std::string Engine::ballcaption(int number)
{
    if (number < 1 || number > 75)
        return "";
    static constexpr const char *letters[5] = {"B", "I", "N", "G", "O"};
    return letters[(number - 1) / 15] + std::to_string(number);
}

std::string Engine::cellname(int card, int column, int row)
{
    return "label_card" + std::to_string(card) + std::to_string(column) + std::to_string(row);
}

bool Engine::parsecellname(std::string_view name, int &card, int &column, int &row)
{
    constexpr std::string_view prefix = "label_card";
    if (name.size() != prefix.size() + 3 || name.substr(0, prefix.size()) != prefix)
        return false;
    const int c = name[prefix.size()] - '0';
    const int x = name[prefix.size() + 1] - '0';
    const int r = name[prefix.size() + 2] - '0';
    if (!validcell(c, x, r))
        return false;
    card = c;
    column = x;
    row = r;
    return true;
}

} // namespace ballwick
