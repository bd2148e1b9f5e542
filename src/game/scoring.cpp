#include "game/scoring.h"

#include <initializer_list>
#include <utility>

namespace ballwick {

namespace {

using Cell = std::pair<int, int>; // (column, row), both 1..5

bool covered(const CardTags &tags, int card, int column, int row)
{
    return tags[card - 1][column - 1][row - 1] == 0;
}

bool allcovered(const CardTags &tags, int card, std::initializer_list<Cell> cells)
{
    for (const auto &[column, row] : cells)
        if (!covered(tags, card, column, row))
            return false;
    return true;
}

bool columncovered(const CardTags &tags, int card, int column)
{
    for (int row = 1; row <= 5; ++row)
        if (!covered(tags, card, column, row))
            return false;
    return true;
}

bool rowcovered(const CardTags &tags, int card, int row)
{
    for (int column = 1; column <= 5; ++column)
        if (!covered(tags, card, column, row))
            return false;
    return true;
}

bool diagonalcovered(const CardTags &tags, int card)
{
    for (int k = 1; k <= 5; ++k)
        if (!covered(tags, card, k, k))
            return false;
    return true;
}

bool antidiagonalcovered(const CardTags &tags, int card)
{
    for (int k = 1; k <= 5; ++k)
        if (!covered(tags, card, k, 6 - k))
            return false;
    return true;
}

void award(ScorePass &pass, int card, const char *what, int points, int entry)
{
    pass.awards.push_back({"Card " + std::to_string(card) + what, points, entry});
    pass.score += points;
}

// A design checked on each card in turn; letter is the letterfound flag it sets, or -1.
template <typename Present>
void percard(ScorePass &pass, Present present, const char *what, int points,
             int entry, int letter = -1)
{
    for (int card = 1; card <= 3; ++card) {
        if (!present(card))
            continue;
        award(pass, card, what, points, entry);
        if (letter >= 0)
            pass.letterfound[letter] = true;
    }
}

constexpr int letter_t = 0;
constexpr int letter_a = 1;
constexpr int letter_m = 2;

} // namespace

std::string ScorePass::coveredline() const
{
    return "Covered: " + std::to_string(covered);
}

void checkforcovered(const CardTags &tags, ScorePass &pass)
{
    int count = 0;
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row)
                if (covered(tags, card, column, row))
                    ++count;
    pass.covered = count;
    pass.score += count;
}

void checkforblackout(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        for (int column = 1; column <= 5; ++column)
            if (!columncovered(tags, card, column))
                return false;
        return true;
    }, " Blackout: 100", 100, entry_blackout);
}

void checkform(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return columncovered(tags, card, 1) && columncovered(tags, card, 5)
            && allcovered(tags, card, {{2, 2}, {3, 3}, {4, 2}});
    }, " M: 25", 25, entry_m, letter_m);
}

void checka(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return allcovered(tags, card, {{1, 3}, {1, 4}, {1, 5}, {5, 3}, {5, 4}, {5, 5},
                                       {2, 3}, {4, 3}, {2, 2}, {3, 1}, {4, 2}});
    }, " A: 25", 25, entry_a, letter_a);
}

void checkt(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return columncovered(tags, card, 3) && rowcovered(tags, card, 1);
    }, " T: 25", 25, entry_t, letter_t);
}

void checkkuvo(const CardTags &, ScorePass &pass)
{
    if (pass.letterfound[letter_t] && pass.letterfound[letter_a] && pass.letterfound[letter_m]) {
        pass.awards.push_back({"KUVO: 50", 50, entry_kuvo});
        pass.score += 50;
    }
}

void checksquare(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return columncovered(tags, card, 1) && columncovered(tags, card, 5)
            && rowcovered(tags, card, 1) && rowcovered(tags, card, 5);
    }, " SQUARE: 25", 25, entry_square);
}

void checkx(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return diagonalcovered(tags, card) && antidiagonalcovered(tags, card);
    }, " X: 20", 20, entry_x);
}

void checkcross(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return columncovered(tags, card, 3) && rowcovered(tags, card, 3);
    }, " CROSS: 20", 20, entry_cross);
}

void checkcorners(const CardTags &tags, ScorePass &pass)
{
    percard(pass, [&](int card) {
        return allcovered(tags, card, {{1, 1}, {5, 1}, {1, 5}, {5, 5}});
    }, " CORNERS: 15", 15, entry_corners);
}

void checkline(const CardTags &tags, ScorePass &pass)
{
    for (int card = 1; card <= 3; ++card) {
        for (int column = 1; column <= 5; ++column)
            if (columncovered(tags, card, column))
                award(pass, card, " Vertical  LINE: 10", 10, entry_line);
        for (int row = 1; row <= 5; ++row)
            if (rowcovered(tags, card, row))
                award(pass, card, " Horizontal  LINE: 10", 10, entry_line);
        if (diagonalcovered(tags, card))
            award(pass, card, " Diagonal LINE: 10", 10, entry_line);
        if (antidiagonalcovered(tags, card))
            award(pass, card, " Diagonal LINE: 10", 10, entry_line);
    }
}

ScorePass scorepass(const CardTags &tags)
{
    ScorePass pass;
    checkforcovered(tags, pass);
    checkforblackout(tags, pass);
    checkform(tags, pass);
    checka(tags, pass);
    checkt(tags, pass);
    checkkuvo(tags, pass);
    checksquare(tags, pass);
    checkx(tags, pass);
    checkcross(tags, pass);
    checkcorners(tags, pass);
    checkline(tags, pass);
    return pass;
}

} // namespace ballwick
