#pragma once

// The designs the covered cells form on the cards and the points they bring.
// Pure functions over the cell tags: a tag of 0 means covered.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ballwick {

// tags[card - 1][column - 1][row - 1]; column 1..5 is B, I, N, G, O; row 1 is the top.
using CardTags = std::array<std::array<std::array<std::int32_t, 5>, 5>, 3>;

// Tally counters the awards feed (the tally list's entries 1..12).
enum TallyEntry : int {
    entry_games = 1,
    entry_covered = 2,
    entry_blackout = 3,
    entry_kuvo = 4,
    entry_cross = 5,
    entry_square = 6,
    entry_corners = 7,
    entry_x = 8,
    entry_t = 9,
    entry_a = 10,
    entry_m = 11,
    entry_line = 12,
};

struct Award {
    std::string line; // as shown in the award list, e.g. "Card 2 Vertical  LINE: 10"
    int points = 0;
    int entry = 0;    // tally entry 3..12 credited at the end of a round
};

// The outcome of one scoring pass.
struct ScorePass {
    int covered = 0;                      // covered cells of all three cards, centres included
    int score = 0;                        // covered + the points of every award
    std::array<bool, 3> letterfound{};    // T, A, M
    std::vector<Award> awards;            // in the order the checks produce them
    std::string coveredline() const;      // "Covered: " + covered
};

// The eleven checks, run by scorepass() in this order. Each adds to the pass.
void checkforcovered(const CardTags &tags, ScorePass &pass);
void checkforblackout(const CardTags &tags, ScorePass &pass);
void checkform(const CardTags &tags, ScorePass &pass);
void checka(const CardTags &tags, ScorePass &pass);
void checkt(const CardTags &tags, ScorePass &pass);
void checkkuvo(const CardTags &tags, ScorePass &pass);
void checksquare(const CardTags &tags, ScorePass &pass);
void checkx(const CardTags &tags, ScorePass &pass);
void checkcross(const CardTags &tags, ScorePass &pass);
void checkcorners(const CardTags &tags, ScorePass &pass);
void checkline(const CardTags &tags, ScorePass &pass);

// A whole pass from a zero score and cleared letter flags.
ScorePass scorepass(const CardTags &tags);

} // namespace ballwick
