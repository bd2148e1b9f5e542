#pragma once

// How the main window lays out the round: the ball board's pixels and
// pictures, and the object names of the card cells.

#include <string>
#include <string_view>

#include "game/engine.h"

namespace ballwick {

// Board geometry: 15 columns of 5 slots, numbered down each column, 40x40 pixels
// each, on a 598x198 paint box.
constexpr int slotsize = 40;
constexpr int boardwidth = 598;
constexpr int boardheight = 198;
constexpr int slotleft(int slot) { return (slot / 5) * slotsize; }
constexpr int slottop(int slot) { return (slot % 5) * slotsize; }

// The slot under a point of the paint box, or -1 off the board. A release that
// began on the board may end anywhere; only points on the board itself pick a slot.
constexpr int slotat(int x, int y)
{
    if (x < 0 || y < 0 || x >= boardwidth || y >= boardheight)
        return -1;
    return (x / slotsize) * 5 + y / slotsize;
}

// Picture indexes of imagelist_balls besides the numbers 1..75.
constexpr int picture_empty = 0;
constexpr int picture_hidden = 76;
constexpr int picture_thief = 77;

// The picture a board slot paints with: 0 empty, 1..75, 76 face down, 77 a thief ball.
constexpr int ballpicture(const Ball &ball)
{
    if (ball.revealed == 0)
        return ball.number == 0 ? picture_empty : picture_hidden;
    return ball.number == thiefball ? picture_thief : ball.number;
}


// The object name of a card cell: "label_card213" for card 2, column 1, row 3.
inline std::string cellobjectname(int card, int column, int row)
{
    return "label_card" + std::to_string(card) + std::to_string(column) + std::to_string(row);
}

// The reverse of cellobjectname(); false for any other name.
inline bool parsecellobjectname(std::string_view name, int &card, int &column, int &row)
{
    constexpr std::string_view prefix = "label_card";
    if (name.size() != prefix.size() + 3 || name.substr(0, prefix.size()) != prefix)
        return false;
    const int c = name[prefix.size()] - '0';
    const int x = name[prefix.size() + 1] - '0';
    const int r = name[prefix.size() + 2] - '0';
    if (c < 1 || c > 3 || x < 1 || x > 5 || r < 1 || r > 5)
        return false;
    card = c;
    column = x;
    row = r;
    return true;
}

} // namespace ballwick
